#include "designer/M_MainMod.h"

#include "controls/SplitToArray.h"
#include "dmo/Sql.h"

#include <QLineEdit>

namespace M_MainMod {

namespace {

// The type name of a list entry: a user type's entry is "name (base)".
QString entryTypeName(const QString& entry) {
    if (entry.endsWith(QLatin1Char(')'))) {
        const qsizetype open = entry.lastIndexOf(QLatin1String(" ("));
        if (open >= 0)
            return entry.left(open);
    }
    return entry;
}

} // namespace

bool IsAllDigits(const QString& Text) {
    for (const QChar c : Text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool IsAllDigits(const QLineEdit* TextBox) {
    return TextBox ? IsAllDigits(TextBox->text()) : true;
}

QString MarkedName(const QString& ColumnName) {
    QString marked = ColumnName;
    return marked.replace(QLatin1Char('<'), QLatin1String("<lt>"));
}

QString MarkedColumn(const QString& ColumnName, const QString& SortOrder) {
    return MarkedName(ColumnName) + QStringLiteral("<@>") + SortOrder + QStringLiteral("<#>");
}

QList<IndexKeyColumn> SplitMarked(const QString& Text) {
    QStringList pieces;
    SplitToArray(Text, QStringLiteral("<#>"), pieces);
    QList<IndexKeyColumn> pairs(pieces.size());
    if (Text.isEmpty())
        return pairs;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString& piece = pieces.at(i);
        // A piece is the name, "<@>" and the order letter.
        if (piece.size() >= 4)
            pairs[i].ColumnName = piece.left(piece.size() - 4).replace(QLatin1String("<lt>"),
                                                                        QLatin1String("<"));
        pairs[i].SortOrder = piece.right(1).toUpper();
    }
    return pairs;
}

QString FindInList(const QString& List, const QString& Prefix) {
    QStringList entries;
    SplitToArray(List, QStringLiteral("\r"), entries);
    // A type's own entry wins over an earlier entry that merely begins with its name
    // (user type "small" listed after "smalldatetime").
    for (const QString& entry : entries) {
        if (!entry.isEmpty() && entryTypeName(entry).compare(Prefix, Qt::CaseInsensitive) == 0)
            return entry;
    }
    for (const QString& entry : entries) {
        if (entry.left(Prefix.size()).toLower() == Prefix.toLower())
            return entry;
    }
    return QString();
}

namespace {

// "[" ... "]" whose inside holds every "]" doubled.
bool isEnclosed(const QString& name) {
    if (name.size() < 2 || !name.startsWith(QLatin1Char('[')) || !name.endsWith(QLatin1Char(']')))
        return false;
    for (qsizetype i = 1; i < name.size() - 1; ++i) {
        if (name.at(i) != QLatin1Char(']'))
            continue;
        if (i + 1 >= name.size() - 1 || name.at(i + 1) != QLatin1Char(']'))
            return false;
        ++i;
    }
    return true;
}

} // namespace

QString StripBrackets(const QString& Name) {
    if (!isEnclosed(Name))
        return Name;
    QString inside = Name.mid(1, Name.size() - 2);
    inside.replace(QStringLiteral("]]"), QStringLiteral("]"));
    return inside;
}

QString BracketName(const QString& Name) {
    return Name.contains(QLatin1Char(' ')) || isEnclosed(Name) ? dmo::sql::quoteName(Name) : Name;
}

QString ListName(const QString& Typed) {
    return isEnclosed(Typed) ? Typed : BracketName(Typed);
}

QString EditName(const QString& Name) {
    const QString bare = StripBrackets(Name);
    return ListName(bare) == Name ? bare : Name;
}

} // namespace M_MainMod
