// Instances: data directory, system databases, server names, logins, sessions side by side.

#include "FirstValue.h"
#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace engine;
using enginetest::firstValue;

TEST(Instance, CreatesSystemDatabasesAndKeepsDataAcrossOpens)
{
    TempDir tmp;
    QString dir = tmp.path() + QStringLiteral("/srv");
    {
        auto inst = Instance::open(QStringLiteral("X"), dir);
        for (const char* f : {"master.db", "model.db", "msdb.db", "tempdb.db"})
            EXPECT_TRUE(QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(f))) << f;
        auto s = inst->connectIntegrated();
        EXPECT_EQ(s->currentDatabase(), QStringLiteral("master"));
        EXPECT_FALSE(s->execute(QStringLiteral("CREATE DATABASE Keep")).failed());
        EXPECT_FALSE(s->execute(QStringLiteral("CREATE TABLE Keep.dbo.t (a int) INSERT INTO Keep.dbo.t VALUES (7)")).failed());
        EXPECT_FALSE(s->execute(QStringLiteral("USE tempdb CREATE TABLE scratch (a int)")).failed());
    }
    auto inst = Instance::open(QStringLiteral("X"), dir);
    auto s = inst->connectIntegrated();
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT a FROM Keep..t")), QStringLiteral("7"));
    // tempdb starts empty at each start
    BatchResult r = s->execute(QStringLiteral("SELECT * FROM tempdb..scratch"));
    ASSERT_TRUE(r.failed());
    EXPECT_EQ(r.errors[0].number, 208);
}

TEST(Instance, SameDirectoryGivesTheSameInstance)
{
    TempDir tmp;
    auto a = Instance::open(QStringLiteral("X"), tmp.path());
    auto b = Instance::open(QStringLiteral("X"), tmp.path() + QStringLiteral("/."));
    EXPECT_EQ(a.get(), b.get());
}

TEST(Instance, ServerNamesMapToInstancesUnderTheDataRoot)
{
    TempDir tmp;
    Instance::setDataRoot(tmp.path());
    auto local = Instance::forServer(QStringLiteral("(LOCAL)"));
    EXPECT_EQ(Instance::forServer(QStringLiteral(".")).get(), local.get());
    EXPECT_EQ(Instance::forServer(QStringLiteral("localhost")).get(), local.get());
    EXPECT_EQ(Instance::forServer(QSysInfo::machineHostName().toLower()).get(), local.get());
    auto named = Instance::forServer(QStringLiteral("(local)\\Dev"));
    EXPECT_NE(named.get(), local.get());
    EXPECT_TRUE(named->dataDir().startsWith(tmp.path()));
    EXPECT_EQ(Instance::forServer(QSysInfo::machineHostName() + QStringLiteral("\\dev")).get(), named.get());
    for (const char* bad : {"otherbox", "otherbox\\X", "(local)\\", "(local)\\a/b"}) {
        try {
            Instance::forServer(QLatin1String(bad));
            ADD_FAILURE() << bad;
        } catch (const SqlError& e) {
            EXPECT_EQ(e.number(), 17) << bad;
        }
    }
    Instance::setDataRoot(QString());
}

TEST(Logins, SqlLoginsKeepOnlyAHashAndRefuseWrongPasswords)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto admin = inst->connectIntegrated();
    BatchResult r = admin->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'S3cret!pw'"));
    ASSERT_FALSE(r.failed()) << r.errors[0].text.toStdString();
    EXPECT_EQ(admin->execute(QStringLiteral("sp_addlogin 'JOE', 'x'")).errors.at(0).number, 15025);

    auto joe = inst->connect(QStringLiteral("joe"), QStringLiteral("S3cret!pw"));
    EXPECT_EQ(joe->loginName(), QStringLiteral("joe"));
    EXPECT_NE(joe->spid(), admin->spid());
    for (auto [login, pwd] : {std::pair{"joe", "wrong"}, std::pair{"nobody", "S3cret!pw"}, std::pair{"joe", ""}}) {
        try {
            inst->connect(QLatin1String(login), QLatin1String(pwd));
            ADD_FAILURE() << login;
        } catch (const SqlError& e) {
            EXPECT_EQ(e.number(), 18456);
        }
    }
    // a non-sysadmin may not add logins
    EXPECT_EQ(joe->execute(QStringLiteral("sp_addlogin 'ann', 'pw'")).errors.at(0).number, 15247);
    // the password is nowhere in the files
    admin.reset();
    joe.reset();
    for (const QString& f : QDir(tmp.path()).entryList({QStringLiteral("master.db*")})) {
        QFile file(tmp.path() + QLatin1Char('/') + f);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains("S3cret!pw")) << f.toStdString();
    }
}

