#pragma once
// Built-in functions beyond the core set: more string and math functions, and the metadata,
// property and security functions, each translated to SQL over the catalog tables.

#include "engine/exec/Translator.h"

#include <optional>

namespace engine::exec {

// The translation of f, or nothing when f is none of these functions.
std::optional<Typed> moreScalarFunction(Translator& tr, const sql::FunctionExpr& f, const Scope& scope);
std::optional<Typed> metadataFunction(Translator& tr, const sql::FunctionExpr& f, const Scope& scope);
// Throws "not supported" for a SQL Server function this server does not have.
void refuseKnownFunction(const sql::FunctionExpr& f);

} // namespace engine::exec
