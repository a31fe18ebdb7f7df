#pragma once
// The one conversion table: T-SQL's implicit and explicit conversions between the system types,
// with their results and errors (245, 241, 8114, 8115, 8152, 529).

#include "engine/types/TypeInfo.h"
#include "engine/types/Value.h"

namespace engine::types {

enum class ConvertMode {
    Explicit,   // CONVERT/CAST: strings are cut to the length silently
    Assignment, // INSERT/UPDATE into a column: too long data is error 8152
};

// Converts a stored value of type `from` to type `to`. Throws SqlError.
Value convert(const Value& v, const TypeSpec& from, const TypeSpec& to, ConvertMode mode, int style = -1);

// The storage type of a runtime value whose static type is unknown (sql_variant).
TypeSpec runtimeType(const Value& v);

// Text of a float as CONVERT(varchar, float) shows it (style 0: at most 6 digits).
std::string floatText(double d, int style);

// Whether the implicit conversion is allowed at all (e.g. not datetime -> image).
bool implicitAllowed(const TypeSpec& from, const TypeSpec& to);

} // namespace engine::types