TEST(Logins, UnqualifiedNamesResolveToTheUsersOwnTableThenDbo)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto admin = inst->connectIntegrated();
    ASSERT_FALSE(admin->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'pw'\n"
                                               "CREATE TABLE dbo.t (a varchar(10)) INSERT INTO dbo.t VALUES ('dbo')\n"
                                               "CREATE TABLE joe.t (a varchar(10)) INSERT INTO joe.t VALUES ('joe')\n"
                                               "CREATE TABLE dbo.only_dbo (a int)")).failed());
    auto joe = inst->connect(QStringLiteral("joe"), QStringLiteral("pw"));
    EXPECT_EQ(firstValue(*joe, QStringLiteral("SELECT a FROM t")), QStringLiteral("joe"));
    EXPECT_EQ(firstValue(*joe, QStringLiteral("SELECT a FROM dbo.t")), QStringLiteral("dbo"));
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT a FROM t")), QStringLiteral("dbo"));
    EXPECT_FALSE(joe->execute(QStringLiteral("SELECT * FROM only_dbo")).failed());
    // a table joe creates is joe's
    ASSERT_FALSE(joe->execute(QStringLiteral("CREATE TABLE mine (a int)")).failed());
    EXPECT_EQ(firstValue(*admin, QStringLiteral("SELECT count(*) FROM joe.mine")), QStringLiteral("0"));
}

TEST(Sessions, ReadersAreNotBlockedByAnotherSessionsTransaction)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto a = inst->connectIntegrated();
    auto b = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE TABLE t (a int) INSERT INTO t VALUES (1)")).failed());
    ASSERT_FALSE(a->execute(QStringLiteral("BEGIN TRAN INSERT INTO t VALUES (2) UPDATE t SET a = 10 WHERE a = 1")).failed());
    EXPECT_EQ(a->tranCount(), 1);
    // the other session sees the committed rows at once
    EXPECT_EQ(firstValue(*b, QStringLiteral("SELECT sum(a) FROM t")), QStringLiteral("1"));
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT sum(a) FROM t")), QStringLiteral("12"));
    ASSERT_FALSE(a->execute(QStringLiteral("COMMIT")).failed());
    EXPECT_EQ(firstValue(*b, QStringLiteral("SELECT sum(a) FROM t")), QStringLiteral("12"));
}

TEST(Sessions, DropDatabaseIsRefusedWhileAnotherSessionUsesIt)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto a = inst->connectIntegrated();
    auto b = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE DATABASE d1")).failed());
    ASSERT_FALSE(b->execute(QStringLiteral("USE d1")).failed());
    EXPECT_EQ(a->execute(QStringLiteral("DROP DATABASE d1")).errors.at(0).number, 3702);
    EXPECT_EQ(b->execute(QStringLiteral("DROP DATABASE d1")).errors.at(0).number, 3702); // its own current database
    b.reset();
    EXPECT_FALSE(a->execute(QStringLiteral("DROP DATABASE d1")).failed());
    EXPECT_EQ(a->execute(QStringLiteral("USE d1")).errors.at(0).number, 911);
    EXPECT_EQ(a->execute(QStringLiteral("BEGIN TRAN CREATE DATABASE d2")).errors.at(0).number, 226);
}

TEST(Sessions, IdentityValuesAreSharedBetweenSessions)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto a = inst->connectIntegrated();
    auto b = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE TABLE t (id int IDENTITY, v int) INSERT INTO t (v) VALUES (1)")).failed());
    ASSERT_FALSE(b->execute(QStringLiteral("INSERT INTO t (v) VALUES (2)")).failed());
    EXPECT_EQ(firstValue(*b, QStringLiteral("SELECT @@IDENTITY")), QStringLiteral("2"));
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT @@IDENTITY")), QStringLiteral("1"));
}

