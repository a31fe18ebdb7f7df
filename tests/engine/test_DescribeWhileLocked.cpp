// Procedures that describe a table read it as a SELECT does: they never wait for another
// session's transaction, and see what was last committed.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace engine;

TEST(DescribeWhileLocked, HelpProceduresDoNotWaitForAnotherTransaction)
{
    TempDir tmp;
    std::shared_ptr<Instance> inst = Instance::open(QStringLiteral("X"), tmp.path());
    std::unique_ptr<Session> a = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE DATABASE shop")).failed());
    ASSERT_FALSE(a->execute(QStringLiteral("USE shop CREATE TABLE t (id int NOT NULL PRIMARY KEY, v int)")).failed());
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE PROCEDURE p AS SELECT 1")).failed());
    std::unique_ptr<Session> b = inst->connectIntegrated();
    ASSERT_FALSE(b->execute(QStringLiteral("USE shop")).failed());
    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN INSERT INTO t VALUES (1, 1)")).failed());

    QElapsedTimer clock;
    clock.start();
    BatchResult index = b->execute(QStringLiteral("EXEC sp_helpindex 't'"));
    BatchResult text = b->execute(QStringLiteral("sp_helptext 'p'"));
    EXPECT_LT(clock.elapsed(), 2000);
    ASSERT_FALSE(index.failed()) << index.errors[0].text.toStdString();
    ASSERT_EQ(index.resultSets.size(), 1u);
    EXPECT_EQ(index.resultSets[0].text(0, 2), QStringLiteral("id"));
    ASSERT_FALSE(text.failed()) << text.errors[0].text.toStdString();
    EXPECT_EQ(text.resultSets[0].text(0, 0), QStringLiteral("CREATE PROCEDURE p AS SELECT 1"));

    // A write still waits for the lock.
    BatchResult write = b->execute(QStringLiteral("SET LOCK_TIMEOUT 100 EXEC sp_rename 't.v', 'w', 'COLUMN'"));
    ASSERT_EQ(write.errors.size(), 1u);
    EXPECT_EQ(write.errors[0].number, 1222);
    ASSERT_FALSE(a->execute(QStringLiteral("ROLLBACK")).failed());
}
