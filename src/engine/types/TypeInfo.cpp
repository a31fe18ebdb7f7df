#include "engine/types/TypeInfo.h"

#include "engine/Errors.h"

#include <iterator>

namespace engine::types {

namespace {
// clang-format off
const TypeInfo kTypes[] = {
    {Type::BigInt, "bigint", 127, 8, 19, 0, 0, 0, Category::Integer, false, 15},
    {Type::Int, "int", 56, 4, 10, 0, 0, 0, Category::Integer, false, 14},
    {Type::SmallInt, "smallint", 52, 2, 5, 0, 0, 0, Category::Integer, false, 13},
    {Type::TinyInt, "tinyint", 48, 1, 3, 0, 0, 0, Category::Integer, false, 12},
    {Type::Bit, "bit", 104, 1, 1, 0, 0, 0, Category::Integer, false, 11},
    {Type::Decimal, "decimal", 106, 0, 18, 0, 0, 0, Category::Exact, false, 18},
    {Type::Numeric, "numeric", 108, 0, 18, 0, 0, 0, Category::Exact, false, 18},
    {Type::Money, "money", 60, 8, 19, 4, 0, 0, Category::Exact, false, 17},
    {Type::SmallMoney, "smallmoney", 122, 4, 10, 4, 0, 0, Category::Exact, false, 16},
    {Type::Float, "float", 62, 8, 53, 0, 0, 0, Category::Approx, false, 20},
    {Type::Real, "real", 59, 4, 24, 0, 0, 0, Category::Approx, false, 19},
    {Type::DateTime, "datetime", 61, 8, 23, 3, 0, 0, Category::DateTime, false, 22},
    {Type::SmallDateTime, "smalldatetime", 58, 4, 16, 0, 0, 0, Category::DateTime, false, 21},
    {Type::Char, "char", 175, 0, 0, 0, 8000, 1, Category::String, false, 3},
    {Type::VarChar, "varchar", 167, 0, 0, 0, 8000, 1, Category::String, false, 4},
    {Type::Text, "text", 35, 16, 0, 0, 0, 0, Category::String, false, 8},
    {Type::NChar, "nchar", 239, 0, 0, 0, 4000, 1, Category::String, true, 5},
    {Type::NVarChar, "nvarchar", 231, 0, 0, 0, 4000, 1, Category::String, true, 6},
    {Type::NText, "ntext", 99, 16, 0, 0, 0, 0, Category::String, true, 9},
    {Type::SysName, "sysname", 231, 256, 0, 0, 0, 0, Category::String, true, 6},
    {Type::Binary, "binary", 173, 0, 0, 0, 8000, 1, Category::Binary, false, 1},
    {Type::VarBinary, "varbinary", 165, 0, 0, 0, 8000, 1, Category::Binary, false, 2},
    {Type::Image, "image", 34, 16, 0, 0, 0, 0, Category::Binary, false, 7},
    {Type::Timestamp, "timestamp", 189, 8, 0, 0, 0, 0, Category::Binary, false, 2},
    {Type::UniqueIdentifier, "uniqueidentifier", 36, 16, 0, 0, 0, 0, Category::Guid, false, 10},
    {Type::SqlVariant, "sql_variant", 98, 8016, 0, 0, 0, 0, Category::Variant, false, 23},
};
// clang-format on
} // namespace

const TypeInfo& info(Type t) { return kTypes[static_cast<int>(t)]; }

const TypeInfo* allTypes(int& count)
{
    count = int(std::size(kTypes));
    return kTypes;
}

std::optional<Type> typeByName(const QString& name)
{
    for (const TypeInfo& t : kTypes)
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return t.type;
    if (name.compare(QLatin1String("integer"), Qt::CaseInsensitive) == 0) return Type::Int;
    if (name.compare(QLatin1String("dec"), Qt::CaseInsensitive) == 0) return Type::Decimal;
    if (name.compare(QLatin1String("double precision"), Qt::CaseInsensitive) == 0) return Type::Float;
    if (name.compare(QLatin1String("character"), Qt::CaseInsensitive) == 0) return Type::Char;
    if (name.compare(QLatin1String("rowversion"), Qt::CaseInsensitive) == 0) return Type::Timestamp;
    return std::nullopt;
}

bool TypeSpec::isNumeric() const
{
    auto c = category();
    return c == Category::Integer || c == Category::Exact || c == Category::Approx;
}

bool TypeSpec::hasLength() const { return info().maxLength > 0; }

int TypeSpec::storageBytes() const
{
    if (hasLength()) return info().unicode ? length * 2 : length;
    if (hasPrecision()) return precision <= 9 ? 5 : precision <= 19 ? 9 : precision <= 28 ? 13 : 17;
    if (type == Type::Float) return precision <= 24 ? 4 : 8;
    return info().storage;
}

QString TypeSpec::sqlText() const
{
    QString n = name();
    if (!userType.isEmpty()) return n;
    if (hasLength()) return QStringLiteral("%1(%2)").arg(n, QString::number(length));
    if (hasPrecision()) return QStringLiteral("%1(%2,%3)").arg(n, QString::number(precision), QString::number(scale));
    return n;
}

TypeSpec makeSpec(Type t, std::optional<int> length, std::optional<int> precision,
                  std::optional<int> scale, bool inConvert)
{
    TypeSpec s;
    s.type = t;
    const TypeInfo& ti = info(t);
    if (t == Type::SysName) {
        s.type = Type::SysName;
        s.length = 128;
        return s;
    }
    if (ti.maxLength > 0) {
        int len = length.value_or(inConvert ? 30 : ti.defaultLength);
        if (len < 1 || len > ti.maxLength)
            throw Errors::make(131, QStringLiteral("Size %1 is not valid for type '%2'; it must be from 1 to %3.")
                                          .arg(QString::number(len), QLatin1String(ti.name), QString::number(ti.maxLength)));
        s.length = len;
        return s;
    }
    if (t == Type::Decimal || t == Type::Numeric) {
        int p = precision.value_or(18);
        int sc = scale.value_or(0);
        if (p < 1 || p > 38)
            throw Errors::make(2750, QStringLiteral("Column or parameter has a precision of %1; the valid range is 1 to 38.").arg(p));
        if (sc < 0 || sc > p)
            throw Errors::make(2751, QStringLiteral("Column or parameter has a scale of %1; the scale cannot be greater than the precision.").arg(sc));
        s.precision = p;
        s.scale = sc;
        return s;
    }
    if (t == Type::Float && precision) {
        if (*precision < 1 || *precision > 53)
            throw Errors::make(2750, QStringLiteral("Column or parameter has a precision of %1; the valid range for float is 1 to 53.").arg(*precision));
        if (*precision <= 24) s.type = Type::Real;
        s.precision = *precision <= 24 ? 24 : 53;
        return s;
    }
    s.precision = ti.precision;
    s.scale = ti.scale;
    return s;
}

QString sqliteDecl(const TypeSpec& spec)
{
    switch (spec.category()) {
    case Category::Integer: return QStringLiteral("INTEGER");
    case Category::Approx: return QStringLiteral("REAL");
    case Category::Binary: return QStringLiteral("BLOB");
    case Category::Variant: return QString(); // no affinity: keeps the value as given
    default: return QStringLiteral("TEXT");
    }
}

TypeSpec promote(const TypeSpec& a, const TypeSpec& b)
{
    const TypeSpec& hi = a.info().order >= b.info().order ? a : b;
    const TypeSpec& lo = &hi == &a ? b : a;
    TypeSpec r = hi;
    r.userType.clear();
    if (hi.hasPrecision()) {
        // decimal with enough digits for both sides
        int loScale = lo.hasPrecision() ? lo.scale : (lo.category() == Category::Exact ? 4 : 0);
        int loInt = lo.hasPrecision() ? lo.precision - lo.scale : lo.info().precision;
        int sc = std::max(hi.scale, loScale);
        int in = std::max(hi.precision - hi.scale, loInt);
        r.precision = std::min(38, in + sc);
        r.scale = std::min(sc, r.precision);
    } else if (hi.isString() && lo.isString()) {
        r.length = std::max(a.length, b.length);
        if (a.info().unicode || b.info().unicode) {
            if (r.type == Type::VarChar) r.type = Type::NVarChar;
            if (r.type == Type::Char) r.type = Type::NChar;
            if (r.type == Type::Text) r.type = Type::NText;
        }
    }
    return r;
}

} // namespace engine::types
