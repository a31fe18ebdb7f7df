// The designer's rebuild of a design with no column to copy (only a new identity column and a
// timestamp): one row per old row in one statement through a column of its own, timed in the
// same iterations as the ordinary rebuild copy of one int column, on a 131,072-row table.
// Counters: fill_ms, copy_ms (process CPU per iteration) and x_cpu, x_wall (fill / copy).
// Every iteration runs inside a transaction that is rolled back with the clock stopped.
#include "engine/Engine.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kRows = 131072;

void run(engine::Session& s, const QString& batch)
{
    engine::BatchResult r = s.execute(batch);
    if (r.failed()) {
        std::fprintf(stderr, "failed: %s\n%s\n", qPrintable(batch), qPrintable(r.errors.front().text));
        std::exit(1);
    }
}

struct Fixture {
    QTemporaryDir dir;
    std::shared_ptr<engine::Instance> instance;
    std::unique_ptr<engine::Session> session;

    Fixture()
    {
        instance = engine::Instance::open(QStringLiteral("BENCHFILL"), dir.path() + QStringLiteral("/server"));
        session = instance->connectIntegrated();
        engine::Session& s = *session;
        run(s, QStringLiteral("CREATE DATABASE Bench"));
        run(s, QStringLiteral("USE Bench"));
        run(s, QStringLiteral("CREATE TABLE Src (A int NULL)"));
        run(s, QStringLiteral("INSERT INTO Src VALUES (1)"));
        for (int n = 1; n < kRows; n *= 2)
            run(s, QStringLiteral("INSERT INTO Src SELECT A + %1 FROM Src").arg(n));
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

double cpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

const QStringList kFill{
    QStringLiteral("CREATE TABLE [dbo].[Varnolt_Temp1] ([Id] int IDENTITY (1, 1) NOT NULL, [Stamp] timestamp NOT NULL, "
                   "[VARNOLT_Rows] int NULL)"),
    QStringLiteral("Insert Into [dbo].[Varnolt_Temp1] ([VARNOLT_Rows]) Select Null From [dbo].[Src]"),
    QStringLiteral("ALTER TABLE [dbo].[Varnolt_Temp1] DROP COLUMN [VARNOLT_Rows]"),
};
const QStringList kCopy{
    QStringLiteral("CREATE TABLE [dbo].[Varnolt_Temp2] ([A] int NULL)"),
    QStringLiteral("Insert Into [dbo].[Varnolt_Temp2] ([A]) (Select Convert (int, [A]) From [dbo].[Src])"),
};

void BM_RebuildFillBesideCopy(benchmark::State& state)
{
    engine::Session& s = *fixture().session;
    struct Total {
        double cpu = 0, wall = 0;
    } fill, copy;
    unsigned turn = 0;
    auto timed = [&](const QStringList& statements, Total& t) {
        state.PauseTiming();
        run(s, QStringLiteral("BEGIN TRANSACTION"));
        state.ResumeTiming();
        const double c0 = cpuNow();
        const auto w0 = std::chrono::steady_clock::now();
        for (const QString& st : statements) run(s, st);
        t.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        t.cpu += cpuNow() - c0;
        state.PauseTiming();
        run(s, QStringLiteral("ROLLBACK TRANSACTION"));
        state.ResumeTiming();
    };
    for (auto _ : state) {
        // Alternating order, so that a loaded machine slows both alike.
        if (turn++ % 2 == 0) {
            timed(kFill, fill);
            timed(kCopy, copy);
        } else {
            timed(kCopy, copy);
            timed(kFill, fill);
        }
    }
    const double n = turn ? double(turn) : 1.0;
    state.counters["fill_ms"] = fill.cpu / n * 1e3;
    state.counters["copy_ms"] = copy.cpu / n * 1e3;
    state.counters["x_cpu"] = copy.cpu > 0 ? fill.cpu / copy.cpu : 0;
    state.counters["x_wall"] = copy.wall > 0 ? fill.wall / copy.wall : 0;
}

BENCHMARK(BM_RebuildFillBesideCopy)->Unit(benchmark::kMillisecond)->Iterations(4);

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
