// SUM and AVG of exact numbers (decimal, numeric, money) kept exact: 128-bit scaled integers.

#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/types/Decimal.h"

#include <cstring>
#include <string>

namespace engine::functions {

namespace {

using Int128 = __int128;
const Int128 kMax = [] {
    Int128 v = 1;
    for (int i = 0; i < 38; ++i) v *= 10;
    return v - 1;
}();

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

bool scaleUp(Int128& v, int by)
{
    for (int i = 0; i < by; ++i) {
        if (v > kMax / 10 || v < -kMax / 10) return false;
        v *= 10;
    }
    return true;
}

// The argument as a scaled integer; false when it is not a number.
bool toScaled(sqlite3_value* v, Int128& out, int& scale)
{
    std::optional<types::Decimal> d;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: d = types::Decimal::fromInt(sqlite3_value_int64(v)); break;
    case SQLITE_FLOAT: d = types::Decimal::fromDouble(sqlite3_value_double(v)); break;
    default: {
        auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        if (p) d = types::Decimal::parse(std::string_view(p, size_t(sqlite3_value_bytes(v))), true);
    }
    }
    if (!d) return false;
    std::string t = d->text();
    scale = d->scale();
    bool neg = !t.empty() && t[0] == '-';
    Int128 r = 0;
    for (char c : t) {
        if (c < '0' || c > '9') continue;
        if (r > kMax / 10) return false;
        r = r * 10 + (c - '0');
    }
    out = neg ? -r : r;
    return true;
}

std::string scaledText(Int128 v, int scale)
{
    bool neg = v < 0;
    if (neg) v = -v;
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(v % 10)));
        v /= 10;
    } while (v > 0);
    while (int(digits.size()) <= scale) digits.insert(digits.begin(), '0');
    std::string out = neg ? "-" : "";
    out.append(digits, 0, digits.size() - size_t(scale));
    if (scale > 0) {
        out.push_back('.');
        out.append(digits, digits.size() - size_t(scale), std::string::npos);
    }
    return out;
}

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
        resultError(ctx, Errors::make(8115, 16, QStringLiteral("Arithmetic overflow error converting expression to data type numeric.")));
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
