// Sessions writing the same database: a blocked write waits for the lock (up to LOCK_TIMEOUT),
// readers keep seeing committed values, and many writers side by side all succeed.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace engine;

namespace {

QString firstValue(Session& s, const QString& sql)
{
    BatchResult r = s.execute(sql);
    EXPECT_FALSE(r.failed()) << sql.toStdString() << ": " << (r.errors.empty() ? "" : r.errors[0].text.toStdString());
    if (r.resultSets.empty() || r.resultSets[0].rows.empty()) return QStringLiteral("<none>");
    return r.resultSets[0].text(0, 0);
}

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
