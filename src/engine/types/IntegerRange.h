#pragma once
// The whole numbers a column of an integer type, or of decimal/numeric with scale 0, can hold:
// the values its identity may take.

#include "engine/types/TypeInfo.h"

#include <optional>

namespace engine::types {

struct IntegerRange {
    long long low = 0;
    long long high = 0;
    bool contains(long long v) const { return v >= low && v <= high; }
};

// decimal and numeric of 19 digits or more are held to bigint's range.
IntegerRange integerRange(const TypeSpec& t);

// current + steps * increment: the identity value `steps` after `current`; nullopt when it would
// leave `range` (or long long).
std::optional<long long> nextInRange(long long current, long long increment, const IntegerRange& range, long long steps = 1);

} // namespace engine::types
