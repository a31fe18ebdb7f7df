// A full disk and a read-only database file, met by batches as the query window sends them:
// the server's ordinary errors, and nothing made, reported as made or left behind.

#include "FaultVfs.h"
#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <utility>

#include <sys/stat.h>

using namespace engine;

namespace {

QString firstValue(Session& s, const QString& sql)
{
    BatchResult r = s.execute(sql);
    if (r.failed()) return QStringLiteral("error %1").arg(r.errors[0].number);
    return r.resultSets.at(0).text(0, 0);
}

// A folder with database shop (table t) made and closed, so that no log holds free space.
QString madeFolder(const TempDir& tmp)
{
    const QString dir = tmp.path() + QStringLiteral("/srv");
    auto inst = Instance::open(QStringLiteral("X"), dir);
    BatchResult r = inst->connectIntegrated()->execute(QStringLiteral("CREATE DATABASE shop CREATE TABLE shop..t (a int)"));
    EXPECT_FALSE(r.failed());
    return dir;
}

class StorageErrors : public ::testing::Test {
protected:
    void SetUp() override
    {
        faultvfs::refuseWritesToReadOnlyFiles();
        faultvfs::reset();
    }
    void TearDown() override { faultvfs::reset(); }
};

} // namespace

TEST_F(StorageErrors, AFullDiskRefusesWritesWithLogFullAndKeepsNothing)
{
    TempDir tmp;
    const QString dir = madeFolder(tmp);
    auto inst = Instance::open(QStringLiteral("X"), dir);
    auto s = inst->connectIntegrated();
    faultvfs::setDiskFull(true);

    BatchResult r = s->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'secret'"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 9002);
    EXPECT_EQ(r.errors[0].severity, 17);
    EXPECT_EQ(r.errors[0].text, QStringLiteral("The log of database 'master' is full: there is no space left on the disk."));
    EXPECT_EQ(r.messages.size(), 1u) << "the login is not reported as created";

    r = s->execute(QStringLiteral("INSERT INTO shop..t VALUES (1)"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 9002);
    EXPECT_EQ(r.errors[0].severity, 17);
    EXPECT_EQ(r.errors[0].text, QStringLiteral("The log of database 'shop' is full: there is no space left on the disk."));

    const QStringList filesBefore = QDir(dir).entryList(QDir::Files);
    r = s->execute(QStringLiteral("CREATE DATABASE big"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 1105);
    EXPECT_EQ(r.errors[0].severity, 17);
    EXPECT_EQ(r.errors[0].text, QStringLiteral("No space could be allocated for database 'big': there is no space left on the disk."));
    EXPECT_EQ(r.messages.size(), 1u) << "no space is reported as allocated";
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), filesBefore);

    // a later statement in the same session is not refused for the earlier ones
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM shop..t")), QStringLiteral("0"));
    EXPECT_EQ(s->tranCount(), 0);

    faultvfs::setDiskFull(false);
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM master..sysdatabases WHERE name = 'big'")), QStringLiteral("0"));
    EXPECT_THROW(inst->connect(QStringLiteral("joe"), QStringLiteral("secret")), SqlError);
    // with space again the same statements work
    EXPECT_FALSE(s->execute(QStringLiteral("INSERT INTO shop..t VALUES (1) CREATE DATABASE big")).failed());
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM shop..t")), QStringLiteral("1"));
}

TEST_F(StorageErrors, AReadOnlyDatabaseFileRefusesWritesAsAReadOnlyDatabase)
{
    TempDir tmp;
    const QString dir = madeFolder(tmp);
    const QByteArray shop = QFile::encodeName(dir + QStringLiteral("/shop.db"));
    ASSERT_EQ(::chmod(shop.constData(), 0400), 0);
    {
        auto inst = Instance::open(QStringLiteral("X"), dir);
        auto s = inst->connectIntegrated();
        EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM shop..t")), QStringLiteral("0"));
        for (const char* sql : {"INSERT INTO shop..t VALUES (1)", "CREATE TABLE shop..u (a int)"}) {
            BatchResult r = s->execute(QLatin1String(sql));
            ASSERT_EQ(r.errors.size(), 1u) << sql;
            EXPECT_EQ(r.errors[0].number, 3906) << sql;
            EXPECT_EQ(r.errors[0].severity, 16) << sql;
            EXPECT_EQ(r.errors[0].text, QStringLiteral("Database 'shop' is read-only; it cannot be changed.")) << sql;
        }
        // the session goes on in other databases
        EXPECT_FALSE(s->execute(QStringLiteral("CREATE TABLE t2 (a int) INSERT INTO t2 VALUES (1)")).failed());
    }
    EXPECT_EQ(::chmod(shop.constData(), 0600), 0);
}

TEST_F(StorageErrors, DropDatabaseNamesTheFileItRemovesWithoutItsFolder)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path() + QStringLiteral("/srv"));
    auto admin = inst->connectIntegrated();
    ASSERT_FALSE(admin->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'secret' CREATE DATABASE [my shop]")).failed());
    auto joe = inst->connect(QStringLiteral("joe"), QStringLiteral("secret"));
    BatchResult r = joe->execute(QStringLiteral("DROP DATABASE [my shop]"));
    ASSERT_FALSE(r.failed());
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text, QStringLiteral("Removing database file 'my_shop.db'."));
    EXPECT_FALSE(r.messages[0].text.contains(tmp.path()));
}

