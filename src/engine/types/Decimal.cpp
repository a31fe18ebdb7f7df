#include "engine/types/Decimal.h"

#include "engine/types/CNumberText.h"

#include <cmath>
#include <limits>

namespace engine::types {

namespace {
void stripLeadingZeros(std::string& d, int scale)
{
    size_t keep = scale + 1;
    size_t i = 0;
    while (d.size() - i > keep && d[i] == '0') ++i;
    d.erase(0, i);
}
} // namespace

std::optional<Decimal> Decimal::parse(std::string_view s, bool allowExponent)
{
    size_t i = 0, n = s.size();
    while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    while (n > i && (s[n - 1] == ' ' || s[n - 1] == '\t' || s[n - 1] == '\r' || s[n - 1] == '\n')) --n;
    Decimal d;
    if (i < n && (s[i] == '+' || s[i] == '-')) d.negative_ = s[i++] == '-';
    std::string intPart, frac;
    while (i < n && s[i] >= '0' && s[i] <= '9') intPart += s[i++];
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') frac += s[i++];
    }
    if (intPart.empty() && frac.empty()) return std::nullopt;
    int exp = 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        if (!allowExponent) return std::nullopt;
        ++i;
        bool eneg = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) eneg = s[i++] == '-';
        if (i >= n) return std::nullopt;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            exp = exp * 10 + (s[i++] - '0');
            if (exp > 400) return std::nullopt;
        }
        if (eneg) exp = -exp;
    }
    if (i != n) return std::nullopt;
    if (exp > 0) {
        size_t take = std::min<size_t>(exp, frac.size());
        intPart += frac.substr(0, take);
        frac.erase(0, take);
        intPart.append(exp - take, '0');
    } else if (exp < 0) {
        int e = -exp;
        if (int(intPart.size()) < e) intPart.insert(0, e - intPart.size(), '0');
        frac = intPart.substr(intPart.size() - e) + frac;
        intPart.erase(intPart.size() - e);
    }
    d.digits_ = (intPart.empty() ? std::string("0") : intPart) + frac;
    d.scale_ = int(frac.size());
    stripLeadingZeros(d.digits_, d.scale_);
    return d;
}

Decimal Decimal::fromInt(long long v)
{
    Decimal d;
    d.negative_ = v < 0;
    unsigned long long u = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    d.digits_ = std::to_string(u);
    return d;
}

std::optional<Decimal> Decimal::fromDouble(double v)
{
    if (!std::isfinite(v)) return std::nullopt;
    return parse(cFormatDouble(v, 'g', 15), true);
}

int Decimal::integerDigits() const
{
    int n = int(digits_.size()) - scale_;
    // a zero integer part counts no digits
    int i = 0;
    while (i < n && digits_[i] == '0') ++i;
    return n - i;
}

bool Decimal::isZero() const { return digits_.find_first_not_of('0') == std::string::npos; }

Decimal Decimal::truncated(int scale) const
{
    Decimal r = *this;
    if (scale >= scale_) {
        r.digits_.append(scale - scale_, '0');
    } else {
        r.digits_.erase(r.digits_.size() - (scale_ - scale));
    }
    r.scale_ = scale;
    return r;
}

Decimal Decimal::rounded(int scale) const
{
    if (scale >= scale_) return truncated(scale);
    char next = digits_[digits_.size() - (scale_ - scale)];
    Decimal r = truncated(scale);
    if (next >= '5') {
        int i = int(r.digits_.size()) - 1;
        while (i >= 0) {
            if (r.digits_[i] == '9') {
                r.digits_[i] = '0';
                --i;
            } else {
                ++r.digits_[i];
                break;
            }
        }
        if (i < 0) r.digits_.insert(r.digits_.begin(), '1');
    }
    return r;
}

std::optional<Decimal> Decimal::fitted(int precision, int scale) const
{
    Decimal r = rounded(scale);
    if (r.integerDigits() > precision - scale) return std::nullopt;
    stripLeadingZeros(r.digits_, r.scale_);
    return r;
}

std::string Decimal::text() const
{
    std::string out;
    if (negative()) out += '-';
    std::string d = digits_;
    if (int(d.size()) <= scale_) d.insert(0, scale_ + 1 - d.size(), '0');
    out += d.substr(0, d.size() - scale_);
    if (scale_ > 0) {
        out += '.';
        out += d.substr(d.size() - scale_);
    }
    return out;
}

double Decimal::toDouble() const { return cParseDouble(text().c_str()); }

std::optional<long long> Decimal::toInt() const
{
    std::string ip = digits_.substr(0, digits_.size() - scale_);
    unsigned long long v = 0;
    for (char c : ip) {
        if (v > (std::numeric_limits<unsigned long long>::max() - 9) / 10) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (negative()) {
        if (v > 9223372036854775808ULL) return std::nullopt;
        return static_cast<long long>(0ULL - v);
    }
    if (v > 9223372036854775807ULL) return std::nullopt;
    return static_cast<long long>(v);
}

int Decimal::compare(const Decimal& a, const Decimal& b)
{
    bool an = a.negative(), bn = b.negative();
    if (an != bn) return an ? -1 : 1;
    int s = std::max(a.scale_, b.scale_);
    std::string x = a.truncated(s).digits_, y = b.truncated(s).digits_;
    auto strip = [](std::string& v) {
        size_t i = v.find_first_not_of('0');
        v.erase(0, i == std::string::npos ? v.size() : i);
    };
    strip(x);
    strip(y);
    int c = x.size() != y.size() ? (x.size() < y.size() ? -1 : 1) : x.compare(y);
    c = c < 0 ? -1 : c > 0 ? 1 : 0;
    return an ? -c : c;
}

int Decimal::compareText(std::string_view a, std::string_view b)
{
    auto x = parse(a, true), y = parse(b, true);
    if (x && y) return compare(*x, *y);
    if (x) return -1; // numbers before anything else
    if (y) return 1;
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

} // namespace engine::types
