#include "engine/TsqlQuote.h"

namespace engine::sql {

QString quoteName(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char(']'), QLatin1String("]]"));
    return QLatin1Char('[') + n + QLatin1Char(']');
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
