#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/types/Decimal.h"

#include <cmath>

namespace engine::functions {

namespace {

// Numeric value of an argument: integers stay integers, decimal texts become doubles.
int numericType(sqlite3_value* v)
{
    int t = sqlite3_value_numeric_type(v);
    return t;
}

void divFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    int ta = numericType(argv[0]), tb = numericType(argv[1]);
    if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        long long a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
        if (b == 0) return resultError(ctx, Errors::divideByZero());
        if (b == -1) return sqlite3_result_int64(ctx, static_cast<long long>(0ULL - static_cast<unsigned long long>(a)));
        return sqlite3_result_int64(ctx, a / b);
    }
    double b = sqlite3_value_double(argv[1]);
    if (b == 0) return resultError(ctx, Errors::divideByZero());
    sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) / b);
}

void modFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    int ta = numericType(argv[0]), tb = numericType(argv[1]);
    if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        long long a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
        if (b == 0) return resultError(ctx, Errors::divideByZero());
        if (b == -1) return sqlite3_result_int64(ctx, 0);
        return sqlite3_result_int64(ctx, a % b);
    }
    double b = sqlite3_value_double(argv[1]);
    if (b == 0) return resultError(ctx, Errors::divideByZero());
    sqlite3_result_double(ctx, std::fmod(sqlite3_value_double(argv[0]), b));
}

void roundFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    int places = sqlite3_value_int(argv[1]);
    bool truncate = argc > 2 && sqlite3_value_int(argv[2]) != 0;
    int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_INTEGER) {
        long long v = sqlite3_value_int64(argv[0]);
        if (places >= 0) return sqlite3_result_int64(ctx, v);
        long long p = 1;
        for (int i = 0; i < -places && i < 18; ++i) p *= 10;
        long long q = v / p * p;
        long long rest = v - q;
        if (!truncate && std::llabs(rest) * 2 >= p) q += v < 0 ? -p : p;
        return sqlite3_result_int64(ctx, q);
    }
    if (t == SQLITE_TEXT) {
        auto p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        if (auto d = types::Decimal::parse(std::string_view(p, size_t(sqlite3_value_bytes(argv[0]))))) {
            int scale = d->scale();
            if (places >= 0) {
                types::Decimal r = truncate ? d->truncated(std::min(places, scale)) : d->rounded(std::min(places, scale));
                std::string s = r.truncated(scale).text();
                return sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
            }
        }
    }
    double v = sqlite3_value_double(argv[0]);
    double f = std::pow(10.0, places);
    double r = truncate ? std::trunc(v * f) / f : std::round(v * f) / f;
    sqlite3_result_double(ctx, r);
}

void isnumericFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) return sqlite3_result_int(ctx, 1);
    if (t != SQLITE_TEXT) return sqlite3_result_int(ctx, 0);
    auto p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    std::string s(p, size_t(sqlite3_value_bytes(argv[0])));
    if (!s.empty() && s[0] == '$') s.erase(0, 1);
    sqlite3_result_int(ctx, types::Decimal::parse(s, true) ? 1 : 0);
}

void signFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    double v = sqlite3_value_double(argv[0]);
    sqlite3_result_int(ctx, v > 0 ? 1 : v < 0 ? -1 : 0);
}

void unaryMath(sqlite3_context* ctx, sqlite3_value* v, double (*fn)(double))
{
    if (sqlite3_value_type(v) == SQLITE_NULL) return sqlite3_result_null(ctx);
    double r = fn(sqlite3_value_double(v));
    if (!std::isfinite(r))
        return resultError(ctx, Errors::make(3623, QStringLiteral("The argument is outside the domain of the function.")));
    sqlite3_result_double(ctx, r);
}

void floorFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (numericType(argv[0]) == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
    unaryMath(ctx, argv[0], [](double x) { return std::floor(x); });
}
void ceilingFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (numericType(argv[0]) == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
    unaryMath(ctx, argv[0], [](double x) { return std::ceil(x); });
}
void sqrtFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::sqrt(x); }); }
void expFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::exp(x); }); }
void logFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::log(x); }); }
void log10Func(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::log10(x); }); }

void sinFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::sin(x); }); }
void cosFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::cos(x); }); }
void tanFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::tan(x); }); }
void cotFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return 1.0 / std::tan(x); }); }
void asinFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::asin(x); }); }
void acosFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::acos(x); }); }
void atanFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return std::atan(x); }); }
void squareFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return x * x; }); }
void degreesFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return x * 180.0 / M_PI; }); }
void radiansFunc(sqlite3_context* ctx, int, sqlite3_value** argv) { unaryMath(ctx, argv[0], [](double x) { return x * M_PI / 180.0; }); }

void atn2Func(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    sqlite3_result_double(ctx, std::atan2(sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1])));
}

void powerFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    double r = std::pow(sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1]));
    if (std::isinf(r)) return resultError(ctx, Errors::overflow(QStringLiteral("float")));
    if (numericType(argv[0]) == SQLITE_INTEGER && std::isfinite(r) && std::fabs(r) < 9e18)
        return sqlite3_result_int64(ctx, static_cast<long long>(r));
    sqlite3_result_double(ctx, r);
}

void absFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL) return sqlite3_result_null(ctx);
    if (t == SQLITE_TEXT) {
        auto p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        std::string s(p, size_t(sqlite3_value_bytes(argv[0])));
        if (types::Decimal::parse(s)) {
            if (!s.empty() && s[0] == '-') s.erase(0, 1);
            return sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
        }
    }
    if (numericType(argv[0]) == SQLITE_INTEGER) {
        long long v = sqlite3_value_int64(argv[0]);
        if (v == std::numeric_limits<long long>::min()) return resultError(ctx, Errors::overflow(QStringLiteral("bigint")));
        return sqlite3_result_int64(ctx, v < 0 ? -v : v);
    }
    sqlite3_result_double(ctx, std::fabs(sqlite3_value_double(argv[0])));
}

// tsql_chkint(x, bits): integer arithmetic that left its type's range is error 8115
void checkIntFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL) return sqlite3_result_null(ctx);
    int bits = sqlite3_value_int(argv[1]);
    static const char* names[] = {"tinyint", "smallint", "int", "bigint"};
    int which = bits == 8 ? 0 : bits == 16 ? 1 : bits == 32 ? 2 : 3;
    if (t == SQLITE_FLOAT) // SQLite went to floating point: beyond bigint
        return resultError(ctx, Errors::overflow(QLatin1String(names[which])));
    long long v = sqlite3_value_int64(argv[0]);
    bool ok = bits == 8 ? (v >= 0 && v <= 255) : bits == 16 ? (v >= -32768 && v <= 32767)
            : bits == 32 ? (v >= -2147483648LL && v <= 2147483647LL) : true;
    if (!ok) return resultError(ctx, Errors::overflow(QLatin1String(names[which])));
    sqlite3_result_int64(ctx, v);
}

} // namespace

void registerMathFunctions(sqlite3* db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    struct F { const char* name; int n; void (*fn)(sqlite3_context*, int, sqlite3_value**); };
    const F fs[] = {
        {"tsql_div", 2, divFunc}, {"tsql_mod", 2, modFunc}, {"tsql_round", 2, roundFunc}, {"tsql_round", 3, roundFunc},
        {"tsql_isnumeric", 1, isnumericFunc}, {"tsql_sign", 1, signFunc}, {"tsql_floor", 1, floorFunc},
        {"tsql_ceiling", 1, ceilingFunc}, {"tsql_sqrt", 1, sqrtFunc}, {"tsql_exp", 1, expFunc},
        {"tsql_log", 1, logFunc}, {"tsql_log10", 1, log10Func}, {"tsql_power", 2, powerFunc}, {"tsql_abs", 1, absFunc}, {"tsql_chkint", 2, checkIntFunc},
        {"tsql_sin", 1, sinFunc}, {"tsql_cos", 1, cosFunc}, {"tsql_tan", 1, tanFunc}, {"tsql_cot", 1, cotFunc},
        {"tsql_asin", 1, asinFunc}, {"tsql_acos", 1, acosFunc}, {"tsql_atan", 1, atanFunc}, {"tsql_atn2", 2, atn2Func},
        {"tsql_square", 1, squareFunc}, {"tsql_degrees", 1, degreesFunc}, {"tsql_radians", 1, radiansFunc},
    };
    for (const F& f : fs) sqlite3_create_function(db, f.name, f.n, det, nullptr, f.fn, nullptr, nullptr);
}

} // namespace engine::functions
