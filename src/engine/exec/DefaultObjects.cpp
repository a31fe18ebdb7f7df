// CREATE DEFAULT name AS expr, DROP DEFAULT, and the text of a bound default.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/SystemTableWrites.h"
#include "engine/exec/Translator.h"
#include "engine/parser/Parser.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

using storage::quoteId;
using storage::Statement;

namespace {
std::optional<catalog::Object> defaultObject(const catalog::Catalog& c, const QString& owner, const QString& name, const QString& user)
{
    auto o = c.findObject(owner, name, user);
    if (!o || o->xtype != QLatin1String("D") || o->parentId != 0) return std::nullopt;
    return o;
}
} // namespace

void execCreateDefault(SessionImpl& s, const sql::CreateDefaultStmt& st)
{
    if (!st.name.database.isEmpty() && !sameName(st.name.database, s.currentDatabase()))
        throw Errors::make(166, QStringLiteral("A default is created in the current database; '%1' cannot prefix its name.").arg(st.name.database));
    catalog::Catalog c = s.currentCatalog();
    const QString owner = st.name.owner.isEmpty() ? s.defaultOwner() : st.name.owner;
    refuseSystemTableName(st.name);
    if (c.objectNameTaken(owner, st.name.name)) throw Errors::objectExists(st.name.name);
    Translator tr(s);
    tr.defaultExpr(defaultText(*st.expr)); // column names and subqueries are refused here
    catalog::Object o;
    o.name = st.name.name;
    o.owner = owner;
    o.xtype = QStringLiteral("D");
    o.text = st.source;
    c.addObject(o);
}

void execDropDefaults(SessionImpl& s, const sql::DropObjectsStmt& st)
{
    for (const sql::ObjectName& n : st.names) {
        catalog::Catalog c = n.database.isEmpty() ? s.currentCatalog() : s.catalogFor(n.database);
        auto o = defaultObject(c, n.owner, n.name, s.userName());
        if (!o) throw Errors::cannotDrop(QStringLiteral("default"), n.name);
        Statement used(c.db(), QStringLiteral("SELECT 1 FROM %1.cat_columns WHERE bound_default = ?1 COLLATE NOCASE "
                                              "UNION ALL SELECT 1 FROM %1.cat_types WHERE bound_default = ?1 COLLATE NOCASE")
                                   .arg(quoteId(c.schema())));
        used.bind(1, o->name);
        if (used.step()) throw Errors::defaultInUse(o->name);
        c.removeObject(o->id);
    }
}

QString defaultObjectText(const catalog::Catalog& c, const QString& name)
{
    Statement st(c.db(), QStringLiteral("SELECT text FROM %1.cat_objects WHERE name = ?1 COLLATE NOCASE AND xtype = 'D' AND parent_id = 0")
                             .arg(quoteId(c.schema())));
    st.bind(1, name);
    if (!st.step()) return {};
    sql::StatementList parsed = sql::parseBatch(st.text(0));
    if (parsed.empty() || parsed.front()->kind != sql::StmtKind::CreateDefault) return {};
    return defaultText(*sql::as<sql::CreateDefaultStmt>(*parsed.front()).expr);
}

QString boundDefaultText(const catalog::Catalog& c, const catalog::Column& col)
{
    QString name = col.boundDefault;
    if (name.isEmpty() && !col.type.userType.isEmpty() && col.defaultText.isEmpty()) {
        Statement st(c.db(), QStringLiteral("SELECT bound_default FROM %1.cat_types WHERE name = ?1 COLLATE NOCASE").arg(quoteId(c.schema())));
        st.bind(1, col.type.userType);
        if (st.step()) name = st.text(0);
    }
    return name.isEmpty() ? QString() : defaultObjectText(c, name);
}

} // namespace engine::exec
