// Sessions running modules and read-then-write transactions side by side: no row is lost or
// doubled, a module run outside a transaction is never a deadlock's victim, and the locks of a
// session that ends go with it.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <atomic>
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
