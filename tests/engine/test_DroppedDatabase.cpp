// A database dropped and created again by one session: the others reach the new one, never the
// file that was deleted.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

int firstError(const BatchResult& r) { return r.errors.empty() ? 0 : r.errors[0].number; }

// The rows of the first result set, "a|b" each, one per line.
std::string rows(Session& s, const QString& sql)
{
    BatchResult r = s.execute(sql);
    EXPECT_FALSE(r.failed()) << sql.toStdString() << ": " << (r.errors.empty() ? "" : r.errors[0].text.toStdString());
    QStringList out;
    if (r.resultSets.empty()) return "<none>";
    const ResultSet& rs = r.resultSets[0];
    for (size_t i = 0; i < rs.rows.size(); ++i) {
        QStringList cells;
        for (size_t c = 0; c < rs.columns.size(); ++c) cells << rs.text(i, c);
        out << cells.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char('\n')).toStdString();
}

class DroppedDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        inst = Instance::open(QStringLiteral("X"), tmp.path());
        a = inst->connectIntegrated();
        b = inst->connectIntegrated();
        ASSERT_FALSE(a->execute(QStringLiteral("CREATE DATABASE X")).failed());
        ASSERT_FALSE(a->execute(QStringLiteral("CREATE TABLE X.dbo.t (id int IDENTITY, v varchar(10))")).failed());
        ASSERT_FALSE(b->execute(QStringLiteral("INSERT INTO X.dbo.t (v) VALUES ('old')")).failed());
    }
    void dropAndCreate()
    {
        BatchResult r = a->execute(QStringLiteral("DROP DATABASE X"));
        ASSERT_FALSE(r.failed()) << r.errors[0].text.toStdString();
        ASSERT_FALSE(a->execute(QStringLiteral("CREATE DATABASE X")).failed());
        ASSERT_FALSE(a->execute(QStringLiteral("CREATE TABLE X.dbo.t (id int IDENTITY, v varchar(10))")).failed());
    }
    TempDir tmp;
    std::shared_ptr<Instance> inst;
    std::unique_ptr<Session> a, b;
};

} // namespace

TEST_F(DroppedDatabase, AnotherSessionWritesIntoTheDatabaseThatIsThereNow)
{
    dropAndCreate();
    ASSERT_FALSE(b->execute(QStringLiteral("INSERT INTO X.dbo.t (v) VALUES ('new')")).failed());
    // the new table numbers from its seed, and both sessions see the row
    EXPECT_EQ(rows(*b, QStringLiteral("SELECT id, v FROM X.dbo.t")), "1|new");
    EXPECT_EQ(rows(*a, QStringLiteral("SELECT id, v FROM X.dbo.t")), "1|new");
    auto c = inst->connectIntegrated();
    EXPECT_EQ(rows(*c, QStringLiteral("SELECT id, v FROM X..t")), "1|new");
}

TEST_F(DroppedDatabase, BetweenTheDropAndTheCreateTheDatabaseIsMissing)
{
    ASSERT_FALSE(a->execute(QStringLiteral("DROP DATABASE X")).failed());
    EXPECT_EQ(firstError(b->execute(QStringLiteral("INSERT INTO X.dbo.t (v) VALUES ('lost')"))), 911);
    EXPECT_EQ(firstError(b->execute(QStringLiteral("USE X"))), 911);
}

TEST_F(DroppedDatabase, ASessionUsingTheDatabaseKeepsItFromBeingDropped)
{
    ASSERT_FALSE(b->execute(QStringLiteral("USE X")).failed());
    EXPECT_EQ(firstError(a->execute(QStringLiteral("DROP DATABASE X"))), 3702);
    ASSERT_FALSE(b->execute(QStringLiteral("INSERT INTO t (v) VALUES ('kept')")).failed());
    EXPECT_EQ(rows(*a, QStringLiteral("SELECT v FROM X..t ORDER BY id")), "old\nkept");
    // once it has left, the drop goes through and its next use of the name finds the new one
    ASSERT_FALSE(b->execute(QStringLiteral("USE master")).failed());
    dropAndCreate();
    ASSERT_FALSE(b->execute(QStringLiteral("USE X INSERT INTO t (v) VALUES ('new')")).failed());
    EXPECT_EQ(rows(*a, QStringLiteral("SELECT id, v FROM X..t")), "1|new");
}

TEST_F(DroppedDatabase, AnOpenTransactionInTheDatabaseKeepsItFromBeingDropped)
{
    ASSERT_FALSE(b->execute(QStringLiteral("BEGIN TRAN INSERT INTO X.dbo.t (v) VALUES ('pending')")).failed());
    EXPECT_EQ(firstError(a->execute(QStringLiteral("DROP DATABASE X"))), 3702);
    ASSERT_FALSE(b->execute(QStringLiteral("COMMIT")).failed());
    EXPECT_EQ(rows(*a, QStringLiteral("SELECT v FROM X..t ORDER BY id")), "old\npending");
}

TEST_F(DroppedDatabase, ATransactionReadsTheDatabaseThatIsThereNow)
{
    EXPECT_EQ(rows(*b, QStringLiteral("SELECT v FROM X..t")), "old");
    dropAndCreate();
    ASSERT_FALSE(a->execute(QStringLiteral("INSERT INTO X..t (v) VALUES ('new')")).failed());
    EXPECT_EQ(rows(*b, QStringLiteral("BEGIN TRAN SELECT v FROM X..t")), "new");
    ASSERT_FALSE(b->execute(QStringLiteral("UPDATE X..t SET v = 'changed' COMMIT")).failed());
    EXPECT_EQ(rows(*a, QStringLiteral("SELECT id, v FROM X..t")), "1|changed");
}
