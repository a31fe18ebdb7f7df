#pragma once
// T-SQL parser: one batch of text to a list of statements.

#include "engine/parser/Ast.h"

#include <QString>

namespace engine::sql {

// Parses a batch (the text between two GO lines). Statements may be separated by ';' or by
// nothing; a batch may open with a bare procedure name (ExecStmt::implicit). Throws
// engine::SqlError, severity 15, with the line of the offending token: 102 (syntax error near a
// token) or 156 (near a keyword); 105 for an unclosed quotation mark or bracket; 113 for an
// unclosed comment; 111 when CREATE/ALTER PROCEDURE (or CREATE DEFAULT, VIEW, ...) is not the
// batch's first statement; 159 for DROP INDEX without its table; 1038 for an empty name [];
// 191 when statements or expressions nest too deeply (about 300 levels of parentheses).
StatementList parseBatch(const QString& text);

// Parses one expression alone, e.g. a stored default text "(0)" or a computed column's text.
// Throws engine::SqlError as parseBatch does.
ExprPtr parseExpression(const QString& text);

// Parses a data type alone: "varchar(10)", "decimal(10, 2)".
DataType parseDataType(const QString& text);

// A parameter list as sp_executesql takes it: "@a int, @b varchar(10) OUTPUT".
std::vector<ProcParam> parseParameterList(const QString& text);

} // namespace engine::sql
