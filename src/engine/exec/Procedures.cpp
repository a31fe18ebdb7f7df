// CREATE / ALTER / DROP PROCEDURE: the whole text is kept as written.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/SystemTableWrites.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysviews/SystemViews.h"

namespace engine::exec {

using storage::quoteId;
using storage::Statement;

namespace {
catalog::Catalog catalogOfName(SessionImpl& s, const sql::ObjectName& n)
{
    if (n.database.isEmpty()) return s.currentCatalog();
    auto db = s.databaseName(n.database);
    if (!db) throw Errors::databaseMissing(n.database);
    return s.catalogFor(*db);
}
// The parameters as INFORMATION_SCHEMA.PARAMETERS lists them.
void recordParameters(SessionImpl& s, const catalog::Catalog& c, int procId, const sql::CreateProcedureStmt* st)
{
    sysviews::ensureInformationTables(c.db(), quoteId(c.schema()));
    Statement d(c.db(), QStringLiteral("DELETE FROM %1.cat_parameters WHERE proc_id = ?1").arg(quoteId(c.schema())));
    d.bind(1, procId).run();
    if (!st) return;
    Statement ins(c.db(), QStringLiteral("INSERT INTO %1.cat_parameters (proc_id, ordinal, name, is_output, type, user_type, length, "
                                         "prec, scale) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)").arg(quoteId(c.schema())));
    int ordinal = 0;
    for (const sql::ProcParam& p : st->params) {
        types::TypeSpec t;
        try {
            t = specOf(p.type, &s);
        } catch (const SqlError&) {
            continue; // a type that does not exist yet: the procedure fails when run
        }
        ins.reset();
        ins.bind(1, procId).bind(2, ++ordinal).bind(3, p.name).bind(4, p.output).bind(5, static_cast<int>(t.type))
            .bindOpt(6, t.userType.isEmpty() ? QString() : t.userType).bind(7, t.length).bind(8, t.precision).bind(9, t.scale).run();
    }
}
} // namespace

void execCreateProcedure(SessionImpl& s, const sql::CreateProcedureStmt& st)
{
    if (!st.name.database.isEmpty() && !sameName(st.name.database, s.currentDatabase()))
        throw Errors::make(166, QStringLiteral("A procedure is created in the current database; '%1' cannot prefix its name.").arg(st.name.database));
    // Only the group's first procedure is kept: name;1 is the name itself.
    if (st.number && *st.number != 1) throw Errors::notSupported(QStringLiteral("numbered procedures (name;n)"));
    catalog::Catalog c = s.currentCatalog();
    const QString owner = st.name.owner.isEmpty() ? s.defaultOwner() : st.name.owner;
    if (st.name.name.size() > 128) throw Errors::make(103, QStringLiteral("The name '%1' is too long.").arg(st.name.name.left(128)));
    if (st.alter) {
        auto o = c.findObject(st.name.owner, st.name.name, s.userName());
        if (!o || o->xtype != QLatin1String("P")) throw Errors::invalidObject(st.name.name);
        Statement u(c.db(), QStringLiteral("UPDATE %1.cat_objects SET text = ?2 WHERE id = ?1").arg(quoteId(c.schema())));
        u.bind(1, o->id).bind(2, st.source).run();
        recordParameters(s, c, o->id, &st);
        return;
    }
    refuseSystemTableName(st.name);
    if (c.objectNameTaken(owner, st.name.name)) throw Errors::objectExists(st.name.name);
    catalog::Object o;
    o.name = st.name.name;
    o.owner = owner;
    o.xtype = QStringLiteral("P");
    o.text = st.source;
    recordParameters(s, c, c.addObject(o), &st);
}

void execDropProcedures(SessionImpl& s, const sql::DropObjectsStmt& st)
{
    for (const sql::ObjectName& n : st.names) {
        catalog::Catalog c = catalogOfName(s, n);
        auto o = c.findObject(n.owner, n.name, s.userName());
        if (!o || o->xtype != QLatin1String("P"))
            throw Errors::cannotDrop(QStringLiteral("procedure"), n.name);
        recordParameters(s, c, o->id, nullptr);
        c.removeObject(o->id);
    }
}

} // namespace engine::exec
