#pragma once
// T-SQL text helpers shared by the management objects.
#include "engine/TsqlQuote.h"

#include <QString>
#include <QStringList>

namespace dmo::sql {

// [name], 'text' and N'text', quoted as the server reads them; a plain word stays bare when
// quoted if needed.
using engine::sql::quoteName;
using engine::sql::quoteNameIfNeeded;
using engine::sql::quoteNString;
using engine::sql::quoteString;
// [owner].[name], or [name] when the owner is empty.
QString qualified(const QString& owner, const QString& name);
// The name without one pair of enclosing brackets ("[a b]" -> "a b").
QString stripBrackets(const QString& name);
// Splits a script at lines that hold only GO (any case, blanks around allowed); blank batches
// are dropped.
QStringList splitBatches(const QString& text);

// System type facts.
bool isSystemType(const QString& type);
bool typeHasLength(const QString& type);    // char, varchar, nchar, nvarchar, binary, varbinary
bool typeHasPrecision(const QString& type); // decimal, numeric
bool isUnicodeType(const QString& type);    // nchar, nvarchar, ntext
// Storage length in bytes of a fixed-size type; 0 when it depends on the declaration.
int fixedTypeLength(const QString& type);
// The ODBC type code the query results give for a column of that type.
int odbcTypeCode(const QString& type);
// The system type of a syscolumns/systypes xtype (sysname is xusertype 256); empty when unknown.
QString typeNameOfXtype(int xtype);
// The system types in the order the management objects list them.
QStringList systemTypeNames();
// Type text for a declaration: varchar(20), decimal(10, 2), int, [Post Code]. Sizes below 0 are
// not given.
QString typeDeclaration(const QString& type, int length, int precision, int scale);

} // namespace dmo::sql
