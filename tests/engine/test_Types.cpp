// The type system's pieces: exact decimals, datetime texts and the conversion table's edges.

#include "engine/Engine.h"
#include "engine/types/Convert.h"
#include "engine/types/DateTimeValue.h"
#include "engine/types/Decimal.h"

#include <gtest/gtest.h>

using namespace engine::types;

TEST(Decimal, ParsesRoundsAndComparesExactly)
{
    EXPECT_EQ(Decimal::parse("  -012.5000 ")->text(), "-12.5000");
    EXPECT_FALSE(Decimal::parse("1.2.3"));
    EXPECT_FALSE(Decimal::parse("1e5"));
    EXPECT_EQ(Decimal::parse("1.5e3", true)->text(), "1500");
    EXPECT_EQ(Decimal::parse("2.345")->rounded(2).text(), "2.35");
    EXPECT_EQ(Decimal::parse("-2.345")->rounded(2).text(), "-2.35");
    EXPECT_EQ(Decimal::parse("9.999")->rounded(2).text(), "10.00");
    EXPECT_EQ(Decimal::parse("2.349")->truncated(1).text(), "2.3");
    EXPECT_FALSE(Decimal::parse("1000")->fitted(5, 2));
    EXPECT_EQ(Decimal::parse("999.994")->fitted(5, 2)->text(), "999.99");
    EXPECT_FALSE(Decimal::parse("999.995")->fitted(5, 2));
    // 38 digits stay exact
    std::string big = "12345678901234567890123456789012345678";
    EXPECT_EQ(Decimal::parse(big)->fitted(38, 0)->text(), big);
    EXPECT_LT(Decimal::compareText("9.5", "10.25"), 0);
    EXPECT_GT(Decimal::compareText("-1", "-2.5"), 0);
    EXPECT_EQ(Decimal::compareText("1.50", "1.5"), 0);
    EXPECT_EQ(Decimal::parse("-0.00")->text(), "0.00");
    EXPECT_FALSE(Decimal::parse("99999999999999999999")->toInt());
}

TEST(DateTimeValue, ParsesTheServersFormsAndRoundsToItsPrecision)
{
    auto v = DateTimeValue::parse(QStringLiteral("2/29/2020 11:59:59.999 PM"));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->roundedDateTime().storedText(), QStringLiteral("2020-03-01 00:00:00.000"));
    EXPECT_EQ(DateTimeValue::parse(QStringLiteral("2020-01-01 10:00:00.002"))->roundedDateTime().storedText(),
              QStringLiteral("2020-01-01 10:00:00.003"));
    EXPECT_EQ(DateTimeValue::parse(QStringLiteral("10:30"))->storedText(), QStringLiteral("1900-01-01 10:30:00.000"));
    EXPECT_EQ(DateTimeValue::parse(QStringLiteral("5 March 2011"))->storedText(), QStringLiteral("2011-03-05 00:00:00.000"));
    EXPECT_EQ(DateTimeValue::parse(QStringLiteral(""))->storedText(), QStringLiteral("1900-01-01 00:00:00.000"));
    for (const char* bad : {"2019-02-29", "13/01/2020", "25:00", "yesterday", "2020-01-01 10:61", "1/1/2020 13:00 PM"})
        EXPECT_FALSE(DateTimeValue::parse(QLatin1String(bad))) << bad;
    EXPECT_EQ(DateTimeValue::parse(QStringLiteral("2020-01-05 10:30:29.998"))->roundedSmall().storedText(),
              QStringLiteral("2020-01-05 10:30:00.000"));
    EXPECT_EQ(DateTimeValue::parse(QStringLiteral("2020-01-05 10:30:29.999"))->roundedSmall().storedText(),
              QStringLiteral("2020-01-05 10:31:00.000"));
    EXPECT_EQ(DateTimeValue::fromDays(1.5)->storedText(), QStringLiteral("1900-01-02 12:00:00.000"));
    EXPECT_EQ(DateTimeValue::parse(QStringLiteral("2020-01-05 14:03:09"))->format(109, false),
              QStringLiteral("Jan  5 2020  2:03:09:000PM"));
}

TEST(Convert, EdgesOfTheTable)
{
    auto spec = [](Type t, std::optional<int> l = {}, std::optional<int> p = {}, std::optional<int> s = {}) {
        return makeSpec(t, l, p, s);
    };
    auto conv = [&](const Value& v, const TypeSpec& from, const TypeSpec& to, ConvertMode m = ConvertMode::Explicit) {
        return convert(v, from, to, m);
    };
    auto errorOf = [&](const Value& v, const TypeSpec& from, const TypeSpec& to, ConvertMode m = ConvertMode::Explicit) {
        try {
            convert(v, from, to, m);
        } catch (const engine::SqlError& e) {
            return e.number();
        }
        return 0;
    };
    TypeSpec vc = spec(Type::VarChar, 10);
    EXPECT_EQ(conv(Value::ofText(""), vc, spec(Type::Int)).i, 0);
    EXPECT_EQ(errorOf(Value::ofText("2147483648"), vc, spec(Type::Int)), 248);
    EXPECT_EQ(conv(Value::ofText("-2147483648"), vc, spec(Type::Int)).i, -2147483648LL);
    EXPECT_EQ(errorOf(Value::ofInt(-1), spec(Type::Int), spec(Type::TinyInt)), 8115);
    EXPECT_EQ(errorOf(Value::ofReal(1e300), spec(Type::Float), spec(Type::BigInt)), 8115);
    EXPECT_EQ(conv(Value::ofText("$1,000.255"), vc, spec(Type::Money)).s, "1000.2550");
    EXPECT_EQ(errorOf(Value::ofText("300000"), vc, spec(Type::SmallMoney)), 8115);
    // assignment truncates nothing but blanks
    EXPECT_EQ(conv(Value::ofText("ab   "), vc, spec(Type::VarChar, 2), ConvertMode::Assignment).s, "ab");
    EXPECT_EQ(errorOf(Value::ofText("abc"), vc, spec(Type::VarChar, 2), ConvertMode::Assignment), 8152);
    EXPECT_EQ(conv(Value::ofText("açúcar"), vc, spec(Type::NChar, 8)).s, "açúcar  ");
    EXPECT_EQ(errorOf(Value::ofBlob("abc"), spec(Type::VarBinary, 3), spec(Type::Binary, 2), ConvertMode::Assignment), 8152);
    EXPECT_EQ(conv(Value::ofBlob("a"), spec(Type::VarBinary, 1), spec(Type::Binary, 3)).s, std::string("a\0\0", 3));
    EXPECT_EQ(errorOf(Value::ofText("ab"), vc, spec(Type::VarBinary, 2), ConvertMode::Assignment), 257);
    EXPECT_EQ(errorOf(Value::ofInt(1), spec(Type::Int), spec(Type::UniqueIdentifier)), 529);
    EXPECT_EQ(conv(Value::ofText("2020-01-01 00:00:00.000"), spec(Type::DateTime), spec(Type::Int)).i, 43829);
    EXPECT_EQ(conv(Value::ofText("12.5"), spec(Type::Money), spec(Type::Int)).i, 13);
    EXPECT_EQ(conv(Value::ofText("12.5"), spec(Type::Decimal, {}, 5, 1), spec(Type::Int)).i, 12);
    EXPECT_EQ(floatText(1234567.0, 0), "1.23457e+006");
    EXPECT_EQ(floatText(0.1, 0), "0.1");
    EXPECT_TRUE(conv(Value::null(), vc, spec(Type::Int)).isNull());
}
