// Widening a varchar(20) column to varchar(50) on a 1,000,000-row table: the engine's ALTER
// TABLE ALTER COLUMN, and the designer's full rebuild (create, copy with Convert, drop, rename,
// indexes), each beside raw SQLite rebuilding a table of the same data, side by side in every
// iteration (SideBySide.h: counters x_cpu and x_wall give engine/raw). Every iteration runs
// inside a transaction that is rolled back with the clock stopped.
#include "SideBySide.h"
#include "engine/Engine.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>

namespace {

constexpr int kRows = 1000000;

void run(engine::Session& s, const QString& batch)
{
    engine::BatchResult r = s.execute(batch);
    if (r.failed()) {
        std::fprintf(stderr, "failed: %s\n%s\n", qPrintable(batch), qPrintable(r.errors.front().text));
        std::exit(1);
    }
}

void rawExec(sqlite3* db, const char* sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n%s\n", sql, err ? err : "");
        std::exit(1);
    }
}

struct Fixture {
    QTemporaryDir dir;
    std::shared_ptr<engine::Instance> instance;
    std::unique_ptr<engine::Session> session;
    sqlite3* raw = nullptr;

    Fixture()
    {
        instance = engine::Instance::open(QStringLiteral("BENCHALTER"), dir.path() + QStringLiteral("/server"));
        session = instance->connectIntegrated();
        engine::Session& s = *session;
        run(s, QStringLiteral("CREATE DATABASE Bench"));
        run(s, QStringLiteral("USE Bench"));
        run(s, QStringLiteral("CREATE TABLE Orders (Id int NOT NULL, Code varchar(20) NULL, Amount int NULL, "
                              "CONSTRAINT PK_Orders PRIMARY KEY CLUSTERED (Id))"));
        run(s, QStringLiteral("INSERT INTO Orders VALUES (1, 'code 1', 1)"));
        for (int n = 1; n < kRows; n *= 2)
            run(s, QStringLiteral("INSERT INTO Orders SELECT Id + %1, 'code ' + CONVERT(varchar(10), Id + %1), Amount + 1 "
                                  "FROM Orders WHERE Id + %1 <= %2").arg(n).arg(kRows));
        run(s, QStringLiteral("CREATE NONCLUSTERED INDEX IX_Code ON Orders (Code)"));

        sqlite3_open((dir.path() + QStringLiteral("/raw.db")).toUtf8().constData(), &raw);
        rawExec(raw, "PRAGMA journal_mode = WAL");
        rawExec(raw, "PRAGMA synchronous = NORMAL"); // as the engine runs its files
        rawExec(raw, "PRAGMA mmap_size = 1073741824");
        rawExec(raw, "CREATE TABLE Orders (Id INTEGER NOT NULL, Code TEXT, Amount INTEGER)");
        rawExec(raw, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
                     "INSERT INTO Orders SELECT i, 'code ' || i, i FROM n");
        rawExec(raw, "CREATE UNIQUE INDEX PK_Orders ON Orders (Id)");
        rawExec(raw, "CREATE INDEX IX_Code ON Orders (Code)");
    }
    ~Fixture() { sqlite3_close(raw); }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// Raw SQLite: the rebuild SQLite itself prescribes for a change of column definition, rolled back.
void rawRebuild()
{
    sqlite3* db = fixture().raw;
    rawExec(db, "BEGIN");
    rawExec(db, "CREATE TABLE Orders_new (Id INTEGER NOT NULL, Code TEXT, Amount INTEGER)");
    rawExec(db, "INSERT INTO Orders_new (Id, Code, Amount) SELECT Id, Code, Amount FROM Orders");
    rawExec(db, "DROP TABLE Orders");
    rawExec(db, "ALTER TABLE Orders_new RENAME TO Orders");
    rawExec(db, "CREATE UNIQUE INDEX PK_Orders ON Orders (Id)");
    rawExec(db, "CREATE INDEX IX_Code ON Orders (Code)");
}

// Each iteration: the engine's statements inside a transaction, and the raw rebuild; both are
// rolled back with the clock stopped.
void timeBesideRaw(benchmark::State& state, const QStringList& statements)
{
    engine::Session& s = *fixture().session;
    SideBySide sbs(state);
    for (auto _ : state) {
        state.PauseTiming();
        run(s, QStringLiteral("BEGIN TRANSACTION"));
        state.ResumeTiming();
        sbs.run(
            [&] {
                for (const QString& st : statements) run(s, st);
            },
            rawRebuild);
        state.PauseTiming();
        run(s, QStringLiteral("ROLLBACK TRANSACTION"));
        rawExec(fixture().raw, "ROLLBACK");
        state.ResumeTiming();
    }
    sbs.report();
}

// The change asked for: the physical column stays as it is, only the records change.
void BM_EngineAlterColumn(benchmark::State& state)
{
    timeBesideRaw(state, {QStringLiteral("ALTER TABLE Orders ALTER COLUMN Code varchar(50) NULL")});
}

// Changes that rebuild the physical table: a new null rule (rows copied as they are) and a new
// type (every value converted).
void BM_EngineAlterColumnNotNull(benchmark::State& state)
{
    timeBesideRaw(state, {QStringLiteral("ALTER TABLE Orders ALTER COLUMN Amount int NOT NULL")});
}

void BM_EngineAlterColumnConvert(benchmark::State& state)
{
    timeBesideRaw(state, {QStringLiteral("ALTER TABLE Orders ALTER COLUMN Amount varchar(12) NULL")});
}

// The same change as the designer saves it through a temporary table.
void BM_EngineDesignerRebuild(benchmark::State& state)
{
    timeBesideRaw(state, {
        QStringLiteral("CREATE TABLE [dbo].[Varnolt_Temp2026126219] ([Id] int NOT NULL, [Code] varchar(50) NULL, [Amount] int NULL)"),
        QStringLiteral("Insert Into [dbo].[Varnolt_Temp2026126219] ([Id], [Code], [Amount]) (Select Convert (int, [Id]), "
                       "Convert (varchar(50), [Code]), Convert (int, [Amount]) From [dbo].[Orders])"),
        QStringLiteral("DROP TABLE [dbo].[Orders]"),
        QStringLiteral("EXEC sp_rename 'dbo.Varnolt_Temp2026126219', 'Orders'"),
        QStringLiteral("Create  NONCLUSTERED Index [IX_Code] on [Orders] ([Code]) ON [PRIMARY]"),
        QStringLiteral("ALTER TABLE [Orders] ADD CONSTRAINT [PK_Orders] PRIMARY KEY CLUSTERED ([Id])"),
    });
}

BENCHMARK(BM_EngineAlterColumn)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EngineAlterColumnNotNull)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EngineAlterColumnConvert)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EngineDesignerRebuild)->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
