// BEGIN / COMMIT / ROLLBACK / SAVE TRANSACTION with T-SQL's nesting: only the outermost COMMIT
// commits; ROLLBACK rolls everything back unless it names a savepoint.

#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

using namespace engine::sql;

namespace {
void forgetTruncatedIdentities(SessionImpl& s)
{
    for (const auto& [database, tableId] : s.truncatedTables) s.server().forgetIdentity(database, tableId);
}

// The name in hexadecimal: whatever it holds (a NUL, quotes) stays out of the statement's text.
QString savepointName(const QString& name)
{
    return QStringLiteral("tsql_save_") + QString::fromLatin1(name.toLower().toUtf8().toHex());
}
} // namespace

void execTransaction(SessionImpl& s, const TransactionStmt& st)
{
    int& count = s.tranCountRef();
    switch (st.op) {
    case TransactionOp::Begin:
        if (count == 0) storage::exec(s.db(), QStringLiteral("BEGIN"));
        ++count;
        return;
    case TransactionOp::Commit:
        if (count == 0) throw Errors::commitWithoutBegin();
        if (count == 1) {
            storage::exec(s.db(), QStringLiteral("COMMIT"));
            s.truncatedTables.clear();
        }
        --count;
        return;
    case TransactionOp::Rollback:
        if (count == 0) throw Errors::rollbackWithoutBegin();
        if (!st.name.isEmpty() && !st.name.startsWith(QLatin1Char('@'))) {
            // a savepoint of SAVE TRAN, or the outer transaction's own name
            int rc = sqlite3_exec(s.db(), QStringLiteral("ROLLBACK TO %1").arg(savepointName(st.name)).toUtf8().constData(), nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK) {
                forgetTruncatedIdentities(s);
                return;
            }
        }
        storage::exec(s.db(), QStringLiteral("ROLLBACK"));
        forgetTruncatedIdentities(s);
        s.truncatedTables.clear();
        count = 0;
        return;
    case TransactionOp::Save:
        if (count == 0)
            throw Errors::make(628, 16, QStringLiteral("SAVE TRANSACTION needs an open transaction."));
        if (st.name.isEmpty()) throw Errors::syntax(QStringLiteral("TRANSACTION"));
        storage::exec(s.db(), QStringLiteral("SAVEPOINT %1").arg(savepointName(st.name)));
        return;
    }
}

} // namespace engine::exec
