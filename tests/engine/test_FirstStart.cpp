// The first start, which makes the instance: killed, or its files made read-only, at any one of
// its file writes and syncs, the folder starts the next time and every database takes writes.

#include "FaultVfs.h"
#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace engine;

namespace {

QString srv(const TempDir& tmp) { return tmp.path() + QStringLiteral("/srv"); }

// The writes and syncs of one first start, the instance closed again.
int firstStartPoints()
{
    TempDir tmp;
    faultvfs::install();
    faultvfs::reset();
    faultvfs::skipSyncs();
    Instance::open(QStringLiteral("X"), srv(tmp));
    int n = faultvfs::points();
    faultvfs::reset();
    faultvfs::skipSyncs();
    return n;
}

void setDatabaseFilesMode(const QString& dir, mode_t mode)
{
    for (const QString& f : QDir(dir).entryList({QStringLiteral("*.db")}, QDir::Files))
        ::chmod(QFile::encodeName(dir + QLatin1Char('/') + f).constData(), mode);
}

// Starts the folder and writes to every database: master (the new database's record), model,
// msdb, tempdb and a new one.
::testing::AssertionResult startsAndTakesWrites(const QString& dir)
{
    try {
        auto inst = Instance::open(QStringLiteral("X"), dir);
        auto s = inst->connectIntegrated();
        BatchResult r = s->execute(QStringLiteral(
            "CREATE DATABASE shop CREATE TABLE shop..t (a int) INSERT INTO shop..t VALUES (1) "
            "CREATE TABLE model..m (a int) CREATE TABLE msdb..m (a int) CREATE TABLE tempdb..m (a int) "
            "SELECT (SELECT count(*) FROM master..sysdatabases), (SELECT count(*) FROM shop..t)"));
        if (r.failed()) return ::testing::AssertionFailure() << r.errors[0].number << " " << r.errors[0].text.toStdString();
        const ResultSet& rs = r.resultSets.at(0);
        if (rs.text(0, 0) != QLatin1String("5") || rs.text(0, 1) != QLatin1String("1"))
            return ::testing::AssertionFailure() << "databases, rows: " << rs.text(0, 0).toStdString() << ", " << rs.text(0, 1).toStdString();
        return ::testing::AssertionSuccess();
    } catch (const SqlError& e) {
        return ::testing::AssertionFailure() << "start: " << e.number() << " " << e.what();
    }
}

// Runs `attempt` for every point from 1 to total, each in a child process of its own on a fresh
// folder, a few at a time; returns the points whose attempt failed.
std::vector<int> failingPoints(int total, const std::function<bool(int, const QString&)>& attempt)
{
    constexpr int inFlight = 4;
    std::vector<int> failed;
    std::map<pid_t, std::pair<int, std::unique_ptr<TempDir>>> running;
    auto reap = [&] {
        int status = 0;
        pid_t pid = waitpid(-1, &status, 0);
        auto it = running.find(pid);
        if (it == running.end()) return;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) failed.push_back(it->second.first);
        running.erase(it);
    };
    for (int n = 1; n <= total; ++n) {
        while (int(running.size()) >= inFlight) reap();
        auto tmp = std::make_unique<TempDir>();
        const QString dir = srv(*tmp);
        pid_t pid = fork();
        if (pid < 0) return {-1};
        if (pid == 0) _exit(attempt(n, dir) ? 0 : 1);
        running.emplace(pid, std::make_pair(n, std::move(tmp)));
    }
    while (!running.empty()) reap();
    std::sort(failed.begin(), failed.end());
    return failed;
}

} // namespace

TEST(FirstStart, KilledAtAnyWriteItFinishesOnTheNextStart)
{
    const int total = firstStartPoints();
    ASSERT_GT(total, 20);
    auto killedThenStarted = [](int n, const QString& dir) {
        pid_t pid = fork();
        if (pid == 0) {
            faultvfs::reset();
            faultvfs::skipSyncs();
            faultvfs::atPoint(n, [] { _exit(0); });
            try {
                Instance::open(QStringLiteral("X"), dir);
            } catch (...) {
                _exit(2);
            }
            _exit(1); // the kill point was never reached
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
        faultvfs::reset();
        faultvfs::skipSyncs();
        auto started = startsAndTakesWrites(dir);
        if (!started) std::fprintf(stderr, "killed at write %d: %s\n", n, started.message());
        return bool(started);
    };
    EXPECT_EQ(failingPoints(total, killedThenStarted), std::vector<int>{}) << "of " << total << " writes";
}

TEST(FirstStart, DatabaseFilesMadeReadOnlyAtAnyWriteTakeWritesOnceWritableAgain)
{
    faultvfs::refuseWritesToReadOnlyFiles();
    const int total = firstStartPoints();
    auto readOnlyThenWritable = [](int n, const QString& dir) {
        faultvfs::reset();
        faultvfs::skipSyncs();
        faultvfs::atPoint(n, [&] { setDatabaseFilesMode(dir, 0400); });
        try {
            Instance::open(QStringLiteral("X"), dir);
        } catch (const SqlError&) {
            // refused while read-only: what matters is the start after
        }
        faultvfs::reset();
        faultvfs::skipSyncs();
        setDatabaseFilesMode(dir, 0600);
        auto started = startsAndTakesWrites(dir);
        if (!started) std::fprintf(stderr, "read-only from write %d: %s\n", n, started.message());
        return bool(started);
    };
    EXPECT_EQ(failingPoints(total, readOnlyThenWritable), std::vector<int>{}) << "of " << total << " writes";
}

TEST(FirstStart, AFolderWhoseMasterWasRemovedIsNotMadeAgainOverItsDatabases)
{
    TempDir tmp;
    const QString dir = srv(tmp);
    {
        auto inst = Instance::open(QStringLiteral("X"), dir);
        ASSERT_FALSE(inst->connectIntegrated()
                         ->execute(QStringLiteral("CREATE DATABASE shop CREATE TABLE shop..t (a int) INSERT INTO shop..t VALUES (1) "
                                                  "CREATE TABLE msdb..kept (a int) INSERT INTO msdb..kept VALUES (7)"))
                         .failed());
    }
    ASSERT_TRUE(QFile::rename(dir + QStringLiteral("/master.db"), dir + QStringLiteral("/master.old")));
    const QStringList files = QDir(dir).entryList(QDir::Files);
    try {
        Instance::open(QStringLiteral("X"), dir);
        ADD_FAILURE() << "started without master";
    } catch (const SqlError& e) {
        EXPECT_EQ(e.number(), 17);
    }
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), files) << "no file removed or made";

    // master back, everything is there
    ASSERT_TRUE(QFile::rename(dir + QStringLiteral("/master.old"), dir + QStringLiteral("/master.db")));
    auto inst = Instance::open(QStringLiteral("X"), dir);
    BatchResult r = inst->connectIntegrated()->execute(QStringLiteral("SELECT (SELECT a FROM shop..t), (SELECT a FROM msdb..kept)"));
    ASSERT_FALSE(r.failed());
    EXPECT_EQ(r.resultSets.at(0).text(0, 0), QStringLiteral("1"));
    EXPECT_EQ(r.resultSets.at(0).text(0, 1), QStringLiteral("7"));
}
