#include "engine/functions/CollationList.h"

#include <QHash>

namespace engine::functions {

namespace {
const char* const kWindows[] = {
    "Albanian", "Arabic", "Chinese_PRC", "Chinese_PRC_Stroke", "Chinese_Taiwan_Bopomofo", "Chinese_Taiwan_Stroke",
    "Croatian", "Cyrillic_General", "Czech", "Danish_Norwegian", "Estonian", "Finnish_Swedish", "French",
    "Georgian_Modern_Sort", "German_PhoneBook", "Greek", "Hebrew", "Hindi", "Hungarian", "Hungarian_Technical",
    "Icelandic", "Japanese", "Japanese_Unicode", "Korean_Wansung", "Korean_Wansung_Unicode", "Latin1_General",
    "Latvian", "Lithuanian", "Lithuanian_Classic", "Macedonian", "Modern_Spanish", "Polish", "Romanian", "Slovak",
    "Slovenian", "Thai", "Traditional_Spanish", "Turkish", "Ukrainian", "Vietnamese",
};
const char* const kSuffixes[] = {
    "_BIN", "_CI_AI", "_CI_AI_WS", "_CI_AI_KS", "_CI_AI_KS_WS", "_CI_AS", "_CI_AS_WS", "_CI_AS_KS", "_CI_AS_KS_WS",
    "_CS_AI", "_CS_AI_WS", "_CS_AI_KS", "_CS_AI_KS_WS", "_CS_AS", "_CS_AS_WS", "_CS_AS_KS", "_CS_AS_KS_WS",
};
const char* const kSql[] = {
    "SQL_1xCompat_CP850_CI_AS", "SQL_AltDiction_CP850_CI_AI", "SQL_AltDiction_CP850_CI_AS", "SQL_AltDiction_CP850_CS_AS",
    "SQL_AltDiction_Pref_CP850_CI_AS", "SQL_AltDiction2_CP1253_CS_AS", "SQL_Croatian_CP1250_CI_AS", "SQL_Croatian_CP1250_CS_AS",
    "SQL_Czech_CP1250_CI_AS", "SQL_Czech_CP1250_CS_AS", "SQL_Danish_Pref_CP1_CI_AS", "SQL_EBCDIC037_CP1_CS_AS",
    "SQL_EBCDIC273_CP1_CS_AS", "SQL_EBCDIC277_CP1_CS_AS", "SQL_EBCDIC278_CP1_CS_AS", "SQL_EBCDIC280_CP1_CS_AS",
    "SQL_EBCDIC284_CP1_CS_AS", "SQL_EBCDIC285_CP1_CS_AS", "SQL_EBCDIC297_CP1_CS_AS", "SQL_Estonian_CP1257_CI_AS",
    "SQL_Estonian_CP1257_CS_AS", "SQL_Hungarian_CP1250_CI_AS", "SQL_Hungarian_CP1250_CS_AS", "SQL_Icelandic_Pref_CP1_CI_AS",
    "SQL_Latin1_General_CP1_CI_AI", "SQL_Latin1_General_CP1_CI_AS", "SQL_Latin1_General_CP1_CS_AS",
    "SQL_Latin1_General_CP1250_CI_AS", "SQL_Latin1_General_CP1250_CS_AS", "SQL_Latin1_General_CP1251_CI_AS",
    "SQL_Latin1_General_CP1251_CS_AS", "SQL_Latin1_General_CP1253_CI_AI", "SQL_Latin1_General_CP1253_CI_AS",
    "SQL_Latin1_General_CP1253_CS_AS", "SQL_Latin1_General_CP1254_CI_AS", "SQL_Latin1_General_CP1254_CS_AS",
    "SQL_Latin1_General_CP1255_CI_AS", "SQL_Latin1_General_CP1255_CS_AS", "SQL_Latin1_General_CP1256_CI_AS",
    "SQL_Latin1_General_CP1256_CS_AS", "SQL_Latin1_General_CP1257_CI_AS", "SQL_Latin1_General_CP1257_CS_AS",
    "SQL_Latin1_General_CP437_BIN", "SQL_Latin1_General_CP437_CI_AI", "SQL_Latin1_General_CP437_CI_AS",
    "SQL_Latin1_General_CP437_CS_AS", "SQL_Latin1_General_CP850_BIN", "SQL_Latin1_General_CP850_CI_AI",
    "SQL_Latin1_General_CP850_CI_AS", "SQL_Latin1_General_CP850_CS_AS", "SQL_Latin1_General_Pref_CP1_CI_AS",
    "SQL_Latin1_General_Pref_CP437_CI_AS", "SQL_Latin1_General_Pref_CP850_CI_AS", "SQL_Latvian_CP1257_CI_AS",
    "SQL_Latvian_CP1257_CS_AS", "SQL_Lithuanian_CP1257_CI_AS", "SQL_Lithuanian_CP1257_CS_AS", "SQL_MixDiction_CP1253_CS_AS",
    "SQL_Polish_CP1250_CI_AS", "SQL_Polish_CP1250_CS_AS", "SQL_Romanian_CP1250_CI_AS", "SQL_Romanian_CP1250_CS_AS",
    "SQL_Scandinavian_CP850_CI_AS", "SQL_Scandinavian_CP850_CS_AS", "SQL_Scandinavian_Pref_CP850_CI_AS",
    "SQL_Slovak_CP1250_CI_AS", "SQL_Slovak_CP1250_CS_AS", "SQL_Slovenian_CP1250_CI_AS", "SQL_Slovenian_CP1250_CS_AS",
    "SQL_SwedishPhone_Pref_CP1_CI_AS", "SQL_SwedishStd_Pref_CP1_CI_AS", "SQL_Ukrainian_CP1251_CI_AS",
    "SQL_Ukrainian_CP1251_CS_AS",
};

QStringList build()
{
    QStringList names;
    for (const char* w : kWindows)
        for (const char* s : kSuffixes) names << QString::fromLatin1(w) + QString::fromLatin1(s);
    for (const char* s : kSql) names << QString::fromLatin1(s);
    return names;
}

const QHash<QString, QString>& byLowerName()
{
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        for (const QString& n : collationNames()) m.insert(n.toLower(), n);
        return m;
    }();
    return map;
}
} // namespace

