#pragma once
// Prints expressions back as T-SQL text, in the server's normal form: names in brackets,
// binary operators between single blanks, parentheses only where precedence needs them.
// The stored text of a default or a computed column is parenthesized(toSql(expr)):
// DEFAULT 0 gives "(0)", DEFAULT getdate() "(getdate())", AS a+b "([a] + [b])".

#include "engine/TsqlQuote.h"
#include "engine/parser/Ast.h"

namespace engine::sql {

QString toSql(const Expr& e);

// "(text)" unless the whole text is already one parenthesized group.
QString parenthesized(const QString& text);

} // namespace engine::sql
