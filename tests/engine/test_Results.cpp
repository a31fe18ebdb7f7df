// What a batch gives back: result sets with T-SQL types, messages in order, errors with lines,
// cursors, and the text of values.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

class Results : public testing::Test {
protected:
    void SetUp() override
    {
        inst = Instance::open(QStringLiteral("X"), tmp.path());
        s = inst->connectIntegrated();
    }
    TempDir tmp;
    std::shared_ptr<Instance> inst;
    std::unique_ptr<Session> s;
};

} // namespace

TEST_F(Results, NoResultSetDiffersFromAnEmptyOne)
{
    BatchResult r = s->execute(QStringLiteral("CREATE TABLE t (a int)"));
    EXPECT_TRUE(r.resultSets.empty());
    r = s->execute(QStringLiteral("SELECT a FROM t"));
    ASSERT_EQ(r.resultSets.size(), 1u);
    EXPECT_TRUE(r.resultSets[0].rows.empty());
    ASSERT_EQ(r.resultSets[0].columns.size(), 1u);
    EXPECT_EQ(r.resultSets[0].columns[0].name, QStringLiteral("a"));
    EXPECT_EQ(r.rowCount, 0);
}

TEST_F(Results, ColumnsCarryTypesAndValuesTheirQtTypes)
{
    ASSERT_FALSE(s->execute(QStringLiteral(
        "CREATE TABLE t (i int NOT NULL, v nvarchar(20), d decimal(9,3), m money, dt datetime, f float, b varbinary(4), g bit, sd smalldatetime)\n"
        "INSERT INTO t VALUES (1, N'olá', 1.5, 2, '2020-01-02 03:04:05.007', 0.5, 0x0A0B, 1, '2020-01-02 03:04')")).failed());
    BatchResult r = s->execute(QStringLiteral("SELECT * FROM t"));
    ASSERT_EQ(r.resultSets.size(), 1u);
    const ResultSet& rs = r.resultSets[0];
    ASSERT_EQ(rs.columns.size(), 9u);
    EXPECT_EQ(rs.columns[0].typeName, QStringLiteral("int"));
    EXPECT_FALSE(rs.columns[0].nullable);
    EXPECT_EQ(rs.columns[1].typeName, QStringLiteral("nvarchar"));
    EXPECT_EQ(rs.columns[1].length, 40);
    EXPECT_EQ(rs.columns[2].precision, 9);
    EXPECT_EQ(rs.columns[2].scale, 3);
    const Row& row = rs.rows.at(0);
    EXPECT_EQ(row[0].typeId(), QMetaType::LongLong);
    EXPECT_EQ(row[1].toString(), QStringLiteral("olá"));
    EXPECT_EQ(row[2].toString(), QStringLiteral("1.500"));
    EXPECT_EQ(row[3].toString(), QStringLiteral("2.0000"));
    EXPECT_EQ(row[4].typeId(), QMetaType::QDateTime);
    EXPECT_EQ(rs.text(0, 4), QStringLiteral("2020-01-02 03:04:05.007"));
    EXPECT_EQ(row[5].typeId(), QMetaType::Double);
    EXPECT_EQ(row[6].toByteArray(), QByteArray("\x0A\x0B", 2));
    EXPECT_EQ(rs.text(0, 6), QStringLiteral("0x0A0B"));
    EXPECT_EQ(rs.text(0, 7), QStringLiteral("1"));
    EXPECT_EQ(rs.text(0, 8), QStringLiteral("2020-01-02 03:04:00"));
    EXPECT_EQ(valueText(QVariant(), rs.columns[0]), QString());
}

TEST_F(Results, MessagesAndErrorsComeInOrderWithTheirLines)
{
    BatchResult r = s->execute(QStringLiteral("PRINT 'one'\nSELECT 1\n\nSELECT * FROM missing\nPRINT 'two'"));
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0].text, QStringLiteral("one"));
    EXPECT_EQ(r.messages[1].number, 208);
    EXPECT_EQ(r.messages[1].severity, 16);
    EXPECT_EQ(r.messages[1].line, 4);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.resultSets.size(), 1u);
    r = s->execute(QStringLiteral("SELECT 1\nSELECT FROM"));
    ASSERT_TRUE(r.failed());
    EXPECT_EQ(r.errors[0].line, 2);
    EXPECT_TRUE(r.resultSets.empty()); // a batch that does not parse runs nothing
}

