#pragma once
// Quoting of names and string literals in T-SQL text: the one place that does it, for the
// engine's own printing and for the client layers that send T-SQL.

#include <QString>

namespace engine::sql {

// "[name]" with "]" doubled.
QString quoteName(const QString& name);

// The name as written when it reads as one plain word that is no reserved keyword (int,
// Latin1_General_CI_AS, phone), else quoteName(name): [Post Code], [O'Code], [Key].
QString quoteNameIfNeeded(const QString& name);

// "'text'" with "'" doubled.
QString quoteString(const QString& text);

// "N'text'" with "'" doubled: a Unicode literal.
QString quoteNString(const QString& text);

} // namespace engine::sql
