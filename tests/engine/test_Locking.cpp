// Sessions sharing a database: a blocked write waits for the lock (up to LOCK_TIMEOUT), readers
// keep seeing committed values, transactions that only read share the database, two that wait
// for each other end in a deadlock with one victim, and many writers side by side all succeed.

#include "FirstValue.h"
#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace engine;
using enginetest::firstValue;

namespace {

int firstError(const BatchResult& r) { return r.errors.empty() ? 0 : r.errors[0].number; }

// Runs a batch on another thread; the result is read after join().
struct Background {
    Background(Session& s, QString sql) : thread([this, &s, sql] {
        result = s.execute(sql);
        done = true;
    }) {}
    BatchResult join()
    {
        thread.join();
        return result;
    }
    BatchResult result;
    std::atomic<bool> done{false};
    std::thread thread;
};

class Locking : public ::testing::Test {
protected:
    void SetUp() override
    {
        inst = Instance::open(QStringLiteral("X"), tmp.path());
        a = inst->connectIntegrated();
        ASSERT_FALSE(a->execute(QStringLiteral("CREATE DATABASE shop")).failed());
        ASSERT_FALSE(a->execute(QStringLiteral("USE shop CREATE TABLE t (id int IDENTITY, v int) INSERT INTO t (v) VALUES (1)")).failed());
        b = inst->connectIntegrated();
        ASSERT_FALSE(b->execute(QStringLiteral("USE shop")).failed());
    }
    TempDir tmp;
    std::shared_ptr<Instance> inst;
    std::unique_ptr<Session> a, b;
};

} // namespace

