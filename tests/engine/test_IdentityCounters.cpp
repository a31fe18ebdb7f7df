// Identity counters and a statement whose changes cannot be written: the counter stays as the
// file has it.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace engine;

namespace {

std::string firstValue(Session& s, const QString& sql)
{
    BatchResult r = s.execute(sql);
    EXPECT_FALSE(r.failed()) << sql.toStdString() << ": " << (r.errors.empty() ? "" : r.errors[0].text.toStdString());
    if (r.resultSets.empty() || r.resultSets[0].rows.empty()) return "<none>";
    return r.resultSets[0].text(0, 0).toStdString();
}

// Files of this process cannot grow past their size now (a full disk, as far as they know).
class FilesCannotGrow {
public:
    explicit FilesCannotGrow(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = saved_;
        l.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FilesCannotGrow()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

} // namespace

TEST(IdentityCounters, AReseedThatCannotBeWrittenLeavesTheCounter)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto s = inst->connectIntegrated();
    ASSERT_FALSE(s->execute(QStringLiteral("CREATE DATABASE Shop")).failed());
    ASSERT_FALSE(s->execute(QStringLiteral("USE Shop CREATE TABLE t (id int IDENTITY, v int) INSERT INTO t (v) VALUES (1)")).failed());
    const QString wal = QDir(tmp.path()).filePath(QStringLiteral("Shop.db-wal"));
    ASSERT_TRUE(QFileInfo::exists(wal));
    {
        FilesCannotGrow full(rlim_t(QFileInfo(wal).size()));
        BatchResult r = s->execute(QStringLiteral("DBCC CHECKIDENT ('t', RESEED, 100)"));
        ASSERT_TRUE(r.failed());
    }
    ASSERT_FALSE(s->execute(QStringLiteral("INSERT INTO t (v) VALUES (2)")).failed());
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT id FROM t WHERE v = 2")), "2");
    EXPECT_EQ(firstValue(*s, QStringLiteral("SELECT @@TRANCOUNT")), "0");
}
