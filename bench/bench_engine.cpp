// Engine against raw SQLite, side by side in one run (each iteration runs both, see SideBySide.h):
//  - SELECT * of 1,000,000 rows x 5 columns read into a result set, from a heap and from a table
//    with a clustered primary key (raw: the same rows in key order), with the result set's peak
//    heap beside the raw loop's owned values (HeapCounter.h: every malloc of the process counted
//    by its usable size, peak above the level at the start);
//  - the designer's rebuild copy, INSERT INTO t2 (...) (SELECT Convert(...), ... FROM t1).
// Counters: engine_ms and raw_ms (CPU per iteration), x_cpu and x_wall (engine/raw), and for the
// result sets engine_MB, raw_MB and x_mem.

#include "HeapCounter.h"
#include "SideBySide.h"
#include "engine/Engine.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 1000000;

struct EngineFixture {
    QTemporaryDir dir;
    std::shared_ptr<engine::Instance> inst;
    std::unique_ptr<engine::Session> s;

    void run(const QString& sql)
    {
        engine::BatchResult r = s->execute(sql);
        if (r.failed()) {
            std::fprintf(stderr, "%s\n", r.errors[0].text.toUtf8().constData());
            std::abort();
        }
    }

    EngineFixture()
    {
        inst = engine::Instance::open(QStringLiteral("BENCH"), dir.path());
        s = inst->connectIntegrated();
        run(QStringLiteral("CREATE DATABASE b"));
        run(QStringLiteral("USE b"));
        run(QStringLiteral("CREATE TABLE d (n int NOT NULL)"));
        for (int i = 0; i < 10; ++i) run(QStringLiteral("INSERT INTO d VALUES (%1)").arg(i));
        const QString columns = QStringLiteral("(Id int NOT NULL, Code varchar(20) NULL, Amount decimal(10,2) NULL, [When] datetime NULL, Note varchar(50) NULL");
        run(QStringLiteral("CREATE TABLE t1 ") + columns + QLatin1Char(')'));
        run(QStringLiteral("CREATE TABLE tc ") + columns + QStringLiteral(", CONSTRAINT PK_tc PRIMARY KEY CLUSTERED (Id))"));
        run(QStringLiteral("CREATE TABLE t2 (Id int NOT NULL, Code varchar(30) NULL, Amount decimal(12,2) NULL, [When] datetime NULL, Note varchar(50) NULL)"));
        run(QStringLiteral("INSERT INTO t1 SELECT n, 'C' + CONVERT(varchar(10), n), n / 100.0, dateadd(minute, n, '2020-01-01'), 'note ' + CONVERT(varchar(10), n % 977) "
                           "FROM (SELECT a.n + 10 * b.n + 100 * c.n + 1000 * e.n + 10000 * f.n + 100000 * g.n AS n "
                           "FROM d a, d b, d c, d e, d f, d g) AS x"));
        run(QStringLiteral("INSERT INTO tc SELECT * FROM t1 ORDER BY Id")); // stored in key order, as the raw table
    }
};

EngineFixture& engineFixture()
{
    static EngineFixture f;
    return f;
}

struct RawFixture {
    QTemporaryDir dir;
    sqlite3* db = nullptr;

    void run(const char* sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
            std::fprintf(stderr, "%s\n", err);
            std::abort();
        }
    }

    RawFixture()
    {
        sqlite3_open((dir.path() + QStringLiteral("/raw.db")).toUtf8().constData(), &db);
        run("PRAGMA journal_mode=WAL");
        run("PRAGMA synchronous=NORMAL"); // as the engine runs its files
        run("PRAGMA mmap_size=1073741824");
        run("CREATE TABLE r1 (Id INTEGER NOT NULL, Code TEXT, Amount TEXT, [When] TEXT, Note TEXT)");
        run("CREATE TABLE rc (Id INTEGER NOT NULL, Code TEXT, Amount TEXT, [When] TEXT, Note TEXT)");
        run("CREATE UNIQUE INDEX rc_pk ON rc (Id)");
        run("CREATE TABLE r2 (Id INTEGER NOT NULL, Code TEXT, Amount TEXT, [When] TEXT, Note TEXT)");
        run("WITH RECURSIVE c(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM c WHERE n < 999999) "
            "INSERT INTO r1 SELECT n, 'C' || n, printf('%.2f', n / 100.0), strftime('%Y-%m-%d %H:%M:%S.000', '2020-01-01', '+' || n || ' minutes'), "
            "'note ' || (n % 977) FROM c");
        run("INSERT INTO rc SELECT * FROM r1");
    }
    ~RawFixture() { sqlite3_close(db); }
};

