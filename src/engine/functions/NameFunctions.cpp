// QUOTENAME, PARSENAME, SOUNDEX and DIFFERENCE: functions over names and words.

#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"

namespace engine::functions {

namespace {

// QUOTENAME(s [, q]): s between delimiters, the closing one doubled inside; NULL past 128 characters
void quotenameFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    QChar open = QLatin1Char('[');
    if (argc > 1) {
        if (sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
        QString q = argText(argv[1]);
        if (q.isEmpty()) return sqlite3_result_null(ctx);
        open = q[0];
    }
    QChar close;
    if (open == QLatin1Char('[') || open == QLatin1Char(']')) {
        open = QLatin1Char('[');
        close = QLatin1Char(']');
    } else if (open == QLatin1Char('"') || open == QLatin1Char('\'')) {
        close = open;
    } else {
        return sqlite3_result_null(ctx);
    }
    QString s = argText(argv[0]);
    if (s.size() > 128) return sqlite3_result_null(ctx);
    s.replace(close, QString(2, close));
    resultText(ctx, open + s + close);
}

// Splits a name of up to four parts, each plain, [bracketed] or "quoted"; false when malformed.
bool splitName(const QString& t, QStringList& parts)
{
    QString cur;
    qsizetype i = 0;
    while (true) {
        if (i < t.size() && (t[i] == QLatin1Char('[') || t[i] == QLatin1Char('"'))) {
            QChar close = t[i] == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            ++i;
            bool closed = false;
            while (i < t.size()) {
                if (t[i] == close) {
                    if (i + 1 < t.size() && t[i + 1] == close) {
                        cur += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                cur += t[i++];
            }
            if (!closed) return false;
            if (i < t.size() && t[i] != QLatin1Char('.')) return false;
        } else {
            while (i < t.size() && t[i] != QLatin1Char('.')) cur += t[i++];
        }
        parts << cur;
        cur.clear();
        if (i >= t.size()) break;
        ++i; // the dot
    }
    return parts.size() <= 4;
}

// PARSENAME(name, part): 1 object, 2 owner, 3 database, 4 server; NULL when absent
void parsenameFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    long long part = sqlite3_value_int64(argv[1]);
    QStringList parts;
    if (!splitName(argText(argv[0]), parts) || part < 1 || part > parts.size()) return sqlite3_result_null(ctx);
    const QString& p = parts[parts.size() - qsizetype(part)];
    if (p.isEmpty()) return sqlite3_result_null(ctx);
    resultText(ctx, p);
}

char soundexCode(QChar c)
{
    switch (c.toUpper().unicode()) {
    case 'B': case 'F': case 'P': case 'V': return '1';
    case 'C': case 'G': case 'J': case 'K': case 'Q': case 'S': case 'X': case 'Z': return '2';
    case 'D': case 'T': return '3';
    case 'L': return '4';
    case 'M': case 'N': return '5';
    case 'R': return '6';
    case 'H': case 'W': return 'h'; // does not separate equal codes
    default: return '0';            // vowels separate equal codes
    }
}

bool asciiLetter(QChar c)
{
    char16_t u = c.toUpper().unicode();
    return u >= 'A' && u <= 'Z';
}

QString soundex(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
    if (i >= s.size() || !asciiLetter(s[i])) return QStringLiteral("0000");
    QString out(s[i].toUpper());
    char last = soundexCode(s[i]);
    for (++i; i < s.size() && out.size() < 4 && asciiLetter(s[i]); ++i) {
        char c = soundexCode(s[i]);
        if (c == 'h') continue;
        if (c != '0' && c != last) out += QLatin1Char(c);
        last = c;
    }
    while (out.size() < 4) out += QLatin1Char('0');
    return out;
}

void soundexFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, soundex(argText(argv[0])));
}

// DIFFERENCE(a, b): how many of the four SOUNDEX characters agree (0 to 4)
void differenceFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    QString a = soundex(argText(argv[0])), b = soundex(argText(argv[1]));
    int same = 0;
    for (int k = 0; k < 4; ++k) same += a[k] == b[k] ? 1 : 0;
    sqlite3_result_int(ctx, same);
}

} // namespace

void registerNameFunctions(sqlite3* db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "tsql_quotename", 1, det, nullptr, quotenameFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_quotename", 2, det, nullptr, quotenameFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_parsename", 2, det, nullptr, parsenameFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_soundex", 1, det, nullptr, soundexFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_difference", 2, det, nullptr, differenceFunc, nullptr, nullptr);
}

} // namespace engine::functions