TEST_F(StorageErrors, AFullDiskAtACommitNamesTheDatabaseWritten)
{
    TempDir tmp;
    const QString dir = madeFolder(tmp);
    auto inst = Instance::open(QStringLiteral("X"), dir);
    auto s = inst->connectIntegrated();
    ASSERT_FALSE(s->execute(QStringLiteral("BEGIN TRAN INSERT INTO shop..t VALUES (1)")).failed());
    faultvfs::setDiskFull(true);
    BatchResult r = s->execute(QStringLiteral("COMMIT"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 9002);
    EXPECT_EQ(r.errors[0].text, QStringLiteral("The log of database 'shop' is full: there is no space left on the disk."));

    r = s->execute(QStringLiteral("CREATE TABLE #w (a char(8000)) INSERT INTO #w VALUES ('a')"));
    ASSERT_FALSE(r.errors.empty());
    EXPECT_EQ(r.errors[0].number, 9002);
    EXPECT_EQ(r.errors[0].text, QStringLiteral("The log of database 'tempdb' is full: there is no space left on the disk."));

    // a database that cannot be dropped stays whole
    r = s->execute(QStringLiteral("DROP DATABASE shop"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].number, 9002);
    EXPECT_EQ(r.errors[0].text, QStringLiteral("The log of database 'master' is full: there is no space left on the disk."));
    EXPECT_TRUE(r.messages.size() == 1u) << "the file is not reported as removed";
    faultvfs::setDiskFull(false);
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/shop.db")));
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM shop..t")), QStringLiteral("0"));
    EXPECT_EQ(s->tranCount(), 0);
}

TEST_F(StorageErrors, FilesThatCannotBeMadeOrOpenedAreNamedWithoutTheFolder)
{
    TempDir tmp;
    const QString dir = madeFolder(tmp);
    auto inst = Instance::open(QStringLiteral("X"), dir);
    ASSERT_FALSE(inst->connectIntegrated()->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'secret', 'shop'")).failed());
    auto joe = inst->connect(QStringLiteral("joe"), QStringLiteral("secret"));
    // a name taken by a link to nowhere, a database file replaced by a folder
    ASSERT_TRUE(QFile::link(dir + QStringLiteral("/nowhere/x"), dir + QStringLiteral("/d2.db")));
    ASSERT_TRUE(QFile::remove(dir + QStringLiteral("/shop.db")));
    ASSERT_TRUE(QDir().mkdir(dir + QStringLiteral("/shop.db")));
    const std::pair<const char*, const char*> cases[] = {{"CREATE DATABASE d2", "d2.db"}, {"SELECT * FROM shop..t", "shop.db"}};
    for (const auto& [sql, file] : cases) {
        BatchResult r = joe->execute(QLatin1String(sql));
        ASSERT_EQ(r.errors.size(), 1u) << sql;
        EXPECT_FALSE(r.errors[0].text.contains(tmp.path())) << r.errors[0].text.toStdString();
        EXPECT_TRUE(r.errors[0].text.contains(QLatin1String(file))) << r.errors[0].text.toStdString();
    }
}

TEST_F(StorageErrors, AFullDiskInsideATransactionNamesTheDatabaseWritten)
{
    TempDir tmp;
    const QString dir = madeFolder(tmp);
    auto inst = Instance::open(QStringLiteral("X"), dir);
    auto s = inst->connectIntegrated();
    ASSERT_FALSE(s->execute(QStringLiteral("CREATE TABLE shop..big (a char(7000)) BEGIN TRAN INSERT INTO shop..t VALUES (1)")).failed());
    faultvfs::setDiskFull(true);
    // more than the cache holds: the transaction's pages go to the disk before its commit
    BatchResult r = s->execute(QStringLiteral("DECLARE @i int SET @i = 0 WHILE @i < 3000 AND @@ERROR = 0 BEGIN INSERT INTO shop..big VALUES ('x') SET @i = @i + 1 END"));
    faultvfs::setDiskFull(false);
    ASSERT_FALSE(r.errors.empty());
    EXPECT_EQ(r.errors[0].number, 9002);
    EXPECT_EQ(r.errors[0].text, QStringLiteral("The log of database 'shop' is full: there is no space left on the disk."));
    s->execute(QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK"));
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM shop..t")), QStringLiteral("0"));
}

TEST_F(StorageErrors, CreateDatabaseMeetingAFullDiskAtAnyWriteNamesADatabaseAndLeavesNothing)
{
    TempDir tmp;
    const QString dir = madeFolder(tmp);
    auto inst = Instance::open(QStringLiteral("X"), dir);
    auto s = inst->connectIntegrated();
    const QStringList filesBefore = QDir(dir).entryList({QStringLiteral("*.db")}, QDir::Files);
    for (int n = 1; n < 200; ++n) {
        faultvfs::reset();
        faultvfs::atPoint(faultvfs::points() + n, [] { faultvfs::setDiskFull(true); });
        BatchResult r = s->execute(QStringLiteral("CREATE DATABASE d2"));
        faultvfs::reset();
        if (!r.failed()) break;
        ASSERT_EQ(r.errors.size(), 1u) << "full from write " << n;
        EXPECT_TRUE(r.errors[0].number == 1105 || r.errors[0].number == 9002) << "full from write " << n;
        EXPECT_FALSE(r.errors[0].text.contains(QLatin1String("''"))) << "full from write " << n << ": " << r.errors[0].text.toStdString();
        EXPECT_EQ(QDir(dir).entryList({QStringLiteral("*.db")}, QDir::Files), filesBefore) << "full from write " << n;
        EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM master..sysdatabases WHERE name = 'd2'")), QStringLiteral("0"));
    }
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT count(*) FROM master..sysdatabases WHERE name = 'd2'")), QStringLiteral("1"));
}