RawFixture& rawFixture()
{
    static RawFixture f;
    return f;
}

void BM_RebuildCopy(benchmark::State& state)
{
    EngineFixture& e = engineFixture();
    RawFixture& r = rawFixture();
    SideBySide sbs(state);
    for (auto _ : state) {
        state.PauseTiming();
        e.run(QStringLiteral("DELETE FROM t2"));
        r.run("DELETE FROM r2");
        state.ResumeTiming();
        sbs.run(
            [&] {
                e.run(QStringLiteral("Insert Into [dbo].[t2] ([Id], [Code], [Amount], [When], [Note]) (Select Convert (int, [Id]), Convert (varchar(30), [Code]), "
                                     "Convert (decimal(12, 2), [Amount]), Convert (datetime, [When]), Convert (varchar(50), [Note]) From [dbo].[t1])"));
            },
            [&] {
                r.run("INSERT INTO r2 (Id, Code, Amount, [When], Note) SELECT CAST(Id AS INTEGER), CAST(Code AS TEXT), CAST(Amount AS TEXT), "
                      "CAST([When] AS TEXT), CAST(Note AS TEXT) FROM r1");
            });
    }
    sbs.report();
    state.SetItemsProcessed(state.iterations() * kRows);
}

// SELECT * into the engine's result set.
void engineSelect(const char* table)
{
    engine::BatchResult r = engineFixture().s->execute(QStringLiteral("SELECT * FROM ") + QLatin1String(table));
    if (r.resultSets.empty() || r.resultSets[0].rows.size() != size_t(kRows)) std::abort();
    benchmark::DoNotOptimize(r);
}

// The same values read with a plain sqlite3_step loop into owned C++ values.
void rawSelect(const char* sql)
{
    struct RawRow {
        long long id;
        std::string code, amount, when, note;
    };
    std::vector<RawRow> rows;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(rawFixture().db, sql, -1, &st, nullptr);
    auto text = [&](int c) {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        return p ? std::string(p, size_t(sqlite3_column_bytes(st, c))) : std::string();
    };
    while (sqlite3_step(st) == SQLITE_ROW) rows.push_back({sqlite3_column_int64(st, 0), text(1), text(2), text(3), text(4)});
    sqlite3_finalize(st);
    if (rows.size() != size_t(kRows)) std::abort();
    benchmark::DoNotOptimize(rows);
}

void selectAll(benchmark::State& state, const char* table, const char* rawSql)
{
    engineFixture();
    rawFixture();
    SideBySide sbs(state);
    for (auto _ : state) sbs.run([&] { engineSelect(table); }, [&] { rawSelect(rawSql); });
    sbs.report();
    const double engineBytes = double(heapcount::peakOf([&] { engineSelect(table); }));
    const double rawBytes = double(heapcount::peakOf([&] { rawSelect(rawSql); }));
    state.counters["engine_MB"] = engineBytes / 1e6;
    state.counters["raw_MB"] = rawBytes / 1e6;
    state.counters["x_mem"] = rawBytes > 0 ? engineBytes / rawBytes : 0;
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_SelectAll_Heap(benchmark::State& state) { selectAll(state, "t1", "SELECT * FROM r1"); }

void BM_SelectAll_Clustered(benchmark::State& state) { selectAll(state, "tc", "SELECT * FROM rc ORDER BY Id"); }

} // namespace

BENCHMARK(BM_SelectAll_Heap)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_SelectAll_Clustered)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_RebuildCopy)->Unit(benchmark::kMillisecond)->Iterations(4);

BENCHMARK_MAIN();
