// SUM and AVG of exact numbers (decimal, numeric, money) kept exact: 128-bit scaled integers.

#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/functions/ScaledDecimal.h"
#include "engine/types/Decimal.h"

#include <cstring>
#include <string>

namespace engine::functions {

namespace {

// Lives in SQLite's aggregate context, which is only 8-byte aligned: the 128-bit sum is kept as
// bytes and copied in and out.
struct DecimalSum {
    bool any;
    bool overflow;
    int scale;
    long long count;
    unsigned char bytes[sizeof(Int128)];
    Int128 value() const
    {
        Int128 v;
        std::memcpy(&v, bytes, sizeof v);
        return v;
    }
    void setValue(Int128 v) { std::memcpy(bytes, &v, sizeof v); }
};

void step(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* s = static_cast<DecimalSum*>(sqlite3_aggregate_context(ctx, sizeof(DecimalSum)));
    if (!s || sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    Int128 v;
    int scale;
    if (!toScaled(argv[0], v, scale)) {
        resultError(ctx, Errors::convertError(QStringLiteral("varchar"), QStringLiteral("numeric")));
        return;
    }
    Int128 sum = s->value();
    if (scale > s->scale) {
        if (!scaleUp(sum, scale - s->scale)) s->overflow = true;
        s->scale = scale;
    } else if (scale < s->scale) {
        if (!scaleUp(v, s->scale - scale)) s->overflow = true;
    }
    sum += v;
    if (sum > kMax || sum < -kMax) s->overflow = true;
    s->setValue(sum);
    s->any = true;
    ++s->count;
}

bool finalCheck(sqlite3_context* ctx, DecimalSum* s)
{
    if (!s || !s->any) {
        sqlite3_result_null(ctx);
        return false;
    }
    if (s->overflow) {
        resultError(ctx, Errors::make(8115, QStringLiteral("The value is too large for type numeric.")));
        return false;
    }
    return true;
}

void sumFinal(sqlite3_context* ctx)
{
    auto* s = static_cast<DecimalSum*>(sqlite3_aggregate_context(ctx, 0));
    if (!finalCheck(ctx, s)) return;
    std::string t = scaledText(s->value(), s->scale);
    sqlite3_result_text(ctx, t.data(), int(t.size()), SQLITE_TRANSIENT);
}

// AVG keeps at least six decimals, rounded half away from zero.
void avgFinal(sqlite3_context* ctx)
{
    auto* s = static_cast<DecimalSum*>(sqlite3_aggregate_context(ctx, 0));
    if (!finalCheck(ctx, s)) return;
    int target = std::max(s->scale, 6);
    Int128 v = s->value();
    Int128 q;
    if (scaleUp(v, target - s->scale + 1)) {
        q = v / s->count;
        q = q >= 0 ? (q + 5) / 10 : (q - 5) / 10;
    } else {
        // too large to scale: the quotient at the sum's own scale
        target = s->scale;
        q = s->value() / s->count;
    }
    std::string t = scaledText(q, target);
    sqlite3_result_text(ctx, t.data(), int(t.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerDecimalAggregates(sqlite3* db)
{
    sqlite3_create_function(db, "tsql_dsum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, step, sumFinal);
    sqlite3_create_function(db, "tsql_davg", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, step, avgFinal);
}

} // namespace engine::functions
