#pragma once
// Entering and leaving a module (a procedure, EXEC of a string, sp_executesql): the module has
// its own variables, SCOPE_IDENTITY() and #temporary tables; when it ends, however it ends, the
// caller's variables, identity, SET options and current database come back and the module's #tables go.
// A module that ends with another transaction count than it began with says so (266).

#include "engine/exec/SessionImpl.h"

namespace engine::exec {

class ModuleScope {
public:
    // `database`: where the module runs (a procedure runs in its own), empty for the caller's.
    // `levels`: how far the module raises @@NESTLEVEL (a procedure and EXEC of a string 1,
    // sp_executesql 2, itself a procedure running a batch).
    ModuleScope(SessionImpl& session, int levels, const QString& database = {});
    ~ModuleScope();
    ModuleScope(const ModuleScope&) = delete;
    ModuleScope& operator=(const ModuleScope&) = delete;

    // Runs the module's statements up to their end or a RETURN; gives RETURN's status (0 without).
    int run(const sql::StatementList& body);

private:
    SessionImpl& s_;
    QHash<QString, Variable> variables_;
    QString database_;
    std::optional<long long> scopeIdentity_;
    // the SET options a module's SET changes for itself only
    bool nocount_;
    int lockTimeout_;
    QByteArray dateFormat_;
    std::optional<SessionImpl::IdentityInsert> identityInsert_;
    size_t tempTables_;
    int levels_;
    int tranCount_;
};

} // namespace engine::exec
