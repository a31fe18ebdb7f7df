// Ranges of the integer types and of decimal/numeric with scale 0.
#include "engine/types/IntegerRange.h"

#include <limits>

namespace engine::types {

IntegerRange integerRange(const TypeSpec& t)
{
    switch (t.type) {
    case Type::TinyInt: return {0, 255};
    case Type::SmallInt: return {-32768, 32767};
    case Type::Int: return {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    case Type::Decimal:
    case Type::Numeric:
        if (t.precision > 0 && t.precision < 19) {
            long long top = 9;
            for (int i = 1; i < t.precision; ++i) top = top * 10 + 9;
            return {-top, top};
        }
        break;
    default: break;
    }
    return {std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max()};
}

std::optional<long long> nextInRange(long long current, long long increment, const IntegerRange& range, long long steps)
{
    long long step = 0, next = 0;
    if (__builtin_mul_overflow(increment, steps, &step) || __builtin_add_overflow(current, step, &next) || !range.contains(next))
        return std::nullopt;
    return next;
}

} // namespace engine::types
