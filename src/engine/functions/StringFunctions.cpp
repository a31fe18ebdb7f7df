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
        resultError(ctx, Errors::make(536, QStringLiteral("Function %1 was given a length that is not valid.").arg(QLatin1String(fn))));
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
    // the first position where the pattern, without its leading %, matches a prefix of the rest
    bool floating = p.startsWith(QLatin1Char('%'));
    QString inner = floating ? p.mid(1) : p;
    if (!inner.endsWith(QLatin1Char('%'))) inner += QLatin1Char('%');
    qsizetype last = floating ? s.size() : 0;
    for (qsizetype i = 0; i <= last; ++i)
        if (likeMatch(s.mid(i), inner, QChar())) return sqlite3_result_int64(ctx, i + 1);
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

// STUFF(s, start, length, insert): NULL when start is outside s or length is negative
void stuffFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    NULL_IN_NULL_OUT(3, argv);
    long long start = sqlite3_value_int64(argv[1]), len = sqlite3_value_int64(argv[2]);
    bool insertNull = sqlite3_value_type(argv[3]) == SQLITE_NULL;
    if (sqlite3_value_type(argv[0]) == SQLITE_BLOB) {
        auto p = static_cast<const char*>(sqlite3_value_blob(argv[0]));
        QByteArray b(p ? p : "", sqlite3_value_bytes(argv[0]));
        if (start < 1 || start > b.size() || len < 0) return sqlite3_result_null(ctx);
        QByteArray ins;
        if (!insertNull) {
            auto q = static_cast<const char*>(sqlite3_value_blob(argv[3]));
            ins = QByteArray(q ? q : "", sqlite3_value_bytes(argv[3]));
        }
        b.replace(qsizetype(start - 1), qsizetype(std::min<long long>(len, b.size() - start + 1)), ins);
        sqlite3_result_blob(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    QString s = argText(argv[0]);
    if (start < 1 || start > s.size() || len < 0) return sqlite3_result_null(ctx);
    s.replace(qsizetype(start - 1), qsizetype(std::min<long long>(len, s.size() - start + 1)), insertNull ? QString() : argText(argv[3]));
    resultText(ctx, s);
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
        {"tsql_stuff", 4, stuffFunc},
    };
    for (const F& f : fs) sqlite3_create_function(db, f.name, f.n, det, nullptr, f.fn, nullptr, nullptr);
}

namespace {

// One element of a LIKE pattern.
struct LikeToken {
    enum Kind { Any, One, Set, Literal } kind = Literal;
    QChar ch;
    bool negate = false;
    std::vector<std::pair<QChar, QChar>> ranges;
};

std::vector<LikeToken> tokenize(const QString& pat, QChar esc, bool cs)
{
    std::vector<LikeToken> out;
    auto fold = [cs](QChar c) { return cs ? c : c.toLower(); };
    for (qsizetype i = 0; i < pat.size(); ++i) {
        QChar c = pat[i];
        LikeToken t;
        if (!esc.isNull() && c == esc && i + 1 < pat.size()) {
            t.ch = fold(pat[++i]);
        } else if (c == QLatin1Char('%')) {
            if (!out.empty() && out.back().kind == LikeToken::Any) continue;
            t.kind = LikeToken::Any;
        } else if (c == QLatin1Char('_')) {
            t.kind = LikeToken::One;
        } else if (c == QLatin1Char('[') && pat.indexOf(QLatin1Char(']'), i + 2) > 0) {
            qsizetype j = i + 1;
            t.kind = LikeToken::Set;
            if (pat[j] == QLatin1Char('^')) {
                t.negate = true;
                ++j;
            }
            bool first = true;
            while (j < pat.size() && (pat[j] != QLatin1Char(']') || first)) {
                first = false;
                if (j + 2 < pat.size() && pat[j + 1] == QLatin1Char('-') && pat[j + 2] != QLatin1Char(']')) {
                    t.ranges.push_back({fold(pat[j]), fold(pat[j + 2])});
                    j += 3;
                } else {
                    t.ranges.push_back({fold(pat[j]), fold(pat[j])});
                    ++j;
                }
            }
            i = j;
        } else {
            t.ch = fold(c);
        }
        out.push_back(std::move(t));
    }
    return out;
}

bool tokenMatches(const LikeToken& t, QChar c)
{
    switch (t.kind) {
    case LikeToken::One: return true;
    case LikeToken::Literal: return t.ch == c;
    case LikeToken::Set: {
        bool in = false;
        for (const auto& [lo, hi] : t.ranges) in |= c >= lo && c <= hi;
        return in != t.negate;
    }
    default: return false;
    }
}

// Greedy matching with one backtrack point: linear in practice, never exponential.
bool matchTokens(const QString& value, const std::vector<LikeToken>& tok, bool cs)
{
    qsizetype s = 0, n = value.size();
    size_t p = 0, m = tok.size();
    long starP = -1;
    qsizetype starS = 0;
    while (s < n) {
        QChar c = cs ? value[s] : value[s].toLower();
        if (p < m && tok[p].kind != LikeToken::Any && tokenMatches(tok[p], c)) {
            ++s;
            ++p;
        } else if (p < m && tok[p].kind == LikeToken::Any) {
            starP = long(p++);
            starS = s;
        } else if (starP >= 0) {
            p = size_t(starP) + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < m && tok[p].kind == LikeToken::Any) ++p;
    return p == m;
}

} // namespace

bool likeMatch(const QString& value, const QString& pattern, QChar escape, bool cs)
{
    std::vector<LikeToken> tok = tokenize(pattern, escape, cs);
    if (matchTokens(value, tok, cs)) return true;
    // trailing blanks of the value do not matter
    qsizetype n = value.size();
    while (n > 0 && value[n - 1] == QLatin1Char(' ')) --n;
    return n != value.size() && matchTokens(value.left(n), tok, cs);
}

} // namespace engine::functions
