// +, -, * and / of exact numbers, exact up to 38 digits (SQLite's own arithmetic is double).

#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/functions/ScaledDecimal.h"

namespace engine::functions {

namespace {

enum Op { Add, Sub, Mul, Div };

void overflow(sqlite3_context* ctx)
{
    resultError(ctx, Errors::make(8115, 16, QStringLiteral("The value is too large for type numeric.")));
}

void resultScaled(sqlite3_context* ctx, Int128 v, int scale)
{
    std::string t = scaledText(v, scale);
    sqlite3_result_text(ctx, t.data(), int(t.size()), SQLITE_TRANSIENT);
}

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

template <Op op> void arith(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    Int128 a, b;
    int sa, sb;
    if (!toScaled(argv[0], a, sa) || !toScaled(argv[1], b, sb))
        return resultError(ctx, Errors::convertError(QStringLiteral("varchar"), QStringLiteral("numeric")));
    switch (op) {
    case Add:
    case Sub: {
        int s = std::max(sa, sb);
        if (!scaleUp(a, s - sa) || !scaleUp(b, s - sb)) return overflow(ctx);
        Int128 r = op == Add ? a + b : a - b;
        if (r > kMax || r < -kMax) return overflow(ctx);
        return resultScaled(ctx, r, s);
    }
    case Mul: {
        // |a|, |b| < 10^38: the product may need more than 128 bits; check before multiplying
        Int128 ma = a < 0 ? -a : a, mb = b < 0 ? -b : b;
        if (mb != 0 && ma > kMax / mb) {
            // drop digits of the scale first, as the server does
            int s = sa + sb;
            while (mb != 0 && ma > kMax / mb && (sa > 0 || sb > 0)) {
                if (sa >= sb && sa > 0) { ma /= 10; a /= 10; --sa; } else { mb /= 10; b /= 10; --sb; }
            }
            if (mb != 0 && ma > kMax / mb) return overflow(ctx);
            Q_UNUSED(s);
        }
        return resultScaled(ctx, a * b, sa + sb);
    }
    case Div: {
        if (b == 0) return resultError(ctx, Errors::divideByZero());
        int target = argc > 2 ? sqlite3_value_int(argv[2]) : std::max(6, sa);
        // a / b at scale target: a * 10^(target + sb - sa + 1) / b, then round the extra digit
        int up = target + sb - sa + 1;
        Int128 n = a;
        if (up >= 0) {
            if (!scaleUp(n, up)) {
                // too many digits: fall back to floating point at the target scale
                double q = sqlite3_value_double(argv[0]) / sqlite3_value_double(argv[1]);
                auto d = types::Decimal::fromDouble(q);
                if (!d) return overflow(ctx);
                std::string t = d->rounded(std::min(target, 15)).text();
                return sqlite3_result_text(ctx, t.data(), int(t.size()), SQLITE_TRANSIENT);
            }
        } else {
            for (int i = 0; i < -up; ++i) n /= 10;
        }
        Int128 q = n / b;
        return resultScaled(ctx, roundTo(q, target + 1, target), target);
    }
    }
}

} // namespace

void registerDecimalArithmetic(sqlite3* db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "tsql_dadd", 2, det, nullptr, arith<Add>, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_dsub", 2, det, nullptr, arith<Sub>, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_dmul", 2, det, nullptr, arith<Mul>, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_ddiv", 3, det, nullptr, arith<Div>, nullptr, nullptr);
}

} // namespace engine::functions
