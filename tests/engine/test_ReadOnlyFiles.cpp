// Database files made read-only and then writable again: once writable, the database takes
// writes, in a new start and in a session that met it read-only.

#include "FaultVfs.h"
#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace engine;

namespace {

int errorOf(Session& s, const QString& sql)
{
    BatchResult r = s.execute(sql);
    return r.failed() ? r.errors[0].number : 0;
}

class ReadOnlyFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        faultvfs::refuseWritesToReadOnlyFiles();
        faultvfs::reset();
        dir_ = tmp_.path() + QStringLiteral("/srv");
        auto inst = Instance::open(QStringLiteral("X"), dir_);
        ASSERT_EQ(errorOf(*inst->connectIntegrated(), QStringLiteral("CREATE DATABASE shop CREATE TABLE shop..t (a int)")), 0);
    }
    void setMode(const char* file, mode_t mode)
    {
        ASSERT_EQ(::chmod(QFile::encodeName(dir_ + QLatin1Char('/') + QLatin1String(file)).constData(), mode), 0);
    }
    std::shared_ptr<Instance> start() { return Instance::open(QStringLiteral("X"), dir_); }

    TempDir tmp_;
    QString dir_;
};

} // namespace

TEST_F(ReadOnlyFiles, ADatabaseReadOnlyAtOneStartTakesWritesAtTheNextOnceWritable)
{
    setMode("shop.db", 0400);
    {
        auto inst = start();
        auto s = inst->connectIntegrated();
        EXPECT_EQ(errorOf(*s, QStringLiteral("SELECT * FROM shop..t")), 0); // reading it makes its -wal and -shm
        EXPECT_EQ(errorOf(*s, QStringLiteral("INSERT INTO shop..t VALUES (1)")), 3906);
    }
    setMode("shop.db", 0600);
    auto inst = start();
    auto s = inst->connectIntegrated();
    EXPECT_EQ(errorOf(*s, QStringLiteral("INSERT INTO shop..t VALUES (1) CREATE TABLE shop..u (a int)")), 0);
}

TEST_F(ReadOnlyFiles, MasterReadOnlyAtOneStartCreatesDatabasesAtTheNextOnceWritable)
{
    setMode("master.db", 0400);
    {
        auto inst = start();
        EXPECT_EQ(errorOf(*inst->connectIntegrated(), QStringLiteral("CREATE DATABASE d1")), 3906);
    }
    setMode("master.db", 0600);
    auto inst = start();
    auto s = inst->connectIntegrated();
    EXPECT_EQ(errorOf(*s, QStringLiteral("CREATE DATABASE d1")), 0);
    EXPECT_EQ(errorOf(*s, QStringLiteral("CREATE DATABASE d2 DROP DATABASE d1")), 0);
}

TEST_F(ReadOnlyFiles, ASessionThatMetADatabaseReadOnlyWritesToItOnceWritable)
{
    auto inst = start();
    auto s = inst->connectIntegrated();
    setMode("shop.db", 0400);
    EXPECT_EQ(errorOf(*s, QStringLiteral("INSERT INTO shop..t VALUES (1)")), 3906);
    EXPECT_EQ(errorOf(*s, QStringLiteral("USE shop INSERT INTO t VALUES (1)")), 3906);
    setMode("shop.db", 0600);
    EXPECT_EQ(errorOf(*s, QStringLiteral("INSERT INTO shop..t VALUES (1) INSERT INTO t VALUES (2)")), 0);
    EXPECT_EQ(errorOf(*inst->connectIntegrated(), QStringLiteral("INSERT INTO shop..t VALUES (3)")), 0);
}

TEST_F(ReadOnlyFiles, TwoSessionsThatReadADatabaseReadOnlyBothWriteToItOnceWritable)
{
    setMode("shop.db", 0400);
    auto inst = start();
    auto s = inst->connectIntegrated();
    auto other = inst->connectIntegrated();
    EXPECT_EQ(errorOf(*s, QStringLiteral("SELECT count(*) FROM shop..t")), 0);
    EXPECT_EQ(errorOf(*other, QStringLiteral("SELECT count(*) FROM shop..t")), 0);
    EXPECT_EQ(errorOf(*other, QStringLiteral("INSERT INTO shop..t VALUES (1)")), 3906);
    setMode("shop.db", 0600);
    EXPECT_EQ(errorOf(*s, QStringLiteral("INSERT INTO shop..t VALUES (1)")), 0);
    EXPECT_EQ(errorOf(*other, QStringLiteral("INSERT INTO shop..t VALUES (2)")), 0);
    BatchResult r = s->execute(QStringLiteral("SELECT count(*) FROM shop..t"));
    ASSERT_FALSE(r.failed());
    EXPECT_EQ(r.resultSets.at(0).text(0, 0), QStringLiteral("2"));
}