TEST(Recovery, AnInstanceKilledInATransactionReopensWithoutIt)
{
    TempDir tmp;
    QString dir = tmp.path() + QStringLiteral("/srv");
    {
        auto inst = Instance::open(QStringLiteral("X"), dir);
        auto s = inst->connectIntegrated();
        ASSERT_FALSE(s->execute(QStringLiteral("CREATE DATABASE d CREATE TABLE d..t (a int) INSERT INTO d..t VALUES (1)")).failed());
    }
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // the child opens the instance anew (the parent's is closed) and dies mid-transaction
        auto inst = Instance::open(QStringLiteral("Y"), dir + QStringLiteral("/."));
        auto s = inst->connectIntegrated();
        s->execute(QStringLiteral("BEGIN TRAN INSERT INTO d..t VALUES (2) CREATE TABLE d..u (b int) DELETE FROM d..t WHERE a = 1"));
        _exit(s->tranCount() == 1 ? 0 : 3);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    auto inst = Instance::open(QStringLiteral("X"), dir);
    auto s = inst->connectIntegrated();
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM d..t WHERE a = 1")), QStringLiteral("1"));
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM d..t")), QStringLiteral("1"));
    EXPECT_EQ(s->execute(QStringLiteral("SELECT * FROM d..u")).errors.at(0).number, 208);
}

TEST(Sessions, TempTablesArePrivateAndGoAwayWithTheSession)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto a = inst->connectIntegrated();
    auto b = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE TABLE #t (v int) INSERT INTO #t VALUES (1) CREATE TABLE ##g (v int)")).failed());
    ASSERT_FALSE(b->execute(QStringLiteral("CREATE TABLE #t (v int) INSERT INTO #t VALUES (2) INSERT INTO #t VALUES (3)")).failed());
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT sum(v) FROM #t")), QStringLiteral("1"));
    EXPECT_EQ(firstValue(*b, QStringLiteral("SELECT sum(v) FROM #t")), QStringLiteral("5"));
    EXPECT_FALSE(b->execute(QStringLiteral("INSERT INTO ##g VALUES (4)")).failed());
    a.reset();
    EXPECT_EQ(firstValue(*b, QStringLiteral("SELECT count(*) FROM tempdb..sysobjects WHERE xtype = 'U'")), QStringLiteral("1"));
    EXPECT_EQ(b->execute(QStringLiteral("SELECT * FROM ##g")).errors.at(0).number, 208);
}

TEST(Sessions, AnOpenCursorDoesNotBlockAnotherSessionsWrite)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto a = inst->connectIntegrated();
    auto b = inst->connectIntegrated();
    ASSERT_FALSE(a->execute(QStringLiteral("CREATE TABLE t (id int, c nvarchar(10))\n"
                                           "DECLARE @i int SET @i = 0 WHILE @i < 50 BEGIN INSERT INTO t VALUES (@i, N'x') SET @i = @i + 1 END")).failed());
    auto cursor = a->openQuery(QStringLiteral("SELECT id, c FROM t ORDER BY id"));
    Row row;
    ASSERT_TRUE(cursor->fetch(row));
    BatchResult r = b->execute(QStringLiteral("UPDATE [t] SET [c] = N'12' WHERE [id] = 5"));
    ASSERT_FALSE(r.failed()) << r.errors[0].text.toStdString();
    EXPECT_EQ(r.rowCount, 1);
    int n = 1;
    while (cursor->fetch(row)) ++n;
    EXPECT_EQ(n, 50);
    cursor.reset();
    EXPECT_EQ(firstValue(*a, QStringLiteral("SELECT c FROM t WHERE id = 5")), QStringLiteral("12"));
    // the cursor's own session writes too while its cursor is open
    auto c2 = a->openQuery(QStringLiteral("SELECT id FROM t"));
    ASSERT_TRUE(c2->fetch(row));
    EXPECT_FALSE(a->execute(QStringLiteral("UPDATE t SET c = N'y' WHERE id = 6")).failed());
}
