#pragma once
// Doubles to text and back in the C locale: the server's number texts keep a decimal point
// whatever locale the process runs in (a desktop may set one with a decimal comma).

#include <string>

namespace engine::types {

// printf's "%.*e" (Conversion 'e') or "%.*g" (any other) of V with Precision digits.
std::string cFormatDouble(double v, char conversion, int precision);

// strtod of Text.
double cParseDouble(const char* text);

} // namespace engine::types
