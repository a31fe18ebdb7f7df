// A module's scope: what it saves on entry and puts back on exit.
#include "engine/exec/ModuleScope.h"

#include "engine/Errors.h"
#include "engine/exec/SchemaSupport.h"

namespace engine::exec {

ModuleScope::ModuleScope(SessionImpl& session, int levels, const QString& database)
    : s_(session), database_(session.currentDatabase()), nocount_(session.nocount), lockTimeout_(session.lockTimeout),
      dateFormat_(session.dateFormat), identityInsert_(session.identityInsert), tempTables_(session.tempTableMark()),
      levels_(levels), tranCount_(session.tranCount())
{
    if (!database.isEmpty() && !sameName(database, database_)) s_.useDatabase(database); // may throw: nothing changed yet
    s_.callerDatabases.push_back(database_);
    variables_ = std::move(s_.variables);
    s_.variables.clear();
    scopeIdentity_ = std::exchange(s_.scopeIdentity, std::nullopt);
    s_.procedureDepth += levels_;
}

ModuleScope::~ModuleScope()
{
    s_.dropTempTables(tempTables_);
    s_.nocount = nocount_;
    s_.lockTimeout = lockTimeout_;
    s_.dateFormat = dateFormat_;
    s_.identityInsert = identityInsert_;
    s_.variables = std::move(variables_);
    s_.scopeIdentity = scopeIdentity_;
    s_.procedureDepth -= levels_;
    s_.callerDatabases.pop_back();
    if (s_.currentDatabase() != database_) {
        try {
            s_.useDatabase(database_);
        } catch (const SqlError&) {
            // the caller's database was dropped meanwhile: stay where the module left us
        }
    }
}

int ModuleScope::run(const sql::StatementList& body)
{
    int status = 0;
    try {
        s_.runStatements(body);
    } catch (const ReturnSignal&) {
        status = s_.returnStatus;
    } catch (const BreakSignal&) {
    } catch (const ContinueSignal&) {
    }
    // reported by the EXEC once what the module did is kept
    if (s_.tranCount() != tranCount_) s_.raiseAtStatementEnd(Errors::tranCountChanged(tranCount_, s_.tranCount()));
    return status;
}

} // namespace engine::exec
