#include "designer/M_MainMod.h"

#include "controls/SplitToArray.h"

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
            pairs[i].ColumnName = piece.left(piece.size() - 4);
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

QString StripBrackets(const QString& Name) {
    QString name = Name;
    if (name.startsWith(QLatin1Char('[')))
        name.remove(0, 1);
    if (name.endsWith(QLatin1Char(']')))
        name.chop(1);
    return name;
}

} // namespace M_MainMod
