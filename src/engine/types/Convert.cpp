#include "engine/types/Convert.h"

#include "engine/Errors.h"
#include "engine/types/CNumberText.h"
#include "engine/types/DateTimeValue.h"
#include "engine/types/Decimal.h"

#include <QUuid>

#include <cmath>
#include <cstdio>
#include <limits>

namespace engine::types {

namespace {

QString tname(const TypeSpec& t) { return QString::fromLatin1(t.info().name); }

bool intRange(const TypeSpec& to, long long v)
{
    switch (to.type) {
    case Type::Int: return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
    case Type::SmallInt: return v >= -32768 && v <= 32767;
    case Type::TinyInt: return v >= 0 && v <= 255;
    default: return true;
    }
}

Value toInteger(long long v, const TypeSpec& to)
{
    if (to.type == Type::Bit) return Value::ofInt(v != 0 ? 1 : 0);
    if (!intRange(to, v)) throw Errors::overflow(tname(to));
    return Value::ofInt(v);
}

Value fromDouble(double d, const TypeSpec& to)
{
    if (!std::isfinite(d)) throw Errors::overflow(tname(to));
    if (to.type == Type::Bit) return Value::ofInt(d != 0 ? 1 : 0);
    double t = std::trunc(d);
    if (t < -9.2233720368547758e18 || t >= 9.2233720368547758e18) throw Errors::overflow(tname(to));
    return toInteger(static_cast<long long>(t), to);
}

Value exactValue(const Decimal& d, const TypeSpec& to)
{
    int p = to.hasPrecision() ? to.precision : to.type == Type::Money ? 19 : 10;
    int s = to.hasPrecision() ? to.scale : 4;
    auto f = d.fitted(p, s);
    if (!f) throw Errors::overflow(tname(to));
    if (to.type == Type::SmallMoney || to.type == Type::Money) {
        static const Decimal small[] = {*Decimal::parse("-214748.3648"), *Decimal::parse("214748.3647")};
        static const Decimal large[] = {*Decimal::parse("-922337203685477.5808"),
                                        *Decimal::parse("922337203685477.5807")};
        const Decimal* range = to.type == Type::SmallMoney ? small : large;
        if (Decimal::compare(*f, range[0]) < 0 || Decimal::compare(*f, range[1]) > 0)
            throw Errors::overflow(tname(to));
    }
    return Value::ofText(f->text());
}

// A double as the target approximate type holds it: real refuses what a float cannot hold.
Value approxValue(double x, const TypeSpec& to)
{
    if (to.type != Type::Real) return Value::ofReal(x);
    if (std::isfinite(x) && std::fabs(x) > double(std::numeric_limits<float>::max()))
        throw Errors::overflow(tname(to));
    return Value::ofReal(double(float(x)));
}

int exactScaleOf(const TypeSpec& t) { return t.hasPrecision() ? t.scale : 4; }

Value dateValue(const DateTimeValue& v, const TypeSpec& to, bool fromString)
{
    if (to.type == Type::SmallDateTime) {
        DateTimeValue r = v.roundedSmall();
        if (!r.inSmallRange())
            throw Errors::make(fromString ? 296 : 8115, fromString
                ? QStringLiteral("The character string gives a date outside the smalldatetime range.")
                : QStringLiteral("The value is too large for type smalldatetime."));
        return Value::ofText(r.storedUtf8());
    }
    DateTimeValue r = v.roundedDateTime();
    if (!r.inDateTimeRange())
        throw Errors::make(fromString ? 242 : 8115, fromString
            ? QStringLiteral("The character string gives a date outside the datetime range.")
            : QStringLiteral("The value is too large for type datetime."));
    return Value::ofText(r.storedUtf8());
}

// Fits text into a character type of the given length.
Value stringValue(std::string s, const TypeSpec& to, ConvertMode mode, bool numericSource)
{
    if (to.type == Type::Text || to.type == Type::NText) return Value::ofText(std::move(s));
    int len = to.type == Type::SysName ? 128 : to.length;
    int n = utf8Length(s);
    if (n > len) {
        if (numericSource) {
            throw Errors::make(8115, QStringLiteral("The numeric value is too large for type %1.").arg(tname(to)));
        }
        size_t cut = utf8Prefix(s, len);
        if (mode == ConvertMode::Assignment && s.find_first_not_of(' ', cut) != std::string::npos)
            throw Errors::truncation();
        s.resize(cut);
        n = len;
    }
    if ((to.type == Type::Char || to.type == Type::NChar) && n < len) s.append(len - n, ' ');
    return Value::ofText(std::move(s));
}

Value binaryValue(std::string b, const TypeSpec& to, ConvertMode mode)
{
    if (to.type == Type::Image || to.type == Type::Timestamp) return Value::ofBlob(std::move(b));
    if (int(b.size()) > to.length) {
        if (mode == ConvertMode::Assignment) throw Errors::truncation();
        b.resize(to.length);
    }
    if (to.type == Type::Binary && int(b.size()) < to.length) b.append(to.length - b.size(), '\0');
    return Value::ofBlob(std::move(b));
}

std::string intBytes(long long v, int bytes)
{
    std::string b(bytes, '\0');
    for (int k = bytes - 1; k >= 0; --k) {
        b[k] = char(v & 0xFF);
        v >>= 8;
    }
    return b;
}

QString quoted(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

std::string trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

[[noreturn]] void notAllowed(const TypeSpec& from, const TypeSpec& to)
{
    throw Errors::make(529, QStringLiteral("Type %1 cannot be converted to %2.").arg(tname(from), tname(to)));
}

Value fromString(const Value& v, const TypeSpec& from, const TypeSpec& to, ConvertMode mode, int style)
{
    const std::string& s = v.s;
    switch (to.category()) {
    case Category::Integer: {
        std::string t = trim(s);
        if (t.empty()) return Value::ofInt(0);
        size_t i = 0;
        bool neg = false;
        if (t[0] == '+' || t[0] == '-') { neg = t[0] == '-'; i = 1; }
        if (i >= t.size()) throw Errors::conversionFailed(tname(from), quoted(s), tname(to));
        unsigned long long u = 0;
        bool big = false;
        for (; i < t.size(); ++i) {
            char c = t[i];
            if (c < '0' || c > '9') throw Errors::conversionFailed(tname(from), quoted(s), tname(to));
            if (u > 922337203685477580ULL) big = true;
            else u = u * 10 + (c - '0');
        }
        long long val = 0;
        if (big || u > 9223372036854775807ULL + (neg ? 1 : 0)) {
            throw Errors::make(248, QStringLiteral("The %1 value '%2' is out of range for type %3.")
                                          .arg(tname(from), quoted(s), tname(to)));
        }
        val = neg ? static_cast<long long>(0ULL - u) : static_cast<long long>(u);
        if (to.type == Type::Bit) return Value::ofInt(val != 0);
        if (!intRange(to, val))
            throw Errors::make(248, QStringLiteral("The %1 value '%2' is out of range for type %3.")
                                          .arg(tname(from), quoted(s), tname(to)));
        return Value::ofInt(val);
    }
    case Category::Exact: {
        std::string t = trim(s);
        bool money = to.type == Type::Money || to.type == Type::SmallMoney;
        if (money) {
            std::string u;
            for (size_t k = 0; k < t.size(); ++k)
                if (!(t[k] == ',' || (k == 0 && t[k] == '$'))) u += t[k];
            t = u;
            if (t.empty()) t.assign(1, '0');
        }
        auto d = Decimal::parse(t);
        if (!d) throw Errors::convertError(tname(from), money ? tname(to) : QStringLiteral("numeric"));
        return exactValue(*d, to);
    }
    case Category::Approx: {
        std::string t = trim(s);
        if (t.empty()) return Value::ofReal(0);
        auto d = Decimal::parse(t, true);
        if (!d) throw Errors::convertError(tname(from), tname(to));
        double x = cParseDouble(t.c_str());
        if (!std::isfinite(x)) throw Errors::overflow(tname(to));
        return approxValue(x, to);
    }
    case Category::DateTime: {
        // a numeric style fixes the order of day, month and year for this conversion
        const char* styleOrder = nullptr;
        switch (style % 100) {
        case 1: case 10: styleOrder = "mdy"; break;
        case 2: case 11: styleOrder = "ymd"; break;
        case 3: case 4: case 5: styleOrder = "dmy"; break;
        default: break;
        }
        const std::string saved = dateOrder();
        if (style > 0 && styleOrder) setDateOrder(styleOrder);
        auto dt = DateTimeValue::parse(QString::fromUtf8(s.data(), qsizetype(s.size())));
        setDateOrder(saved.c_str());
        if (!dt) throw Errors::dateConversion();
        return dateValue(*dt, to, true);
    }
    case Category::String: return stringValue(s, to, mode, false);
    case Category::Binary:
        if (mode == ConvertMode::Assignment && to.type != Type::Timestamp)
            throw Errors::make(257, QStringLiteral("Type %1 does not convert to %2 implicitly; use CONVERT.").arg(tname(from), tname(to)));
        return binaryValue(s, to, mode);
    case Category::Guid: {
        std::string t = trim(s);
        QUuid u = QUuid::fromString(QString::fromUtf8(t.data(), qsizetype(t.size())));
        if (u.isNull() && t != "00000000-0000-0000-0000-000000000000" && t != "{00000000-0000-0000-0000-000000000000}")
            throw Errors::make(8169, QStringLiteral("The character string is not a valid uniqueidentifier."));
        return Value::ofText(u.toString(QUuid::WithoutBraces).toUpper().toStdString());
    }
    case Category::Variant: return v;
    }
    return v;
}

} // namespace

std::string floatText(double d, int style)
{
    std::string s = style == 1 ? cFormatDouble(d, 'e', 7)
                    : style == 2 ? cFormatDouble(d, 'e', 15)
                                 : cFormatDouble(d, 'g', 6);
    // exponent with three digits as the server writes it: 1.23457e+006
    size_t e = s.find('e');
    if (e != std::string::npos) {
        std::string mant = s.substr(0, e), ex = s.substr(e + 2);
        char sign = s[e + 1];
        while (ex.size() < 3) ex.insert(ex.begin(), '0');
        s = mant;
        s.push_back('e');
        s.push_back(sign);
        s.append(ex);
    }
    return s;
}

TypeSpec runtimeType(const Value& v)
{
    switch (v.kind) {
    case Value::Int: return makeSpec(Type::BigInt, {}, {}, {});
    case Value::Real: return makeSpec(Type::Float, {}, {}, {});
    case Value::Blob: return makeSpec(Type::VarBinary, 8000, {}, {});
    default: return makeSpec(Type::VarChar, 8000, {}, {});
    }
}

bool implicitAllowed(const TypeSpec& from, const TypeSpec& to)
{
    auto f = from.category(), t = to.category();
    if (f == Category::Variant || t == Category::Variant) return true;
    if (f == Category::DateTime && t == Category::Binary) return false;
    if (f == Category::Binary && (t == Category::Approx || t == Category::DateTime)) return false;
    if (f == Category::Guid && (t == Category::Integer || t == Category::Exact || t == Category::Approx || t == Category::DateTime)) return false;
    if ((f == Category::Integer || f == Category::Exact || f == Category::Approx) && t == Category::Guid) return false;
    return true;
}

Value convert(const Value& v, const TypeSpec& fromSpec, const TypeSpec& to, ConvertMode mode, int style)
{
    if (v.isNull()) return v;
    TypeSpec from = fromSpec.category() == Category::Variant ? runtimeType(v) : fromSpec;
    // a decimal or money value SQLite holds as a number (a literal of 15 digits or fewer) has the
    // digits of its type's scale, not those of a float
    if (from.category() == Category::Exact && (v.kind == Value::Real || v.kind == Value::Int)) {
        auto d = v.kind == Value::Int ? std::optional<Decimal>(Decimal::fromInt(v.i)) : Decimal::fromDouble(v.d);
        if (d) return convert(Value::ofText(d->rounded(exactScaleOf(from)).text()), from, to, mode, style);
    }
    // A stored value whose storage does not match its declared type (e.g. an expression result)
    // is taken by its storage.
    if (from.category() == Category::Integer && v.kind != Value::Int) from = runtimeType(v);
    if (from.category() == Category::Approx && v.kind != Value::Real) from = runtimeType(v);
    if ((from.category() == Category::Exact || from.category() == Category::DateTime) && v.kind != Value::Text)
        from = runtimeType(v);
    if (from.category() == Category::Binary && v.kind != Value::Blob) from = runtimeType(v);
    if (from.category() == Category::String && v.kind != Value::Text) from = runtimeType(v);

    switch (from.category()) {
    case Category::Integer: {
        long long x = v.i;
        switch (to.category()) {
        case Category::Integer: return toInteger(x, to);
        case Category::Exact: return exactValue(Decimal::fromInt(x), to);
        case Category::Approx: return approxValue(double(x), to);
        case Category::DateTime: {
            auto d = DateTimeValue::fromDays(double(x));
            if (!d) throw Errors::overflow(tname(to));
            return dateValue(*d, to, false);
        }
        case Category::String: {
            std::string t = std::to_string(x);
            // an int, smallint or tinyint too long for char or varchar reads "*"; nchar and nvarchar refuse it
            bool small = from.type == Type::Int || from.type == Type::SmallInt || from.type == Type::TinyInt;
            bool star = small && (to.type == Type::Char || to.type == Type::VarChar) && int(t.size()) > to.length;
            return stringValue(star ? std::string(1, '*') : std::move(t), to, mode, true);
        }
        case Category::Binary: return binaryValue(intBytes(x, from.info().storage ? from.info().storage : 8), to, mode);
        case Category::Guid: notAllowed(from, to);
        case Category::Variant: return v;
        }
        break;
    }
    case Category::Exact: {
        auto d = Decimal::parse(v.s, true); // files of earlier builds may hold "1.2e-09"
        if (!d) throw Errors::convertError(tname(from), tname(to));
        bool money = from.type == Type::Money || from.type == Type::SmallMoney;
        switch (to.category()) {
        case Category::Integer: {
            Decimal r = money ? d->rounded(0) : d->truncated(0);
            auto x = r.toInt();
            if (!x) throw Errors::overflow(tname(to));
            return toInteger(*x, to);
        }
        case Category::Exact: return exactValue(*d, to);
        case Category::Approx: return approxValue(d->toDouble(), to);
        case Category::DateTime: {
            auto dt = DateTimeValue::fromDays(d->toDouble());
            if (!dt) throw Errors::overflow(tname(to));
            return dateValue(*dt, to, false);
        }
        case Category::String: {
            std::string t;
            if (money) {
                Decimal r = style == 2 ? d->rounded(4) : d->rounded(2);
                t = r.text();
                if (style == 1) { // thousands separators
                    size_t dot = t.find('.');
                    size_t start = t[0] == '-' ? 1 : 0;
                    for (long k = long(dot) - 3; k > long(start); k -= 3) t.insert(t.begin() + k, ',');
                }
            } else {
                t = d->truncated(exactScaleOf(from)).text();
            }
            return stringValue(t, to, mode, true);
        }
        case Category::Binary: return binaryValue(v.s, to, mode);
        case Category::Guid: notAllowed(from, to);
        case Category::Variant: return v;
        }
        break;
    }
    case Category::Approx: {
        double x = v.d;
        switch (to.category()) {
        case Category::Integer: return fromDouble(x, to);
        case Category::Exact: {
            auto d = Decimal::fromDouble(x);
            if (!d) throw Errors::overflow(tname(to));
            return exactValue(*d, to);
        }
        case Category::Approx: return approxValue(x, to);
        case Category::DateTime: {
            auto dt = DateTimeValue::fromDays(x);
            if (!dt) throw Errors::overflow(tname(to));
            return dateValue(*dt, to, false);
        }
        case Category::String: return stringValue(floatText(x, style < 0 ? 0 : style), to, mode, true);
        case Category::Binary: notAllowed(from, to);
        case Category::Guid: notAllowed(from, to);
        case Category::Variant: return v;
        }
        break;
    }
    case Category::DateTime: {
        auto dt = DateTimeValue::fromStored(v.s.data(), int(v.s.size()));
        if (!dt) throw Errors::dateConversion();
        switch (to.category()) {
        case Category::Integer: return fromDouble(std::round(dt->toDays()), to);
        case Category::Exact: {
            auto d = Decimal::fromDouble(dt->toDays());
            if (!d) throw Errors::overflow(tname(to));
            return exactValue(*d, to);
        }
        case Category::Approx: return Value::ofReal(dt->toDays());
        case Category::DateTime: return dateValue(*dt, to, false);
        case Category::String: {
            int st = style < 0 ? 0 : style;
            auto text = dt->format(st, from.type == Type::SmallDateTime);
            if (!text)
                throw Errors::make(281, QStringLiteral("Style %1 is not valid for converting a datetime to a character string.").arg(st));
            return stringValue(text->toStdString(), to, ConvertMode::Explicit, false);
        }
        case Category::Binary: {
            qint64 ms = dt->toMsecs();
            return binaryValue(intBytes(ms, 8), to, mode);
        }
        case Category::Guid: notAllowed(from, to);
        case Category::Variant: return v;
        }
        break;
    }
    case Category::String:
        return fromString(v, from, to, mode, style);
    case Category::Binary: {
        switch (to.category()) {
        case Category::Integer: {
            long long x = 0;
            int n = std::min<int>(int(v.s.size()), 8);
            for (int k = int(v.s.size()) - n; k < int(v.s.size()); ++k) x = (x << 8) | static_cast<unsigned char>(v.s[k]);
            if (to.type == Type::Int) x = static_cast<int>(static_cast<unsigned int>(x & 0xFFFFFFFF));
            else if (to.type == Type::SmallInt) x = static_cast<short>(x & 0xFFFF);
            else if (to.type == Type::TinyInt) x &= 0xFF;
            return toInteger(x, to);
        }
        case Category::String: return stringValue(v.s, to, mode, false);
        case Category::Binary: return binaryValue(v.s, to, mode);
        case Category::Guid: {
            if (v.s.size() < 16) throw Errors::make(8169, QStringLiteral("The binary value is too short for a uniqueidentifier."));
            QUuid u = QUuid::fromRfc4122(QByteArray(v.s.data(), 16));
            return Value::ofText(u.toString(QUuid::WithoutBraces).toUpper().toStdString());
        }
        case Category::Variant: return v;
        default: notAllowed(from, to);
        }
        break;
    }
    case Category::Guid: {
        switch (to.category()) {
        case Category::String: {
            if (to.type != Type::Text && to.type != Type::NText && to.length < 36)
                throw Errors::make(8170, QStringLiteral("The character type is too short to hold a uniqueidentifier."));
            return stringValue(v.s, to, mode, false);
        }
        case Category::Binary: {
            QUuid u = QUuid::fromString(QString::fromStdString(v.s));
            QByteArray b = u.toRfc4122();
            return binaryValue(std::string(b.constData(), size_t(b.size())), to, mode);
        }
        case Category::Guid: return v;
        case Category::Variant: return v;
        default: notAllowed(from, to);
        }
        break;
    }
    case Category::Variant: return v;
    }
    return v;
}

} // namespace engine::types
