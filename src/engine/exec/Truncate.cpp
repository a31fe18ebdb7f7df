// TRUNCATE TABLE: every row removed and the identity put back to its seed, inside the
// transaction like any other change.
#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/exec/SystemTableWrites.h"
#include "engine/exec/Views.h"
#include "engine/instance/InstanceImpl.h"

namespace engine::exec {

void execTruncate(SessionImpl& s, const sql::TruncateStmt& st)
{
    refuseSystemTableWrite(st.table);
    auto t = s.findTable(st.table);
    if (!t) {
        if (findView(s, st.table))
            throw Errors::make(4708, QStringLiteral("'%1' is not a table, so it cannot be truncated.").arg(st.table.name));
        throw Errors::make(4701, QStringLiteral("Table '%1' cannot be truncated: it does not exist in database '%2'.")
                                         .arg(st.table.name, st.table.database.isEmpty() ? s.currentDatabase() : st.table.database));
    }
    s.execSql(QStringLiteral("DELETE FROM %1").arg(t->qualifiedPhys()));
    s.catalogOf(*t).setRowCount(t->table.id, 0);
    if (const catalog::Column* id = t->table.identityColumn()) {
        catalog::Catalog cat = s.catalogFor(t->database);
        cat.setIdentCurrent(t->table.id, id->colid, std::nullopt);
        s.server().forgetIdentity(t->database, t->table.id);
        s.noteIdentitySet(t->database, t->table.id);
    }
    s.setRowCount(0);
}

} // namespace engine::exec
