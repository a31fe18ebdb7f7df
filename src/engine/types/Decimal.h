#pragma once
// Exact decimal numbers kept as text ("-12.50"), for decimal, numeric, money and smallmoney.

#include <optional>
#include <string>
#include <string_view>

namespace engine::types {

class Decimal {
public:
    // "12", "-3.5", "+.25", "1e3" (exponent only for float texts); nullopt when not a number.
    static std::optional<Decimal> parse(std::string_view text, bool allowExponent = false);
    static Decimal fromInt(long long v);
    static std::optional<Decimal> fromDouble(double v);

    // Rounded (half away from zero) to scale digits; nullopt when the integer part needs more
    // than precision - scale digits.
    std::optional<Decimal> fitted(int precision, int scale) const;
    Decimal rounded(int scale) const;
    Decimal truncated(int scale) const;

    std::string text() const;          // with exactly scale() decimals
    double toDouble() const;
    std::optional<long long> toInt() const; // truncated towards zero; nullopt on overflow
    int scale() const { return scale_; }
    int integerDigits() const;
    bool isZero() const;
    bool negative() const { return negative_ && !isZero(); }

    static int compare(const Decimal& a, const Decimal& b);
    // Compares two stored texts numerically (the ordering of decimal columns).
    static int compareText(std::string_view a, std::string_view b);

private:
    bool negative_ = false;
    std::string digits_ = "0"; // all digits, integer part then scale_ fraction digits
    int scale_ = 0;
};

} // namespace engine::types
