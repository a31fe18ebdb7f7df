#pragma once
// Built-in functions beyond the core set: more string and math functions, and the metadata,
// property and security functions, each translated to SQL over the catalog tables.

#include "engine/exec/Translator.h"

#include <optional>

namespace engine::exec {

// A nullable type, as function results are.
inline types::TypeSpec spec(types::Type t, std::optional<int> len = std::nullopt, std::optional<int> p = std::nullopt,
                            std::optional<int> s = std::nullopt)
{
    return types::makeSpec(t, len, p, s, true);
}

// Refuses a call of f with fewer than lo or more than hi arguments (error 174).
void argCount(const sql::FunctionExpr& f, int lo, int hi);

// "db.owner.name" with [bracketed] parts, taken leniently: its parts, missing ones empty.
sql::ObjectName parseObjectName(const QString& text);

// The translation of f, or nothing when f is none of these functions.
std::optional<Typed> moreScalarFunction(Translator& tr, const sql::FunctionExpr& f, const Scope& scope);
std::optional<Typed> metadataFunction(Translator& tr, const sql::FunctionExpr& f, const Scope& scope);
// Throws "not supported" for a SQL Server function this server does not have.
void refuseKnownFunction(const sql::FunctionExpr& f);

} // namespace engine::exec
