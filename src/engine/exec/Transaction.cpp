// BEGIN / COMMIT / ROLLBACK / SAVE TRANSACTION with T-SQL's nesting: only the outermost COMMIT
// commits; ROLLBACK rolls everything back unless it names a savepoint.

#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

using namespace engine::sql;

namespace {
// The name in hexadecimal: whatever it holds (a NUL, quotes) stays out of the statement's text,
// and names that differ in case stay apart.
QString savepointName(const QString& name)
{
    return QStringLiteral("tsql_save_") + QString::fromLatin1(name.toUtf8().toHex());
}

// A name written as such, or the text of the variable that holds it.
QString nameOf(SessionImpl& s, const QString& written)
{
    if (!written.startsWith(QLatin1Char('@'))) return written;
    Variable* v = s.variable(written);
    if (!v) throw Errors::mustDeclare(written);
    if (v->value.isNull()) return {};
    types::TypeSpec text = types::makeSpec(types::Type::NVarChar, 4000, {}, {});
    types::Value t = convertValue(v->value, v->type, text, false);
    return QString::fromUtf8(t.s.data(), qsizetype(t.s.size()));
}
} // namespace

void SessionImpl::beginTransaction(const QString& name)
{
    if (tranCount_ == 0) {
        if (!sqlite3_get_autocommit(db_)) {
            // a module run outside a transaction: what its statements did so far is kept, as
            // each of them would have been on its own
            storage::exec(db_, QStringLiteral("COMMIT"));
            transactionEnded();
        }
        storage::exec(db_, QStringLiteral("BEGIN"));
        tranName_ = name;
    }
    ++tranCount_;
}

void SessionImpl::commitTransaction()
{
    if (tranCount_ == 0) throw Errors::commitWithoutBegin();
    if (tranCount_ > 1) {
        --tranCount_;
        return;
    }
    storage::exec(db_, QStringLiteral("COMMIT"));
    truncatedTables.clear();
    transactionEnded();
}

void SessionImpl::rollbackAll()
{
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    for (const auto& [database, tableId] : truncatedTables) instance_->forgetIdentity(database, tableId);
    truncatedTables.clear();
    transactionEnded();
}

void SessionImpl::rollbackTransaction(const QString& name)
{
    if (tranCount_ == 0) throw Errors::rollbackWithoutBegin();
    if (!name.isEmpty()) {
        auto sp = std::find_if(savepoints_.rbegin(), savepoints_.rend(),
                               [&](const Savepoint& p) { return p.name == name; }); // in its own case
        if (sp != savepoints_.rend()) {
            storage::exec(db_, QStringLiteral("ROLLBACK TO %1").arg(savepointName(name)));
            // later savepoints, statement ones included, are gone; this one stays
            liveSavepoints_ = std::min(liveSavepoints_, sp->level);
            savepoints_.erase(sp.base(), savepoints_.end());
            for (const auto& [database, tableId] : truncatedTables) instance_->forgetIdentity(database, tableId);
            return;
        }
        if (name != tranName_) throw Errors::noSuchSavepoint(name);
    }
    rollbackAll();
}

void SessionImpl::saveTransaction(const QString& name)
{
    if (tranCount_ == 0) throw Errors::saveWithoutTransaction();
    if (name.isEmpty()) throw Errors::syntax(QStringLiteral("TRANSACTION"));
    storage::exec(db_, QStringLiteral("SAVEPOINT %1").arg(savepointName(name)));
    savepoints_.push_back({name, liveSavepoints_});
}

void SessionImpl::transactionEnded()
{
    tranCount_ = 0;
    tranName_.clear();
    savepoints_.clear();
    liveSavepoints_ = 0;
}

void execTransaction(SessionImpl& s, const TransactionStmt& st)
{
    switch (st.op) {
    case TransactionOp::Begin: return s.beginTransaction(nameOf(s, st.name));
    case TransactionOp::Commit: return s.commitTransaction();
    case TransactionOp::Rollback: return s.rollbackTransaction(nameOf(s, st.name));
    case TransactionOp::Save: return s.saveTransaction(nameOf(s, st.name));
    }
}

} // namespace engine::exec
