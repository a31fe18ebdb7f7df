// Sessions running modules and read-then-write transactions side by side: no row is lost or
// doubled, a module run outside a transaction is never a deadlock's victim, and the locks of a
// session that ends go with it.

#include "FirstValue.h"
#include "common/TempDir.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace engine;
using enginetest::firstValue;

namespace {

// Each worker runs `batch` `rounds` times; returns how many runs failed, by first error number.
std::map<int, int> runSideBySide(Instance& inst, int workers, int rounds, const QString& batch)
{
    std::vector<std::unique_ptr<Session>> sessions;
    for (int w = 0; w < workers; ++w) sessions.push_back(inst.connectIntegrated());
    std::mutex m;
    std::map<int, int> failures;
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            Session& s = *sessions[size_t(w)];
            for (int i = 0; i < rounds; ++i) {
                BatchResult r = s.execute(batch);
                if (!r.errors.empty()) {
                    std::lock_guard g(m);
                    ++failures[r.errors[0].number];
                }
                if (s.tranCount() != 0) s.execute(QStringLiteral("ROLLBACK"));
            }
        });
    for (auto& t : threads) t.join();
    return failures;
}

} // namespace

TEST(LockingModules, AProcedureThatReadsThenWritesOutsideATransactionIsNeverADeadlockVictim)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto admin = inst->connectIntegrated();
    ASSERT_FALSE(admin->execute(QStringLiteral("CREATE TABLE t (n int NOT NULL)")).failed());
    ASSERT_FALSE(admin->execute(QStringLiteral("CREATE PROCEDURE add_one AS\nDECLARE @n int\nSELECT @n = count(*) FROM t\nINSERT INTO t VALUES (@n)")).failed());
    auto failures = runSideBySide(*inst, 3, 150, QStringLiteral("EXEC add_one"));
    EXPECT_TRUE(failures.empty()) << failures.begin()->first << " x" << failures.begin()->second;
    failures = runSideBySide(*inst, 3, 150, QStringLiteral("EXEC ('DECLARE @n int SELECT @n = count(*) FROM t INSERT INTO t VALUES (@n)')"));
    EXPECT_TRUE(failures.empty()) << failures.begin()->first << " x" << failures.begin()->second;
    // every count was read alone: the values are 0..899 each once
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT count(*) FROM t")), QStringLiteral("900"));
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT count(DISTINCT n) FROM t")), QStringLiteral("900"));
}

TEST(LockingModules, ReadThenWriteTransactionsLoseNoRow)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto admin = inst->connectIntegrated();
    ASSERT_FALSE(admin->execute(QStringLiteral("CREATE TABLE t (n int NOT NULL)")).failed());
    auto failures = runSideBySide(*inst, 3, 200, QStringLiteral("BEGIN TRAN DECLARE @n int SELECT @n = count(*) FROM t INSERT INTO t VALUES (@n) COMMIT"));
    int refused = 0;
    for (auto [n, k] : failures) {
        EXPECT_EQ(n, 1205);
        refused += k;
    }
    const QString kept = QString::number(600 - refused);
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT count(*) FROM t")), kept);
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT count(DISTINCT n) FROM t")), kept);
}

TEST(LockingModules, TheLocksOfASessionThatEndsGoWithIt)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto a = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE TABLE t (n int)")).failed());
    auto b = inst->connectIntegrated();
    ASSERT_EQ(firstValue(*a, QStringLiteral("BEGIN TRAN SELECT count(*) FROM t")), QStringLiteral("0"));
    a.reset();
    EXPECT_FALSE(b->execute(QStringLiteral("SET LOCK_TIMEOUT 0 INSERT INTO t VALUES (1)")).failed());
    a = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN INSERT INTO t VALUES (2)")).failed());
    a.reset();
    EXPECT_FALSE(b->execute(QStringLiteral("SET LOCK_TIMEOUT 0 INSERT INTO t VALUES (3)")).failed());
    EXPECT_EQ(firstValue(*b, QStringLiteral("SELECT count(*) FROM t")), QStringLiteral("2"));
}

