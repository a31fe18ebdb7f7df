// Runs arbitrary bytes, read as UTF-8, as one batch through Session::execute() on a temporary
// instance made once per process. T-SQL errors are fine; crashes, sanitizer reports and any
// answer of severity 20 or more (the server's own faults) are findings.
// A line "--connect LOGIN PASSWORD" ends the batch before it; the text after it runs as a batch
// of a new session of that login (an ordinary login "fuzz_user", password "fuzz_pw", is made at
// start).
//
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVARNOLT_FUZZ=ON -DVARNOLT_TESTS=OFF
//   cmake --build build-fuzz --target fuzz_session
//   fuzz/session_seeds build-fuzz/session-seeds
//   build-fuzz/fuzz/fuzz_session -dict=fuzz/tsql.dict -max_len=4096 CORPUS_DIR build-fuzz/session-seeds
#include "engine/Engine.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern "C" const char* __asan_default_options() {
    return "malloc_context_size=4:quarantine_size_mb=64";
}

namespace {

QTemporaryDir* dataDir = nullptr;
std::shared_ptr<engine::Instance> instance;

void check(const engine::BatchResult& r, const QString& batch)
{
    for (const engine::Message& m : r.messages) {
        if (m.severity < 20) continue;
        std::fprintf(stderr, "severity %d error %d for the batch:\n%s\n%s\n", m.severity, m.number, qPrintable(batch),
                     qPrintable(m.text));
        std::abort();
    }
}

// Runs a batch of the harness itself; it must not fail.
engine::BatchResult run(engine::Session& s, const QString& batch)
{
    engine::BatchResult r = s.execute(batch);
    check(r, batch);
    return r;
}

QString bracketed(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char(']'), QLatin1String("]]"));
    return QLatin1Char('[') + n + QLatin1Char(']');
}

// Drops what earlier inputs left behind, so that the instance stays small.
void tidy(engine::Session& s)
{
    while (s.tranCount() > 0) run(s, QStringLiteral("ROLLBACK TRANSACTION"));
    run(s, QStringLiteral("USE master"));
    engine::BatchResult dbs = run(s, QStringLiteral("SELECT name FROM master.dbo.sysdatabases WHERE dbid > 4"));
    if (!dbs.resultSets.empty())
        for (size_t i = 0; i < dbs.resultSets[0].rows.size(); ++i)
            s.execute(QStringLiteral("DROP DATABASE ") + bracketed(dbs.resultSets[0].text(i, 0)));
    static int calls = 0;
    if (++calls % 64) return;
    engine::BatchResult objs = run(s, QStringLiteral("SELECT name, xtype, uid FROM master.dbo.sysobjects "
                                                     "WHERE xtype IN ('U', 'V', 'P', 'D') AND parent_obj = 0"));
    if (objs.resultSets.empty() || objs.resultSets[0].rows.size() < 50) return;
    for (size_t i = 0; i < objs.resultSets[0].rows.size(); ++i) {
        const QString kind = objs.resultSets[0].text(i, 1).trimmed();
        const QString what = kind == QLatin1String("U") ? QStringLiteral("TABLE ")
                             : kind == QLatin1String("V") ? QStringLiteral("VIEW ")
                             : kind == QLatin1String("P") ? QStringLiteral("PROCEDURE ") : QStringLiteral("DEFAULT ");
        s.execute(QStringLiteral("DROP ") + what + bracketed(objs.resultSets[0].text(i, 0)));
    }
}

// The input's batches: the first runs as the integrated login, each after a "--connect" line as
// the login it names.
struct Part {
    QString login, password, batch; // an empty login: the integrated one
};

std::vector<Part> parts(const QString& input)
{
    static const QRegularExpression connectLine(QStringLiteral("^--connect[ \t]+(\\S+)[ \t]+(\\S*)[ \t]*\r?$"),
                                                QRegularExpression::MultilineOption);
    std::vector<Part> r(1);
    qsizetype from = 0;
    for (auto it = connectLine.globalMatch(input); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        r.back().batch = input.mid(from, m.capturedStart() - from);
        r.push_back({m.captured(1), m.captured(2), {}});
        from = m.capturedEnd();
    }
    r.back().batch = input.mid(from);
    return r;
}

// A session of the part's login; the harness's own login is made again when an input dropped it
// or changed its password. Null for a login that does not exist (yet) or another password.
std::unique_ptr<engine::Session> connect(engine::Session& admin, const Part& part)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            return instance->connect(part.login, part.password);
        } catch (const engine::SqlError&) {
            if (attempt > 0 || part.login != QLatin1String("fuzz_user") || part.password != QLatin1String("fuzz_pw")) return nullptr;
            admin.execute(QStringLiteral("EXEC sp_droplogin 'fuzz_user'"));
            run(admin, QStringLiteral("EXEC sp_addlogin 'fuzz_user', 'fuzz_pw'"));
        }
    }
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    dataDir = new QTemporaryDir;
    if (!dataDir->isValid()) std::abort();
    instance = engine::Instance::open(QStringLiteral("FUZZ"), dataDir->path());
    auto admin = instance->connectIntegrated();
    run(*admin, QStringLiteral("EXEC sp_addlogin 'fuzz_user', 'fuzz_pw'"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString batch = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    // loops and waits have no end of their own, and RAISERROR ... WITH LOG lets an administrator
    // ask for a fatal severity: these are left to the tests
    static const QRegularExpression skipped(QStringLiteral("\\b(WHILE|GOTO|WAITFOR|LOG)\\b(?!\\s*\\()"), QRegularExpression::CaseInsensitiveOption);
    if (skipped.match(batch).hasMatch()) return -1;
    auto session = instance->connectIntegrated();
    for (const Part& part : parts(batch)) {
        if (part.login.isEmpty()) {
            check(session->execute(part.batch), part.batch);
            continue;
        }
        std::unique_ptr<engine::Session> other = connect(*session, part);
        if (!other) continue;
        // a lock the first session holds is waited for briefly
        run(*other, QStringLiteral("SET LOCK_TIMEOUT 200"));
        check(other->execute(part.batch), part.batch);
    }
    tidy(*session);
    return 0;
}
