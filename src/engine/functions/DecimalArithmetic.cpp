// +, -, * and / of exact numbers, exact up to 38 digits (SQLite's own arithmetic is double).

#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/functions/ScaledDecimal.h"

namespace engine::functions {

namespace {

enum Op { Add, Sub, Mul, Div };

SqlError overflowError() { return Errors::make(8115, QStringLiteral("The value is too large for type numeric.")); }

// Rounds v (at scale `from`) to scale `to` <= from, half away from zero.
Int128 roundTo(Int128 v, int from, int to)
{
    for (int i = 0; i < from - to - 1; ++i) v /= 10;
    if (from > to) {
        Int128 last = v % 10;
        v /= 10;
        if (last >= 5) ++v;
        else if (last <= -5) --v;
    }
    return v;
}

double toDouble(Int128 v, int scale)
{
    long double d = static_cast<long double>(v);
    for (int i = 0; i < scale; ++i) d /= 10;
    return double(d);
}

template <Op op> void arith(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    Int128 a, b;
    int sa, sb;
    if (!toScaled(argv[0], a, sa) || !toScaled(argv[1], b, sb))
        return resultError(ctx, Errors::convertError(QStringLiteral("varchar"), QStringLiteral("numeric")));
    static constexpr char codes[] = {'+', '-', '*', '/'};
    int target = op == Div && argc > 2 ? sqlite3_value_int(argv[2]) : std::max(6, sa);
    SqlError error(0, 0, QString());
    if (!scaledStep(codes[op], a, sa, b, sb, target, &error)) return resultError(ctx, error);
    std::string t = scaledText(a, sa);
    sqlite3_result_text(ctx, t.data(), int(t.size()), SQLITE_TRANSIENT);
}

} // namespace

bool scaledStep(char op, Int128& a, int& sa, Int128 b, int sb, int target, SqlError* error)
{
    auto fail = [&](SqlError e) {
        *error = std::move(e);
        return false;
    };
    switch (op) {
    case '+':
    case '-': {
        int s = std::max(sa, sb);
        if (!scaleUp(a, s - sa) || !scaleUp(b, s - sb)) return fail(overflowError());
        Int128 r = op == '+' ? a + b : a - b;
        if (r > kMax || r < -kMax) return fail(overflowError());
        a = r;
        sa = s;
        return true;
    }
    case '*': {
        // |a|, |b| < 10^38: the product may need more than 128 bits; check before multiplying
        Int128 ma = a < 0 ? -a : a, mb = b < 0 ? -b : b;
        // drop digits of the scale first, as the server does
        while (mb != 0 && ma > kMax / mb && (sa > 0 || sb > 0)) {
            if (sa >= sb && sa > 0) {
                ma /= 10;
                a /= 10;
                --sa;
            } else {
                mb /= 10;
                b /= 10;
                --sb;
            }
        }
        if (mb != 0 && ma > kMax / mb) return fail(overflowError());
        a *= b;
        sa += sb;
        return true;
    }
    case '/': {
        if (b == 0) return fail(Errors::divideByZero());
        // a / b at scale target: a * 10^(target + sb - sa + 1) / b, then round the extra digit
        int up = target + sb - sa + 1;
        Int128 n = a;
        if (up >= 0) {
            if (!scaleUp(n, up)) {
                // too many digits: fall back to floating point at the target scale
                auto d = types::Decimal::fromDouble(toDouble(a, sa) / toDouble(b, sb));
                if (!d || !decimalToScaled(d->rounded(std::min(target, 15)), a, sa)) return fail(overflowError());
                return true;
            }
        } else {
            for (int i = 0; i < -up; ++i) n /= 10;
        }
        a = roundTo(n / b, target + 1, target);
        sa = target;
        return true;
    }
    default: return fail(Errors::internal(QStringLiteral("unknown arithmetic step")));
    }
}

void registerDecimalArithmetic(sqlite3* db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "tsql_dadd", 2, det, nullptr, arith<Add>, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_dsub", 2, det, nullptr, arith<Sub>, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_dmul", 2, det, nullptr, arith<Mul>, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_ddiv", 3, det, nullptr, arith<Div>, nullptr, nullptr);
}

} // namespace engine::functions
