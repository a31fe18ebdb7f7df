#pragma once
// T-SQL parser: one batch of text to a list of statements.

#include "engine/parser/Ast.h"

#include <QString>

namespace engine::sql {

// Parses a batch (the text between two GO lines). Statements may be separated by ';' or by
// nothing. Throws engine::SqlError: 102 (syntax error near a token) or 156 (near a keyword),
// severity 15, with the line of the offending token; 105 for an unclosed quotation mark or
// bracket, 113 for an unclosed comment; 191 when nesting is too deep.
StatementList parseBatch(const QString& text);

// Parses one expression alone, e.g. a stored default text "(0)" or a computed column's text.
// Throws engine::SqlError as parseBatch does.
ExprPtr parseExpression(const QString& text);

// Parses a data type alone: "varchar(10)", "decimal(10, 2)".
DataType parseDataType(const QString& text);

} // namespace engine::sql
