// CREATE / ALTER / DROP VIEW: the whole text is kept as written and bound when the view is used.
#include "engine/Errors.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/SystemTableWrites.h"
#include "engine/exec/Translator.h"
#include "engine/exec/Views.h"
#include "engine/storage/Sqlite.h"

#include <functional>

namespace engine::exec {

using storage::quoteId;
using storage::Statement;

namespace {

bool namesTempTable(const sql::Query& q)
{
    std::function<bool(const sql::TableRef&)> ref = [&](const sql::TableRef& r) {
        if (auto n = sql::tryAs<const sql::NamedTableRef>(&r)) return SessionImpl::isTempName(n->name.name);
        if (auto d = sql::tryAs<const sql::DerivedTableRef>(&r)) return namesTempTable(*d->query);
        if (auto j = sql::tryAs<const sql::JoinTableRef>(&r)) return ref(*j->left) || ref(*j->right);
        return false;
    };
    for (const sql::SelectCore& c : q.cores)
        for (const auto& r : c.from)
            if (ref(*r)) return true;
    return false;
}

// The view's columns as the server records them when the view is made (syscolumns,
// INFORMATION_SCHEMA.COLUMNS); statements bind the view anew each time all the same.
struct ViewColumns {
    QStringList names;
    std::vector<QueryColumn> columns;
};

void saveColumns(catalog::Catalog& c, const catalog::Object& view, const ViewColumns& v)
{
    catalog::Table t;
    t.id = view.id;
    t.name = view.name;
    t.owner = view.owner;
    for (size_t k = 0; k < v.columns.size(); ++k) {
        catalog::Column col;
        col.colid = int(k) + 1;
        col.name = v.names[qsizetype(k)];
        col.type = v.columns[k].type;
        if (col.type.category() == types::Category::Variant) col.type = types::makeSpec(types::Type::SqlVariant, {}, {}, {});
        col.nullable = v.columns[k].info.nullable;
        if (v.columns[k].source) col.collation = v.columns[k].source->collation;
        col.phys = QStringLiteral("v%1").arg(k + 1);
        t.columns.push_back(col);
    }
    c.saveTable(t);
}

void forgetColumns(const catalog::Catalog& c, int viewId)
{
    Statement d(c.db(), QStringLiteral("DELETE FROM %1.cat_columns WHERE table_id = ?1").arg(quoteId(c.schema())));
    d.bind(1, viewId).run();
}

// The view's query must bind now: its objects exist and its columns have one name each.
ViewColumns checkDefinition(SessionImpl& s, const sql::CreateViewStmt& st)
{
    const QString& name = st.name.name;
    for (const QString& o : st.options)
        if (o != QLatin1String("VIEW_METADATA")) throw Errors::notSupported(QStringLiteral("WITH %1 on views").arg(o));
    for (const sql::SelectCore& c : st.query->cores)
        if (c.into) throw Errors::syntaxKeyword(QStringLiteral("INTO"));
    if (!st.query->orderBy.empty() && (st.query->cores.size() > 1 || !st.query->cores.front().top))
        throw Errors::make(1033, QStringLiteral("A view can have ORDER BY only together with TOP."));
    if (namesTempTable(*st.query))
        throw Errors::make(4508, QStringLiteral("A view cannot be made over temporary tables."));
    Translator tr(s);
    TranslatedQuery q = tr.query(*st.query, nullptr);
    if (q.hasAssignments) throw Errors::make(141, QStringLiteral("A view's SELECT cannot assign variables."));
    QStringList names;
    if (!st.columns.isEmpty()) {
        if (st.columns.size() < qsizetype(q.columns.size()))
            throw Errors::make(8158, QStringLiteral("'%1' has more columns than its column list names.").arg(name));
        if (st.columns.size() > qsizetype(q.columns.size()))
            throw Errors::make(8159, QStringLiteral("'%1' has fewer columns than its column list names.").arg(name));
        names = st.columns;
    } else {
        int k = 0;
        for (const QueryColumn& c : q.columns) {
            ++k;
            if (c.info.name.isEmpty())
                throw Errors::make(4511, QStringLiteral("Column %1 of view '%2' has no name; give it one with AS.").arg(QString::number(k), name));
            names << c.info.name;
        }
    }
    for (qsizetype i = 0; i < names.size(); ++i)
        for (qsizetype j = 0; j < i; ++j)
            if (sameName(names[i], names[j]))
                throw Errors::make(4506, QStringLiteral("Column name '%1' appears more than once in view '%2'.").arg(names[i], name));
    return ViewColumns{names, std::move(q.columns)};
}

} // namespace

void refreshViewColumns(SessionImpl& s, const ViewDefinition& v)
{
    catalog::Catalog c = s.catalogFor(v.database);
    const QString saved = s.databaseRef();
    s.databaseRef() = v.database;
    try {
        saveColumns(c, v.object, checkDefinition(s, v.definition()));
    } catch (...) {
        s.databaseRef() = saved;
        throw;
    }
    s.databaseRef() = saved;
}

void execCreateView(SessionImpl& s, const sql::CreateViewStmt& st)
{
    if (!st.name.database.isEmpty() && !sameName(st.name.database, s.currentDatabase()))
        throw Errors::make(166, QStringLiteral("A view is created in the current database; '%1' cannot prefix its name.").arg(st.name.database));
    if (st.name.name.size() > 128) throw Errors::make(103, QStringLiteral("The name '%1' is too long.").arg(st.name.name.left(128)));
    if (SessionImpl::isTempName(st.name.name))
        throw Errors::make(4103, QStringLiteral("A view cannot be temporary: '%1'.").arg(st.name.name));
    catalog::Catalog c = s.currentCatalog();
    const QString owner = st.name.owner.isEmpty() ? s.defaultOwner() : st.name.owner;
    if (st.alter) {
        auto o = c.findObject(st.name.owner, st.name.name, s.userName());
        if (!o || o->xtype != QLatin1String("V")) throw Errors::invalidObject(st.name.name);
        const ViewColumns columns = checkDefinition(s, st);
        Statement u(c.db(), QStringLiteral("UPDATE %1.cat_objects SET text = ?2 WHERE id = ?1").arg(quoteId(c.schema())));
        u.bind(1, o->id).bind(2, st.source).run();
        // bound once more with its new text: a view that now reaches itself is refused (4429)
        sql::ObjectName self;
        self.owner = o->owner;
        self.name = o->name;
        bindViewForDml(s, self);
        recordViewTables(s, c, o->id, *st.query);
        saveColumns(c, *o, columns);
        recordCheckOption(c, o->id, st.checkOption);
        return;
    }
    refuseSystemTableName(st.name);
    if (c.objectNameTaken(owner, st.name.name)) throw Errors::objectExists(st.name.name);
    const ViewColumns columns = checkDefinition(s, st);
    catalog::Object o;
    o.name = st.name.name;
    o.owner = owner;
    o.xtype = QStringLiteral("V");
    o.text = st.source;
    o.id = c.addObject(o);
    recordViewTables(s, c, o.id, *st.query);
    saveColumns(c, o, columns);
    recordCheckOption(c, o.id, st.checkOption);
}

void execDropViews(SessionImpl& s, const sql::DropObjectsStmt& st)
{
    for (const sql::ObjectName& n : st.names) {
        QString db = n.database.isEmpty() ? s.currentDatabase() : n.database;
        auto dbName = s.databaseName(db);
        if (!dbName) throw Errors::databaseMissing(db);
        catalog::Catalog c = s.catalogFor(*dbName);
        auto o = c.findObject(n.owner, n.name, s.userName());
        if (o && o->xtype == QLatin1String("U"))
            throw Errors::make(3705, QStringLiteral("'%1' is a table, not a view: drop it with DROP TABLE.").arg(n.name));
        if (!o || o->xtype != QLatin1String("V"))
            throw Errors::cannotDrop(QStringLiteral("view"), n.name);
        forgetViewTables(c, o->id);
        forgetColumns(c, o->id);
        recordCheckOption(c, o->id, false);
        c.removeObject(o->id);
    }
}

} // namespace engine::exec
