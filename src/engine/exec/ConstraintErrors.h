#pragma once
// Storage constraint failures (NOT NULL, UNIQUE) turned into the server's errors 515/2627/2601.

#include "engine/exec/SessionImpl.h"

namespace engine::exec {

// Returns the server error for a storage failure on table t, or `e` itself.
SqlError mapConstraintError(const SqlError& e, const ResolvedTable& t, bool update);

// Runs fn, mapping its storage failures on t.
template <class F> auto withConstraintErrors(const ResolvedTable& t, bool update, F&& fn)
{
    try {
        return fn();
    } catch (const SqlError& e) {
        throw mapConstraintError(e, t, update);
    }
}

} // namespace engine::exec
