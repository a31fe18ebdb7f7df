#pragma once
// Exact numbers as 128-bit integers with a scale, for the SQLite functions that add, multiply
// and sum decimal, numeric and money values.

#include "engine/Engine.h"
#include "engine/types/Decimal.h"

#include <sqlite3.h>

#include <cstring>
#include <string>

namespace engine::functions {

using Int128 = __int128;
inline const Int128 kMax = [] {
    Int128 v = 1;
    for (int i = 0; i < 38; ++i) v *= 10;
    return v - 1;
}();

inline bool scaleUp(Int128& v, int by)
{
    for (int i = 0; i < by; ++i) {
        if (v > kMax / 10 || v < -kMax / 10) return false;
        v *= 10;
    }
    return true;
}

// A decimal as a scaled integer; false when it has more than 38 digits.
inline bool decimalToScaled(const types::Decimal& d, Int128& out, int& scale)
{
    std::string t = d.text();
    scale = d.scale();
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

// The argument as a scaled integer; false when it is not a number.
inline bool toScaled(sqlite3_value* v, Int128& out, int& scale)
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
    return decimalToScaled(*d, out, scale);
}

// One exact step: a (at scale sa) op b, op one of + - * /; a division rounds to scale `target`.
// The result replaces a and sa; false with `error` set when the step fails.
bool scaledStep(char op, Int128& a, int& sa, Int128 b, int sb, int target, SqlError* error);

inline std::string scaledText(Int128 v, int scale)
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


} // namespace engine::functions
