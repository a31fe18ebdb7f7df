#pragma once
// Small procedures shared by the table designer, its index editor and the save.

#include <QList>
#include <QString>
#include <QStringList>

namespace dmo {
class Database;
}

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace M_MainMod {

// One key column of an index: its name and "A" (ascending) or "D" (descending).
struct IndexKeyColumn {
    QString ColumnName;
    QString SortOrder;

    bool operator==(const IndexKeyColumn&) const = default;
};

// A user-defined data type as the type list needs it.
struct UserDatatype {
    QString Name;
    QString BaseType;
};

// The type list: each entry followed by "\r"; the system types first, then each user type as
// name, " (", base type, ")". With ExcludeSysname, "sysname" (any case) and empty names are
// left out.
QString ListaTipos(const QStringList& SystemDatatypes, const QList<UserDatatype>& UserDatatypes,
                   bool ExcludeSysname, bool SystemTypes, bool UserTypes);
// The same from the database's SystemDatatypes and UserDefinedDatatypes; a list that cannot
// be read adds nothing.
QString ListaTipos(dmo::Database& Database, bool ExcludeSysname, bool SystemTypes, bool UserTypes);

// The entry of a "\r"-separated type list for a type name, unchanged: first the entry whose
// name (the text before " (" for a user type) equals Prefix, else the first entry that begins
// with Prefix; both compared in lower case. Empty text when none.
QString FindInList(const QString& List, const QString& Prefix);

// Text of the designer's input-error message of ErrorKind (1 to 4); empty for another kind
// or for a window whose help context is not the designer's (10000).
QString GridErrorMessage(const QWidget* Form, int ErrorKind);

// Caption number CaptionIndex (1 to 24) of the designer; empty for another number or for a
// window whose help context is not the designer's (10000).
QString SetStructCaptions(const QWidget* Form, int CaptionIndex);

// True when every character of the text is a digit 0 to 9 (so also for an empty text).
bool IsAllDigits(const QString& Text);
bool IsAllDigits(const QLineEdit* TextBox);

// A column name as a key-column list holds it: each "<" written "<lt>", so that no name can
// hold the list's "<@>" and "<#>".
QString MarkedName(const QString& ColumnName);
// One key column of a key-column list: the marked name, "<@>", the order letter, "<#>".
QString MarkedColumn(const QString& ColumnName, const QString& SortOrder);
// Splits a key-column list ("Name<@>A<#>Other<@>D<#>") into its key columns, names as they
// are and the order letter upper-cased. An empty or blank text gives one element with both
// fields empty.
QList<IndexKeyColumn> SplitMarked(const QString& Text);

// Exchanges a row's contents with its neighbour (Direction 1 down, 2 up) and selects the
// neighbour. Texts, cell values, tag, icon and check state move (no ItemCheck is reported);
// the item objects and their other data (bold mark, fonts, flags) stay in place. Nothing
// happens at the ends of the list.
void MoveListItem(QTreeWidget* ListView, QTreeWidgetItem* Item, int Direction);

// Names as the designer's column list holds them: a bare name, or "[" name "]" with each "]"
// inside doubled. Only such a matched, escaped pair is ever taken off: "[Order Date]" gives
// Order Date and "[a]]b]" gives a]b, while "Total]", "[x" and "[a]b]" stay as they are.
QString StripBrackets(const QString& Name);
// A server's column name as the list holds it: enclosed when it holds a blank or would
// otherwise read as an enclosed name.
QString BracketName(const QString& Name);
// A name typed in the editor as the list holds it: kept when already enclosed, enclosed when
// it holds a blank.
QString ListName(const QString& Typed);
// The text the editor shows for a list name: without its brackets, unless that text would
// be read back as another name.
QString EditName(const QString& Name);

// True when a loaded window of the program has the object name FormName, compared in upper
// case; FormName itself becomes trimmed and upper-cased.
bool IsFormLoaded(QString& FormName);

} // namespace M_MainMod
