// The data folder: one process at a time (a second is told which program holds it), and files
// readable by the user alone.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace engine;

namespace {

// Another process holding an instance folder until release().
class Holder {
public:
    void start(const QString& dir)
    {
        process_.start(QStringLiteral(INSTANCE_HOLDER), {dir});
    }
    // true once it holds the folder, false when it ended (refused)
    bool ready()
    {
        while (!process_.canReadLine()) {
            if (process_.state() == QProcess::NotRunning) return false;
            if (!process_.waitForReadyRead(30000) && process_.state() == QProcess::NotRunning) return false;
        }
        return process_.readLine().trimmed() == "ready";
    }
    qint64 pid() const { return process_.processId(); }
    QString refusal()
    {
        process_.waitForFinished(30000);
        return QString::fromUtf8(process_.readAllStandardError()).trimmed();
    }
    int exitCode() const { return process_.exitCode(); }
    void release()
    {
        process_.closeWriteChannel();
        process_.waitForFinished(30000);
    }
    ~Holder()
    {
        if (process_.state() != QProcess::NotRunning) release();
    }

private:
    QProcess process_;
};

QString inUse(const QString& dir, const QString& program, qint64 pid)
{
    return QStringLiteral("The server's data folder %1 is in use by another program (%2, process %3). Close that program first.")
        .arg(dir, program, QString::number(pid));
}

int modeOf(const QString& path)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return int(st.st_mode & 0777);
}

} // namespace

TEST(InstanceFolder, AFolderHeldByAnotherProcessIsRefusedNamingIt)
{
    TempDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/srv");
    Holder other;
    other.start(dir);
    ASSERT_TRUE(other.ready());
    try {
        Instance::open(QStringLiteral("X"), dir);
        FAIL() << "opened a folder another process holds";
    } catch (const SqlError& e) {
        EXPECT_EQ(e.number(), 17);
        EXPECT_EQ(e.message().text, inUse(dir, QStringLiteral("instance_holder"), other.pid()));
    }
    other.release();

    // once it is gone the folder opens, and then this process is the one named
    auto inst = Instance::open(QStringLiteral("X"), dir);
    EXPECT_FALSE(inst->connectIntegrated()->execute(QStringLiteral("CREATE TABLE t (a int)")).failed());
    Holder late;
    late.start(dir);
    EXPECT_FALSE(late.ready());
    EXPECT_EQ(late.exitCode(), 1);
    EXPECT_EQ(late.refusal(), QStringLiteral("17 ") + inUse(dir, QCoreApplication::applicationName(), QCoreApplication::applicationPid()));
}

TEST(InstanceFolder, TwoProcessesStartingTogetherOneOpensAndTheOtherIsRefused)
{
    for (int round = 0; round < 4; ++round) {
        TempDir tmp;
        const QString dir = tmp.path() + QStringLiteral("/srv");
        Holder first, second;
        first.start(dir);
        second.start(dir);
        bool firstReady = first.ready(), secondReady = second.ready();
        ASSERT_NE(firstReady, secondReady) << "round " << round;
        Holder& winner = firstReady ? first : second;
        Holder& loser = firstReady ? second : first;
        EXPECT_EQ(loser.refusal(), QStringLiteral("17 ") + inUse(dir, QStringLiteral("instance_holder"), winner.pid()));
        winner.release();
        EXPECT_EQ(winner.exitCode(), 0);
        auto inst = Instance::open(QStringLiteral("X"), dir);
        BatchResult r = inst->connectIntegrated()->execute(QStringLiteral("SELECT count(*) FROM tempdb..sysobjects WHERE xtype = 'U'"));
        ASSERT_FALSE(r.failed()) << r.errors[0].text.toStdString();
        EXPECT_EQ(r.resultSets.at(0).text(0, 0), QStringLiteral("0"));
    }
}

TEST(InstanceFolder, FilesAreReadableByTheUserAloneWhateverTheUmask)
{
    TempDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/srv");
    mode_t old = ::umask(0);
    {
        auto inst = Instance::open(QStringLiteral("X"), dir);
        auto s = inst->connectIntegrated();
        ASSERT_FALSE(s->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'secret' CREATE DATABASE shop")).failed());
        ASSERT_FALSE(s->execute(QStringLiteral("CREATE TABLE shop..t (a int) INSERT INTO shop..t VALUES (1)")).failed());
        ::umask(old);
        EXPECT_EQ(modeOf(dir), 0700);
        QStringList files = QDir(dir).entryList(QDir::Files);
        for (const char* f : {"master.db", "master.db-wal", "master.db-shm", "model.db", "msdb.db", "tempdb.db", "shop.db",
                              "shop.db-wal", "shop.db-shm", "instance.lock"})
            EXPECT_TRUE(files.contains(QLatin1String(f))) << f;
        for (const QString& f : files) EXPECT_EQ(modeOf(dir + QLatin1Char('/') + f), 0600) << f.toStdString();
    }
    ::umask(old);
}