TEST_F(Results, CursorFetchesRowsOnDemand)
{
    ASSERT_FALSE(s->execute(QStringLiteral("CREATE TABLE t (a int)\nDECLARE @i int SET @i = 0\nWHILE @i < 100 BEGIN INSERT INTO t VALUES (@i) SET @i = @i + 1 END")).failed());
    auto c = s->openQuery(QStringLiteral("SELECT a, a * 2 AS twice FROM t ORDER BY a"));
    ASSERT_EQ(c->columns().size(), 2u);
    EXPECT_EQ(c->columns()[1].name, QStringLiteral("twice"));
    Row row;
    int n = 0;
    while (c->fetch(row)) {
        EXPECT_EQ(row[1].toLongLong(), 2 * row[0].toLongLong());
        ++n;
    }
    EXPECT_EQ(n, 100);
    EXPECT_FALSE(c->fetch(row));
    EXPECT_THROW(s->openQuery(QStringLiteral("DELETE FROM t")), SqlError);
    EXPECT_THROW(s->openQuery(QStringLiteral("SELECT * FROM nothing")), SqlError);
}

TEST_F(Results, MalformedTextNeverCrashes)
{
    const char* inputs[] = {"", ";", "((((((", "SELECT ''''", "]]]", "/* open", "SELECT 1 +", "\x01\x02", "INSERT", "BEGIN", "END",
                            "IF", "WHILE 1=0", "SELECT CONVERT(", "CREATE TABLE t (", "DECLARE @", "SELECT 0x", "SELECT 1e", "N'",
                            "SELECT * FROM [a]]b]", "EXEC", "USE", "GO"};
    for (const char* in : inputs) {
        BatchResult r = s->execute(QString::fromLatin1(in));
        for (const Message& m : r.errors) EXPECT_GT(m.number, 0) << in;
    }
}

TEST_F(Results, SpWhoAndSpDatabasesListSessionsAndDatabases)
{
    auto other = inst->connectIntegrated();
    ASSERT_FALSE(other->execute(QStringLiteral("CREATE DATABASE Zeta USE Zeta")).failed());
    BatchResult r = s->execute(QStringLiteral("EXEC sp_who"));
    ASSERT_EQ(r.resultSets.size(), 1u);
    const ResultSet& who = r.resultSets[0];
    ASSERT_EQ(who.rows.size(), 2u);
    EXPECT_EQ(who.columns[0].name, QStringLiteral("spid"));
    EXPECT_EQ(who.columns[6].name, QStringLiteral("dbname"));
    EXPECT_EQ(who.text(0, 0).toInt(), s->spid());
    EXPECT_EQ(who.text(0, 2), QStringLiteral("runnable"));
    EXPECT_EQ(who.text(1, 6), QStringLiteral("Zeta"));
    EXPECT_EQ(who.text(1, 3), other->loginName());
    r = s->execute(QStringLiteral("sp_databases"));
    ASSERT_EQ(r.resultSets.size(), 1u);
    QStringList names;
    for (size_t i = 0; i < r.resultSets[0].rows.size(); ++i) {
        names << r.resultSets[0].text(i, 0);
        EXPECT_GT(r.resultSets[0].rows[i][1].toLongLong(), 0);
    }
    EXPECT_EQ(names, (QStringList{"master", "model", "msdb", "tempdb", "Zeta"}));
}