const QStringList& collationNames()
{
    static const QStringList names = build();
    return names;
}

std::optional<QString> findCollation(const QString& name)
{
    auto it = byLowerName().find(name.trimmed().toLower());
    if (it == byLowerName().end()) return std::nullopt;
    return it.value();
}

QString collationDescription(const QString& name)
{
    QString base = name;
    QStringList traits;
    const bool sql = base.startsWith(QLatin1String("SQL_"));
    if (sql) base = base.mid(4);
    if (base.endsWith(QLatin1String("_BIN"))) {
        base.chop(4);
        traits << QStringLiteral("binary sort");
    } else {
        const QStringList parts = base.split(QLatin1Char('_'));
        int first = int(parts.size());
        for (int i = 0; i < parts.size(); ++i)
            if (parts[i] == QLatin1String("CI") || parts[i] == QLatin1String("CS")) {
                first = i;
                break;
            }
        bool kana = false, width = false;
        for (int i = first; i < parts.size(); ++i) {
            const QString& p = parts[i];
            if (p == QLatin1String("CI")) traits << QStringLiteral("case-insensitive");
            else if (p == QLatin1String("CS")) traits << QStringLiteral("case-sensitive");
            else if (p == QLatin1String("AI")) traits << QStringLiteral("accent-insensitive");
            else if (p == QLatin1String("AS")) traits << QStringLiteral("accent-sensitive");
            else if (p == QLatin1String("KS")) kana = true;
            else if (p == QLatin1String("WS")) width = true;
        }
        traits << (kana ? QStringLiteral("kanatype-sensitive") : QStringLiteral("kanatype-insensitive"));
        traits << (width ? QStringLiteral("width-sensitive") : QStringLiteral("width-insensitive"));
        base = parts.mid(0, first).join(QLatin1Char('_'));
    }
    QString lang = base;
    lang.replace(QLatin1Char('_'), QLatin1Char('-'));
    return (sql ? QStringLiteral("SQL collation: ") : QString()) + lang + QStringLiteral(", ") + traits.join(QStringLiteral(", "));
}

bool collationCaseSensitive(const QString& name)
{
    return name.contains(QLatin1String("_CS"), Qt::CaseInsensitive) || name.endsWith(QLatin1String("_BIN"), Qt::CaseInsensitive);
}

} // namespace engine::functions