TEST(LockingModules, ThreeSessionsInACycleGiveOneVictimAndTheOthersFinish)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    std::vector<std::unique_ptr<Session>> s;
    for (int i = 0; i < 3; ++i) s.push_back(inst->connectIntegrated());
    for (int i = 0; i < 3; ++i)
        ASSERT_FALSE(s[0]->execute(QStringLiteral("CREATE DATABASE d%1 CREATE TABLE d%1..t (n int)").arg(i)).failed());
    ASSERT_FALSE(s[0]->execute(QStringLiteral("CREATE PROCEDURE add_to @to int, @n int AS\n"
                                              "IF @to = 0 INSERT INTO d0..t VALUES (@n)\n"
                                              "IF @to = 1 INSERT INTO d1..t VALUES (@n)\n"
                                              "IF @to = 2 INSERT INTO d2..t VALUES (@n)")).failed());
    for (int i = 0; i < 3; ++i)
        ASSERT_FALSE(s[size_t(i)]->execute(QStringLiteral("BEGIN TRAN EXEC master..add_to %1, %1").arg(i)).failed());
    // SET LOCK_TIMEOUT keeps a missed cycle from passing as a slow one
    for (auto& x : s) ASSERT_FALSE(x->execute(QStringLiteral("SET LOCK_TIMEOUT 3000")).failed());
    std::vector<BatchResult> r(3);
    std::atomic<int> finished[3] = {0, 0, 0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i)
        threads.emplace_back([&, i] {
            r[size_t(i)] = s[size_t(i)]->execute(QStringLiteral("SELECT count(*) FROM d%1..t").arg((i + 1) % 3));
            finished[i] = 1;
        });
    // one victim frees the cycle: the session waiting for it finishes, and its commit frees the last
    std::vector<bool> joined(3, false);
    int victims = 0, winners = 0;
    while (victims + winners < 3) {
        for (int i = 0; i < 3; ++i) {
            if (joined[size_t(i)] || !finished[i]) continue;
            threads[size_t(i)].join();
            joined[size_t(i)] = true;
            const BatchResult& x = r[size_t(i)];
            if (x.errors.empty()) {
                ++winners;
                EXPECT_EQ(x.resultSets.size(), 1u);
                ASSERT_FALSE(s[size_t(i)]->execute(QStringLiteral("COMMIT")).failed());
            } else {
                ++victims;
                EXPECT_EQ(x.errors[0].number, 1205) << x.errors[0].text.toStdString();
                EXPECT_EQ(s[size_t(i)]->tranCount(), 0);
            }
        }
        std::this_thread::yield();
    }
    EXPECT_EQ(victims, 1);
    int rows = 0;
    for (int i = 0; i < 3; ++i) rows += firstValue(*s[0], QStringLiteral("SELECT count(*) FROM d%1..t").arg(i)).toInt();
    EXPECT_EQ(rows, 2); // the victim's row went
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(s[size_t(i)]->execute(QStringLiteral("SET LOCK_TIMEOUT 0 INSERT INTO d%1..t VALUES (1)").arg(i)).failed());
}

TEST(LockingModules, AReaderWhoseWriteTimesOutKeepsItsTransactionAndItsSharedLock)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto a = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE TABLE t (n int) INSERT INTO t VALUES (1)")).failed());
    auto b = inst->connectIntegrated();
    auto c = inst->connectIntegrated();
    ASSERT_EQ(firstValue(*a, QStringLiteral("SET LOCK_TIMEOUT 100 BEGIN TRAN SELECT count(*) FROM t")), QStringLiteral("1"));
    ASSERT_EQ(firstValue(*b, QStringLiteral("SET LOCK_TIMEOUT 100 BEGIN TRAN SELECT count(*) FROM t")), QStringLiteral("1"));
    BatchResult r = a->execute(QStringLiteral("INSERT INTO t VALUES (2) SELECT count(*) FROM t"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 1222);
    EXPECT_EQ(r.errors[0].text.toStdString(), QStringLiteral("The lock request timed out: session %1 is reading database 'master'.").arg(b->spid()).toStdString());
    ASSERT_EQ(r.resultSets.size(), 1u); // the batch goes on
    EXPECT_EQ(r.resultSets[0].text(0, 0), QStringLiteral("1"));
    EXPECT_EQ(a->tranCount(), 1);
    // a still reads: b cannot write either
    r = b->execute(QStringLiteral("UPDATE t SET n = 5"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 1222);
    ASSERT_FALSE(b->execute(QStringLiteral("COMMIT")).failed());
    EXPECT_FALSE(c->execute(QStringLiteral("SET LOCK_TIMEOUT 0 BEGIN TRAN SELECT count(*) FROM t COMMIT")).failed());
    ASSERT_FALSE(a->execute(QStringLiteral("INSERT INTO t VALUES (2) COMMIT")).failed());
    EXPECT_EQ(firstValue(*c, QStringLiteral("SELECT count(*) FROM t WHERE n = 2")), QStringLiteral("1"));
    EXPECT_FALSE(c->execute(QStringLiteral("SET LOCK_TIMEOUT 0 UPDATE t SET n = 3")).failed());
}
