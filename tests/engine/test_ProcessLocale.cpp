// The server's numbers under a process locale with a decimal comma, as a German or French
// user's desktop sets it: texts keep their decimal point and conversions keep every digit.

#include "common/DecimalCommaLocale.h"
#include "common/TempDir.h"
#include "engine/Engine.h"
#include "engine/types/Convert.h"
#include "engine/types/Decimal.h"

#include <gtest/gtest.h>

#include <string>

using namespace engine;

TEST(DecimalComma, NumberTextsKeepTheirDecimalPoint)
{
    DecimalCommaLocale comma;
    if (!comma.set())
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    using namespace engine::types;
    EXPECT_EQ(floatText(0.1, 0), "0.1");
    EXPECT_EQ(floatText(1234567.0, 0), "1.23457e+006");
    EXPECT_EQ(floatText(-2.5, 1), "-2.5000000e+000");
    EXPECT_EQ(floatText(0.125, 2), "1.250000000000000e-001");
    auto fromDouble = [](double v) {
        const auto d = Decimal::fromDouble(v);
        return d ? d->text() : std::string("<none>");
    };
    EXPECT_EQ(fromDouble(0.25), "0.25");
    EXPECT_EQ(fromDouble(-1234.5), "-1234.5");
    EXPECT_EQ(Decimal::parse("12.75")->toDouble(), 12.75);
    EXPECT_EQ(Decimal::parse("-0.5")->toDouble(), -0.5);
    const TypeSpec vc = makeSpec(Type::VarChar, 10, {}, {});
    const TypeSpec fl = makeSpec(Type::Float, {}, {}, {});
    EXPECT_EQ(convert(Value::ofText("3.5"), vc, fl, ConvertMode::Explicit).d, 3.5);
    EXPECT_EQ(convert(Value::ofText(" -1.5e2 "), vc, fl, ConvertMode::Explicit).d, -150.0);
}

TEST(DecimalComma, ValuesReachTheTableAndComeBackWhole)
{
    DecimalCommaLocale comma;
    if (!comma.set())
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto s = inst->connectIntegrated();
    ASSERT_FALSE(s->execute(QStringLiteral(
        "CREATE TABLE t (f float, r real, d decimal(9,3), m money)\n"
        "INSERT INTO t VALUES ('0.5', '2.25', 1.5, '12.34')\n"
        "INSERT INTO t VALUES (CAST(1.75 AS float), 0.125, CAST(0.375 AS float), CAST(2.5 AS float))")).failed());
    BatchResult r = s->execute(QStringLiteral(
        "SELECT f, r, d, m, CAST(f AS varchar(20)), CAST(f AS decimal(9,3)) FROM t ORDER BY f"));
    ASSERT_EQ(r.resultSets.size(), 1u);
    const ResultSet& rs = r.resultSets[0];
    ASSERT_EQ(rs.rows.size(), 2u);
    QStringList rows;
    for (size_t i = 0; i < rs.rows.size(); ++i) {
        QStringList cells;
        for (size_t c = 0; c < rs.columns.size(); ++c)
            cells << rs.text(int(i), int(c));
        rows << cells.join(QLatin1Char('|'));
    }
    EXPECT_EQ(rows, (QStringList{QStringLiteral("0.5|2.25|1.500|12.3400|0.5|0.500"),
                                 QStringLiteral("1.75|0.125|0.375|2.5000|1.75|1.750")}));
}
