// CREATE / ALTER / DROP PROCEDURE: the whole text is kept as written.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/storage/Sqlite.h"

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
} // namespace

void execCreateProcedure(SessionImpl& s, const sql::CreateProcedureStmt& st)
{
    if (!st.name.database.isEmpty() && !sameName(st.name.database, s.currentDatabase()))
        throw Errors::make(166, 15, QStringLiteral("A procedure is created in the current database; '%1' cannot prefix its name.").arg(st.name.database));
    catalog::Catalog c = s.currentCatalog();
    const QString owner = st.name.owner.isEmpty() ? s.defaultOwner() : st.name.owner;
    if (st.name.name.size() > 128) throw Errors::make(103, 15, QStringLiteral("The name '%1' is too long.").arg(st.name.name.left(128)));
    if (st.alter) {
        auto o = c.findObject(st.name.owner, st.name.name, s.userName());
        if (!o || o->xtype != QLatin1String("P")) throw Errors::invalidObject(st.name.name);
        Statement u(c.db(), QStringLiteral("UPDATE %1.cat_objects SET text = ?2 WHERE id = ?1").arg(quoteId(c.schema())));
        u.bind(1, o->id).bind(2, st.source).run();
        return;
    }
    if (c.objectNameTaken(owner, st.name.name)) throw Errors::objectExists(st.name.name);
    catalog::Object o;
    o.name = st.name.name;
    o.owner = owner;
    o.xtype = QStringLiteral("P");
    o.text = st.source;
    c.addObject(o);
}

void execDropProcedures(SessionImpl& s, const sql::DropObjectsStmt& st)
{
    for (const sql::ObjectName& n : st.names) {
        catalog::Catalog c = catalogOfName(s, n);
        auto o = c.findObject(n.owner, n.name, s.userName());
        if (!o || o->xtype != QLatin1String("P"))
            throw Errors::make(3701, 11, QStringLiteral("Procedure '%1' cannot be dropped: it does not exist.").arg(n.name));
        c.removeObject(o->id);
    }
}

} // namespace engine::exec
