#pragma once
// T-SQL built-in functions, conversions and collations registered on a SQLite connection.
// SQL text made by the executor calls them by the names below.

#include "engine/Engine.h"

#include <functional>
#include <optional>

struct sqlite3;
struct sqlite3_context;

namespace engine::functions {

// Hooks into the session that some functions need (identity values, @@ globals).
struct Hooks {
    std::function<long long(int slot)> nextIdentity;            // tsql_identity(slot)
    std::function<void(int slot, long long value)> seenIdentity; // tsql_idseen(slot, v)
    std::function<long long()> nextTimestamp;                  // tsql_timestamp(): rowversion values
};

// Registers everything on the connection. `hooks` must outlive the connection.
void registerAll(sqlite3* db, Hooks* hooks);

// Reports a server error from inside a SQLite function; decodeError gets it back out of the
// message SQLite returns.
void resultError(sqlite3_context* ctx, const SqlError& e);
std::optional<SqlError> decodeError(const char* sqliteMessage);

// Collation names for physical columns.
inline constexpr const char* kCollateCI = "TSQL_CI";
inline constexpr const char* kCollateCS = "TSQL_CS";
inline constexpr const char* kCollateDecimal = "TSQL_DEC";

// Date parts as DATEADD/DATEDIFF/DATEPART name them; -1 for an unknown name.
int datePartCode(const QString& name);

} // namespace engine::functions
