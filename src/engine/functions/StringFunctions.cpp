#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"

namespace engine::functions {

namespace {

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

#define NULL_IN_NULL_OUT(argc, argv)            \
    if (anyNull(argc, argv)) {                  \
        sqlite3_result_null(ctx);               \
        return;                                 \
    }

void lenFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    QString s = argText(argv[0]);
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
    sqlite3_result_int64(ctx, n);
}

void dataLengthFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_INTEGER) return sqlite3_result_int(ctx, 4);
    if (t == SQLITE_FLOAT) return sqlite3_result_int(ctx, 8);
    if (t == SQLITE_BLOB) return sqlite3_result_int(ctx, sqlite3_value_bytes(argv[0]));
    sqlite3_result_int64(ctx, argText(argv[0]).size());
}

bool lengthArg(sqlite3_context* ctx, sqlite3_value* v, const char* fn, long long& out)
{
    out = sqlite3_value_int64(v);
    if (out < 0) {
        resultError(ctx, Errors::make(536, 16, QStringLiteral("Invalid length parameter passed to the %1 function.").arg(QLatin1String(fn))));
        return false;
    }
    return true;
}

void leftFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    long long n;
    if (!lengthArg(ctx, argv[1], "left", n)) return;
    resultText(ctx, argText(argv[0]).left(qsizetype(std::min<long long>(n, 1LL << 30))));
}

void rightFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    long long n;
    if (!lengthArg(ctx, argv[1], "right", n)) return;
    resultText(ctx, argText(argv[0]).right(qsizetype(std::min<long long>(n, 1LL << 30))));
}

void substringFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    long long start = sqlite3_value_int64(argv[1]);
    long long len;
    if (!lengthArg(ctx, argv[2], "substring", len)) return;
    long long end = start + len; // exclusive, 1-based
    if (start < 1) start = 1;
    if (sqlite3_value_type(argv[0]) == SQLITE_BLOB) {
        long long size = sqlite3_value_bytes(argv[0]);
        auto p = static_cast<const char*>(sqlite3_value_blob(argv[0]));
        long long a = std::min(start - 1, size), b = std::min(std::max(end - 1, a), size);
        sqlite3_result_blob(ctx, p + a, int(b - a), SQLITE_TRANSIENT);
        return;
    }
    QString s = argText(argv[0]);
    if (end <= start || start > s.size()) return resultText(ctx, QString());
    resultText(ctx, s.mid(qsizetype(start - 1), qsizetype(std::min<long long>(end - start, s.size()))));
}

void upperFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    resultText(ctx, argText(argv[0]).toUpper());
}

void lowerFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    resultText(ctx, argText(argv[0]).toLower());
}

void ltrimFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    QString s = argText(argv[0]);
    qsizetype i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
    resultText(ctx, s.mid(i));
}

void rtrimFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    QString s = argText(argv[0]);
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
    resultText(ctx, s.left(n));
}

void replaceFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    QString s = argText(argv[0]), f = argText(argv[1]), r = argText(argv[2]);
    if (f.isEmpty()) return resultText(ctx, s);
    resultText(ctx, s.replace(f, r, Qt::CaseInsensitive));
}

void charindexFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    QString f = argText(argv[0]), s = argText(argv[1]);
    long long start = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
    if (start < 1) start = 1;
    if (f.isEmpty()) return sqlite3_result_int(ctx, 0);
    if (start > s.size()) return sqlite3_result_int(ctx, 0);
    qsizetype at = s.indexOf(f, qsizetype(start - 1), Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

void patindexFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    QString p = argText(argv[0]), s = argText(argv[1]);
    for (qsizetype i = 0; i <= s.size(); ++i) {
        // the pattern is anchored with % on both sides as written; find the first start
        QString inner = p;
        if (inner.startsWith(QLatin1Char('%'))) inner.remove(0, 1);
        for (qsizetype j = i; j <= s.size(); ++j)
            if (likeMatch(s.mid(i, j - i), inner.endsWith(QLatin1Char('%')) ? inner.chopped(1) : inner, QChar()))
                return sqlite3_result_int64(ctx, i + 1);
    }
    sqlite3_result_int(ctx, 0);
}

void spaceFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    long long n = sqlite3_value_int64(argv[0]);
    if (n < 0) return sqlite3_result_null(ctx);
    resultText(ctx, QString(qsizetype(std::min<long long>(n, 8000)), QLatin1Char(' ')));
}

void replicateFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    long long n = sqlite3_value_int64(argv[1]);
    if (n < 0) return sqlite3_result_null(ctx);
    QString s = argText(argv[0]);
    if (s.size() * n > 8000) n = s.isEmpty() ? 0 : 8000 / s.size();
    resultText(ctx, s.repeated(qsizetype(n)));
}

void reverseFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    QString s = argText(argv[0]);
    std::reverse(s.begin(), s.end());
    resultText(ctx, s);
}

void asciiFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    QString s = argText(argv[0]);
    if (s.isEmpty()) return sqlite3_result_null(ctx);
    sqlite3_result_int(ctx, s[0].unicode());
}

void charFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    long long c = sqlite3_value_int64(argv[0]);
    if (c < 0 || c > 65535) return sqlite3_result_null(ctx);
    resultText(ctx, QString(QChar(char16_t(c))));
}

void strFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(argc, argv);
    double x = sqlite3_value_double(argv[0]);
    int len = argc > 1 ? sqlite3_value_int(argv[1]) : 10;
    int dec = argc > 2 ? sqlite3_value_int(argv[2]) : 0;
    if (len < 1 || len > 8000) return sqlite3_result_null(ctx);
    QString s = QString::number(x, 'f', std::clamp(dec, 0, 16));
    if (s.size() > len) {
        // drop decimals first, then give up with stars
        QString r = QString::number(x, 'f', 0);
        s = r.size() > len ? QString(len, QLatin1Char('*')) : QString::number(x, 'f', std::max(0, len - int(r.size()) - 1));
    }
    resultText(ctx, s.rightJustified(len, QLatin1Char(' ')));
}

} // namespace

void registerStringFunctions(sqlite3* db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    struct F { const char* name; int n; void (*fn)(sqlite3_context*, int, sqlite3_value**); };
    const F fs[] = {
        {"tsql_len", 1, lenFunc}, {"tsql_datalength", 1, dataLengthFunc},
        {"tsql_left", 2, leftFunc}, {"tsql_right", 2, rightFunc},
        {"tsql_substring", 3, substringFunc}, {"tsql_upper", 1, upperFunc}, {"tsql_lower", 1, lowerFunc},
        {"tsql_ltrim", 1, ltrimFunc}, {"tsql_rtrim", 1, rtrimFunc}, {"tsql_replace", 3, replaceFunc},
        {"tsql_charindex", 2, charindexFunc}, {"tsql_charindex", 3, charindexFunc},
        {"tsql_patindex", 2, patindexFunc},
        {"tsql_space", 1, spaceFunc}, {"tsql_replicate", 2, replicateFunc}, {"tsql_reverse", 1, reverseFunc},
        {"tsql_ascii", 1, asciiFunc}, {"tsql_unicode", 1, asciiFunc}, {"tsql_char", 1, charFunc},
        {"tsql_nchar", 1, charFunc},
        {"tsql_str", 1, strFunc}, {"tsql_str", 2, strFunc}, {"tsql_str", 3, strFunc},
    };
    for (const F& f : fs) sqlite3_create_function(db, f.name, f.n, det, nullptr, f.fn, nullptr, nullptr);
}

namespace {
bool matchSet(const QString& pat, qsizetype& p, QChar c, bool cs)
{
    // pat[p] is '['; returns whether c is in the set and moves p past ']'
    qsizetype i = p + 1;
    bool negate = false;
    if (i < pat.size() && pat[i] == QLatin1Char('^')) {
        negate = true;
        ++i;
    }
    bool found = false;
    QChar lc = cs ? c : c.toLower();
    bool first = true;
    while (i < pat.size() && (pat[i] != QLatin1Char(']') || first)) {
        first = false;
        QChar a = cs ? pat[i] : pat[i].toLower();
        if (i + 2 < pat.size() && pat[i + 1] == QLatin1Char('-') && pat[i + 2] != QLatin1Char(']')) {
            QChar b = cs ? pat[i + 2] : pat[i + 2].toLower();
            if (lc >= a && lc <= b) found = true;
            i += 3;
        } else {
            if (lc == a) found = true;
            ++i;
        }
    }
    p = i + 1;
    return found != negate;
}

bool likeAt(const QString& s, qsizetype si, const QString& pat, qsizetype pi, QChar esc, bool cs, int depth)
{
    if (depth > 10000) return false;
    while (pi < pat.size()) {
        QChar pc = pat[pi];
        if (!esc.isNull() && pc == esc && pi + 1 < pat.size()) {
            if (si >= s.size()) return false;
            QChar a = pat[pi + 1], b = s[si];
            if (cs ? a != b : a.toLower() != b.toLower()) return false;
            pi += 2;
            ++si;
            continue;
        }
        if (pc == QLatin1Char('%')) {
            while (pi < pat.size() && pat[pi] == QLatin1Char('%')) ++pi;
            if (pi == pat.size()) return true;
            for (qsizetype k = si; k <= s.size(); ++k)
                if (likeAt(s, k, pat, pi, esc, cs, depth + 1)) return true;
            return false;
        }
        if (si >= s.size()) return false;
        if (pc == QLatin1Char('_')) {
            ++pi;
            ++si;
            continue;
        }
        if (pc == QLatin1Char('[') && pat.indexOf(QLatin1Char(']'), pi + 1) > 0) {
            if (!matchSet(pat, pi, s[si], cs)) return false;
            ++si;
            continue;
        }
        if (cs ? pc != s[si] : pc.toLower() != s[si].toLower()) return false;
        ++pi;
        ++si;
    }
    // trailing blanks of the value do not matter
    while (si < s.size() && s[si] == QLatin1Char(' ')) ++si;
    return si == s.size();
}
} // namespace

bool likeMatch(const QString& value, const QString& pattern, QChar escape, bool cs)
{
    return likeAt(value, 0, pattern, 0, escape, cs, 0);
}

} // namespace engine::functions
