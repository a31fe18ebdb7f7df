#include "engine/TsqlQuote.h"

#include "engine/lexer/Token.h"

namespace engine::sql {

QString quoteName(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char(']'), QLatin1String("]]"));
    return QLatin1Char('[') + n + QLatin1Char(']');
}

QString quoteNameIfNeeded(const QString& name) {
    bool plain = !name.isEmpty() && !isReservedKeyword(name) &&
                 (name[0].isLetter() || name[0] == QLatin1Char('_') || name[0] == QLatin1Char('#'));
    for (QChar c : name)
        plain = plain && (c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') ||
                          c == QLatin1Char('@') || c == QLatin1Char('$'));
    return plain ? name : quoteName(name);
}

QString quoteString(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString quoteNString(const QString& text) {
    return QLatin1Char('N') + quoteString(text);
}

} // namespace engine::sql
