#pragma once
// The pieces of a design's save that need only the column record and the index model: field
// reads, change detection, and the T-SQL texts the save sends (conversion test, null count,
// index and constraint statements, the rebuild's copy).

#include "designer/DataTypeRules.h"

#include <QDateTime>
#include <QString>

#include <optional>

class CListViewManager;
class clsIndexes;

namespace SaveScripts {

// A record field as text (a number field without decimals) and as a number (empty reads 0).
QString Text(const CListViewManager& Structure, const char* Field, int Item);
double Number(const CListViewManager& Structure, const char* Field, int Item);
// A whole-number field to the last digit (a seed may be any bigint); empty reads 0.
qint64 Whole(const CListViewManager& Structure, const char* Field, int Item);

// The type name of a type-list entry: a user type's "name (base)" gives name.
QString TypeName(const QString& DataType);
// The system type of a type-list entry: a user type's "name (base)" gives base.
QString SystemType(const QString& DataType);
// char, varchar, nchar and nvarchar.
bool IsCharacter(const QString& TypeName);
// The rules of a record's DataType in query mode, touching no control.
DataTypeRules Rules(const QString& DataType);

// text, ntext and image: their loaded length is that of a pointer, not of their values.
bool IsLargeObject(const QString& TypeName);
// Character and binary types, whose stored length DATALENGTH gives.
bool HoldsBytes(const QString& TypeName);

// The table as the statements name it: [name], or [owner].[name] for an owner other than dbo.
QString TableRef(const QString& Owner, const QString& Name);

// True when any edited field of the item differs from its loaded twin.
bool ColumnChanged(const CListViewManager& Structure, int Item);
// True when a loaded column's type, or a size its type has, differs from the loaded one.
bool DataTypeChanged(const CListViewManager& Structure, int Item);

// "Select Convert(type(size), [loaded name]) From table".
QString ConversionTestStatement(const CListViewManager& Structure, int Item, const QString& Table);
// "Select Count(*) From table Where back <> [loaded name] Or DataLength(back) <
// DataLength([loaded name])", back being "Convert(loaded type, Convert(new type, [loaded
// name]))": the rows whose value does not come back whole from the new type. LoadedType is
// the loaded column's system type (a user type's base), sized as loaded. A new type timestamp
// counts every value that is not null (the server stamps its own).
QString RoundTripStatement(const CListViewManager& Structure, int Item, const QString& Table,
                           const QString& LoadedType);
// "Select Max(DataLength([loaded name])) From table": the longest stored value in bytes.
QString LongestValueStatement(const CListViewManager& Structure, int Item, const QString& Table);
// Rows that would break the item's refusal of nulls: all rows for a new column, the nulls of
// a loaded one.
QString NullCountStatement(const CListViewManager& Structure, int Item, const QString& Table);

// "([a] DESC, [b])" from a key-column list.
QString KeyColumnList(const QString& IndexColumns);
// The statement that creates the entry as edited: a unique constraint (never ignoring
// duplicate keys), or an index.
QString CreateIndexStatement(const clsIndexes& Index, const QString& Table);
QString DropConstraintStatement(const QString& Table, const QString& Name);

// "Varnolt_Temp" with year, month, day, hour and minute without leading zeros.
QString TemporaryTableName(const QDateTime& When);

// What the rebuild copies from the old table into the new one.
struct CopyLists {
    QString Targets;
    QString Sources;
    bool IdentityCopy = false;
};
CopyLists RebuildCopyLists(const CListViewManager& Structure);
QString IdentityInsertStatement(const QString& Owner, const QString& TempName, bool On);
// "DBCC CHECKIDENT (N'table', Tail)"; Table as [owner].[name].
QString CheckIdentStatement(const QString& Table, const QString& Tail);
// The current identity value that DBCC CHECKIDENT reports; none when it reports NULL.
std::optional<qint64> CurrentIdentity(const QString& Messages);
QString CopyStatement(const QString& Owner, const QString& TempName, const CopyLists& Lists,
                      const QString& OldName);

} // namespace SaveScripts