TEST_F(Locking, ABlockedWriteWaitsUntilTheOtherTransactionCommits)
{
    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN UPDATE t SET v = 2")).failed());
    Background update(*b, QStringLiteral("UPDATE t SET v = v + 10"));
    auto c = inst->connectIntegrated();
    ASSERT_FALSE(c->execute(QStringLiteral("USE shop")).failed());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(update.done); // still waiting for a's transaction
    // readers see the last committed value meanwhile
    EXPECT_EQ(firstValue(*c, QStringLiteral("SELECT v FROM t")), QStringLiteral("1"));
    ASSERT_FALSE(a->execute(QStringLiteral("COMMIT")).failed());
    BatchResult r = update.join();
    EXPECT_EQ(firstError(r), 0) << (r.errors.empty() ? "" : r.errors[0].text.toStdString());
    EXPECT_EQ(r.rowCount, 1);
    EXPECT_EQ(firstValue(*c, QStringLiteral("SELECT v FROM t")), QStringLiteral("12"));

    // an INSERT waits as well, and takes the next identity once it may
    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN INSERT INTO t (v) VALUES (5)")).failed());
    Background insert(*b, QStringLiteral("INSERT INTO t (v) VALUES (6) SELECT @@IDENTITY"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(insert.done);
    ASSERT_FALSE(a->execute(QStringLiteral("COMMIT")).failed());
    r = insert.join();
    ASSERT_EQ(firstError(r), 0) << r.errors[0].text.toStdString();
    EXPECT_EQ(r.resultSets.at(0).text(0, 0), QStringLiteral("3"));
    EXPECT_EQ(firstValue(*c, QStringLiteral("SELECT count(*) FROM t")), QStringLiteral("3"));
}

TEST_F(Locking, ATransactionThatReadThenWritesIsNotOvertaken)
{
    // a reads first, b's write queues behind it, a's later write still succeeds
    ASSERT_EQ(firstValue(*a, QStringLiteral("BEGIN TRAN SELECT v FROM t")), QStringLiteral("1"));
    Background update(*b, QStringLiteral("UPDATE t SET v = v * 100"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    BatchResult r = a->execute(QStringLiteral("UPDATE t SET v = v + 1 COMMIT"));
    EXPECT_EQ(firstError(r), 0) << (r.errors.empty() ? "" : r.errors[0].text.toStdString());
    r = update.join();
    EXPECT_EQ(firstError(r), 0);
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT v FROM t")), QStringLiteral("200"));
}

TEST_F(Locking, LockTimeoutEndsTheWaitWithError1222)
{
    EXPECT_EQ(firstValue(*b, QStringLiteral("SELECT @@LOCK_TIMEOUT")), QStringLiteral("-1"));
    EXPECT_EQ(firstValue(*b, QStringLiteral("SET LOCK_TIMEOUT 250 SELECT @@LOCK_TIMEOUT")), QStringLiteral("250"));
    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN UPDATE t SET v = 2")).failed());

    QElapsedTimer clock;
    clock.start();
    BatchResult r = b->execute(QStringLiteral("BEGIN TRAN INSERT INTO t (v) VALUES (7) SELECT @@ERROR, @@TRANCOUNT"));
    EXPECT_GE(clock.elapsed(), 250);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 1222);
    EXPECT_EQ(r.errors[0].severity, 16);
    // the batch goes on and b's transaction stays open
    ASSERT_EQ(r.resultSets.size(), 1u);
    EXPECT_EQ(r.resultSets[0].text(0, 0), QStringLiteral("1222"));
    EXPECT_EQ(r.resultSets[0].text(0, 1), QStringLiteral("1"));
    EXPECT_EQ(firstError(b->execute(QStringLiteral("SET LOCK_TIMEOUT 0 UPDATE t SET v = 3"))), 1222);
    ASSERT_FALSE(b->execute(QStringLiteral("ROLLBACK")).failed());

    // once a commits, b's write goes through
    ASSERT_FALSE(a->execute(QStringLiteral("COMMIT")).failed());
    EXPECT_EQ(firstError(b->execute(QStringLiteral("UPDATE t SET v = 3"))), 0);
    EXPECT_EQ(firstValue(*b, QStringLiteral("SET LOCK_TIMEOUT -1 SELECT @@LOCK_TIMEOUT")), QStringLiteral("-1"));
    EXPECT_EQ(firstValue(*b, QStringLiteral("DECLARE @ms int SET @ms = 1500 SET LOCK_TIMEOUT @ms SELECT @@LOCK_TIMEOUT")),
              QStringLiteral("1500"));
    // the setting belongs to the session
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT @@LOCK_TIMEOUT")), QStringLiteral("-1"));
}

TEST_F(Locking, SessionsWritingOtherDatabasesDoNotWaitForEachOther)
{
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE DATABASE other CREATE TABLE other..u (v int)")).failed());
    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN UPDATE t SET v = 2 CREATE TABLE #mine (x int)")).failed());
    EXPECT_EQ(firstError(b->execute(QStringLiteral("SET LOCK_TIMEOUT 0 INSERT INTO other..u VALUES (1)"))), 0);
    ASSERT_FALSE(a->execute(QStringLiteral("ROLLBACK")).failed());
}

TEST_F(Locking, TransactionsThatOnlyReadShareTheirDatabase)
{
    ASSERT_EQ(firstValue(*a, QStringLiteral("BEGIN TRAN SELECT v FROM t")), QStringLiteral("1"));
    EXPECT_EQ(firstValue(*b, QStringLiteral("SET LOCK_TIMEOUT 0 BEGIN TRAN SELECT count(*) FROM t")), QStringLiteral("1"));
    EXPECT_EQ(firstValue(*b, QStringLiteral("EXEC ('SELECT v FROM t')")), QStringLiteral("1"));

    // a writer waits for the readers, and the message says what they do
    auto c = inst->connectIntegrated();
    ASSERT_FALSE(c->execute(QStringLiteral("USE shop SET LOCK_TIMEOUT 0")).failed());
    BatchResult r = c->execute(QStringLiteral("UPDATE t SET v = 5"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 1222);
    EXPECT_EQ(r.errors[0].text.toStdString(), QStringLiteral("The lock request timed out: session %1 is reading database 'shop'.").arg(a->spid()).toStdString());
    ASSERT_FALSE(a->execute(QStringLiteral("ROLLBACK")).failed());
    ASSERT_FALSE(b->execute(QStringLiteral("ROLLBACK")).failed());

    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN UPDATE t SET v = 2")).failed());
    r = c->execute(QStringLiteral("BEGIN TRAN SELECT v FROM t"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].text.toStdString(), QStringLiteral("The lock request timed out: session %1 is writing to database 'shop'.").arg(a->spid()).toStdString());
    ASSERT_FALSE(c->execute(QStringLiteral("ROLLBACK")).failed());
    ASSERT_FALSE(a->execute(QStringLiteral("COMMIT")).failed());
    EXPECT_EQ(firstValue(*c, QStringLiteral("SELECT v FROM t")), QStringLiteral("2"));
}

namespace {
// Runs the last batch of two transactions at once; exactly one of them must be the deadlock's
// victim (1205, its transaction rolled back, the rest of its batch not run) and the other must
// finish. Returns true when a won.
bool oneDeadlockVictim(Session& a, const QString& lastOfA, Session& b, const QString& lastOfB)
{
    QElapsedTimer clock;
    clock.start();
    Background ra(a, lastOfA), rb(b, lastOfB);
    BatchResult x = ra.join(), y = rb.join();
    EXPECT_LT(clock.elapsed(), 4000); // found at once, not after the 5 s wait
    const bool aWon = firstError(x) == 0;
    const BatchResult& victim = aWon ? y : x;
    const BatchResult& winner = aWon ? x : y;
    EXPECT_EQ(firstError(winner), 0) << (winner.errors.empty() ? "" : winner.errors[0].text.toStdString());
    EXPECT_EQ(winner.resultSets.size(), 1u);
    EXPECT_EQ(victim.errors.size(), 1u);
    EXPECT_EQ(firstError(victim), 1205);
    EXPECT_EQ(victim.errors.empty() ? 0 : victim.errors[0].severity, 13);
    EXPECT_TRUE(victim.resultSets.empty());
    EXPECT_EQ((aWon ? b : a).tranCount(), 0);
    EXPECT_EQ((aWon ? a : b).tranCount(), 1);
    return aWon;
}
} // namespace

TEST_F(Locking, TwoTransactionsWaitingForEachOtherEndInADeadlockWithOneVictim)
{
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE DATABASE other CREATE TABLE other..u (v int)")).failed());
    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN UPDATE t SET v = 2")).failed());
    ASSERT_FALSE(b->execute(QStringLiteral("BEGIN TRAN INSERT INTO other..u VALUES (1)")).failed());
    bool aWon = oneDeadlockVictim(*a, QStringLiteral("SELECT count(*) FROM other..u INSERT INTO t (v) VALUES (100)"), *b,
                                  QStringLiteral("SELECT count(*) FROM t INSERT INTO other..u VALUES (100)"));
    ASSERT_FALSE((aWon ? a : b)->execute(QStringLiteral("COMMIT")).failed());
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT count(*) FROM t WHERE v = 100")), aWon ? QStringLiteral("1") : QStringLiteral("0"));
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT min(v) FROM t")), aWon ? QStringLiteral("2") : QStringLiteral("1"));
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT count(*) FROM other..u")), aWon ? QStringLiteral("0") : QStringLiteral("2"));
    // the locks are gone: both write again without waiting
    EXPECT_EQ(firstError(a->execute(QStringLiteral("SET LOCK_TIMEOUT 0 UPDATE t SET v = 7"))), 0);
    EXPECT_EQ(firstError(b->execute(QStringLiteral("SET LOCK_TIMEOUT 0 INSERT INTO other..u VALUES (2)"))), 0);
}

TEST_F(Locking, TwoReadersThatBothWriteEndInADeadlockWithOneVictim)
{
    ASSERT_EQ(firstValue(*a, QStringLiteral("BEGIN TRAN SELECT v FROM t")), QStringLiteral("1"));
    ASSERT_EQ(firstValue(*b, QStringLiteral("BEGIN TRAN SELECT v FROM t")), QStringLiteral("1"));
    bool aWon = oneDeadlockVictim(*a, QStringLiteral("UPDATE t SET v = 10 SELECT v FROM t"), *b,
                                  QStringLiteral("UPDATE t SET v = 20 SELECT v FROM t"));
    ASSERT_FALSE((aWon ? a : b)->execute(QStringLiteral("COMMIT")).failed());
    EXPECT_EQ(firstValue(*b, QStringLiteral("SELECT v FROM t")), aWon ? QStringLiteral("10") : QStringLiteral("20"));
}

TEST(LockingLoad, EightSessionsInsertingIntoOneTableAllSucceed)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto admin = inst->connectIntegrated();
    ASSERT_FALSE(admin->execute(QStringLiteral("CREATE TABLE t (id int IDENTITY PRIMARY KEY, worker int, n int)")).failed());
    constexpr int workers = 8, rows = 1500;
    std::vector<std::unique_ptr<Session>> sessions;
    for (int w = 0; w < workers; ++w) sessions.push_back(inst->connectIntegrated());
    std::atomic<int> refused{0};
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            Session& s = *sessions[size_t(w)];
            for (int i = 0; i < rows; ++i) {
                BatchResult r = s.execute(QStringLiteral("INSERT INTO t (worker, n) VALUES (%1, %2)").arg(QString::number(w), QString::number(i)));
                if (r.failed()) ++refused;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(refused.load(), 0);
    const QString total = QString::number(workers * rows);
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT count(*) FROM t")), total);
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT count(DISTINCT id) FROM t")), total);
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT max(id) FROM t")), total);
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT count(*) FROM (SELECT worker FROM t GROUP BY worker HAVING count(*) = %1) w").arg(QString::number(rows))),
              QString::number(workers));
}