TEST_F(Results, DateTimesAreUtcQDateTimesFromFirstToLastDay)
{
    ASSERT_FALSE(s->execute(QStringLiteral(
        "CREATE TABLE t (n int, d datetime, s smalldatetime)\n"
        "INSERT INTO t VALUES (1, '1753-01-01', '1900-01-01')\n"
        "INSERT INTO t VALUES (2, '9999-12-31 23:59:59.997', '2079-06-06 23:59')\n"
        "INSERT INTO t VALUES (3, '2000-02-29 12:30:15.123', '1999-12-31 23:59:29')\n"
        "INSERT INTO t VALUES (4, '1900-02-28 00:00:00.003', NULL)")).failed());
    BatchResult r = s->execute(QStringLiteral("SELECT d, s FROM t ORDER BY n"));
    ASSERT_EQ(r.resultSets.size(), 1u);
    const ResultSet& rs = r.resultSets[0];
    ASSERT_EQ(rs.rows.size(), 4u);
    auto utc = [](int y, int mo, int d, int h, int mi, int sec, int ms) { return QDateTime(QDate(y, mo, d), QTime(h, mi, sec, ms), Qt::UTC); };
    const QDateTime expected[4][2] = {
        {utc(1753, 1, 1, 0, 0, 0, 0), utc(1900, 1, 1, 0, 0, 0, 0)},
        {utc(9999, 12, 31, 23, 59, 59, 997), utc(2079, 6, 6, 23, 59, 0, 0)},
        {utc(2000, 2, 29, 12, 30, 15, 123), utc(1999, 12, 31, 23, 59, 0, 0)},
        {utc(1900, 2, 28, 0, 0, 0, 3), QDateTime()},
    };
    for (size_t i = 0; i < 4; ++i) {
        for (size_t c = 0; c < 2; ++c) {
            const QVariant& v = rs.rows[i][c];
            if (!expected[i][c].isValid()) {
                EXPECT_TRUE(v.isNull());
                continue;
            }
            ASSERT_EQ(v.typeId(), QMetaType::QDateTime) << i << c;
            const QDateTime got = v.toDateTime();
            EXPECT_EQ(got, expected[i][c]) << i << c;
            EXPECT_EQ(got.timeSpec(), Qt::UTC);
            EXPECT_EQ(got.date(), expected[i][c].date());
            EXPECT_EQ(got.time(), expected[i][c].time());
        }
    }
    EXPECT_EQ(rs.text(1, 0), QStringLiteral("9999-12-31 23:59:59.997"));
    EXPECT_EQ(rs.text(2, 1), QStringLiteral("1999-12-31 23:59:00"));
}

TEST_F(Results, TextValuesOutliveTheirResultAndChangeAlone)
{
    ASSERT_FALSE(s->execute(QStringLiteral(
        "CREATE TABLE t (n int, v varchar(20), w nvarchar(20), m money)\n"
        "INSERT INTO t VALUES (1, 'one', N'ação', 1.5)\n"
        "INSERT INTO t VALUES (2, '', N'', 0)\n"
        "INSERT INTO t VALUES (3, 'three', NULL, -2.25)")).failed());
    Row first, last;
    {
        BatchResult r = s->execute(QStringLiteral("SELECT v, w, m FROM t ORDER BY n"));
        ASSERT_EQ(r.resultSets.at(0).rows.size(), 3u);
        first = r.resultSets[0].rows[0];
        last = r.resultSets[0].rows[2];
        EXPECT_EQ(r.resultSets[0].rows[1][0].typeId(), QMetaType::QString);
        EXPECT_TRUE(r.resultSets[0].rows[1][0].toString().isEmpty());
        EXPECT_EQ(r.resultSets[0].text(1, 2), QStringLiteral("0.0000"));
    }
    QString one = first[0].toString();
    one.append(QStringLiteral(" more"));
    EXPECT_EQ(one, QStringLiteral("one more"));
    EXPECT_EQ(first[0].toString(), QStringLiteral("one"));
    EXPECT_EQ(first[1].toString(), QStringLiteral("ação"));
    EXPECT_EQ(first[2].toString(), QStringLiteral("1.5000"));
    EXPECT_EQ(last[0].toString(), QStringLiteral("three"));
    EXPECT_TRUE(last[1].isNull());
    EXPECT_EQ(last[2].toString(), QStringLiteral("-2.2500"));
}
