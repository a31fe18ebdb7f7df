#pragma once
// Helpers shared by the SQLite function implementations.

#include "engine/types/Value.h"

#include <QString>
#include <sqlite3.h>

namespace engine::functions {

types::Value readValue(sqlite3_value* v);
void resultValue(sqlite3_context* ctx, const types::Value& v);
QString argText(sqlite3_value* v);
void resultText(sqlite3_context* ctx, const QString& s);

void registerStringFunctions(sqlite3* db);
void registerDateFunctions(sqlite3* db);
void registerCollations(sqlite3* db);
void registerMathFunctions(sqlite3* db);
void registerDecimalAggregates(sqlite3* db);
void registerDecimalArithmetic(sqlite3* db);
void registerNameFunctions(sqlite3* db);
void registerStatAggregates(sqlite3* db);
void registerArithChains(sqlite3* db);

// T-SQL LIKE with %, _, [set], [^set] and an optional escape character; case-insensitive.
bool likeMatch(const QString& value, const QString& pattern, QChar escape, bool caseSensitive = false);

} // namespace engine::functions
