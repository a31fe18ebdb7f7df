#pragma once
// Reads result values straight from a SQLite statement into the engine's value types.

#include "engine/Engine.h"
#include "engine/types/TypeInfo.h"

#include <sqlite3.h>

namespace engine::exec {

QVariant readColumn(sqlite3_stmt* st, int col, const types::TypeSpec& type);

} // namespace engine::exec
