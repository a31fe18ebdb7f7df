// Opening a table in the data control: a 1,000,000-row table against a 1,000-row one, timed
// apart and side by side (alternating, SideBySide.h) in one run. The grid reads rows as it
// shows them and the engine keeps each table's row count, so both should open in about the
// same time. Jumping to the last of the 1,000,000 rows (open, then read the last row) should
// cost little more than reading every row once through the engine. The closing lines give
// the ratios.
#include "SideBySide.h"

#include "ado/DataControl.h"
#include "engine/Engine.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

const QString kConn = QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;"
                                     "Persist Security Info=False;Initial Catalog=Bench;"
                                     "Data Source=(LOCAL)");

void run(engine::Session& s, const QString& batch) {
    engine::BatchResult r = s.execute(batch);
    if (r.failed()) {
        std::fprintf(stderr, "set-up failed: %s\n%s\n", qPrintable(batch),
                     qPrintable(r.errors.front().text));
        std::exit(1);
    }
}

void makeTables(const QString& root) {
    engine::Instance::setDataRoot(root);
    auto s = engine::Instance::forServer("(LOCAL)")->connectIntegrated();
    run(*s, "CREATE DATABASE Bench");
    run(*s, "USE Bench");
    const QString columns = "(n int NOT NULL, name varchar(20) NULL, price money NULL, "
                            "created datetime NULL, note varchar(50) NULL)";
    run(*s, "CREATE TABLE Small " + columns);
    run(*s, "INSERT INTO Small VALUES (0, 'item 0', 1.25, '2011-03-05', 'first')");
    for (int i = 0; i < 10; ++i)
        run(*s, "INSERT INTO Small SELECT n + (SELECT COUNT(*) FROM Small), name, price, "
                "created, note FROM Small");
    run(*s, "DELETE FROM Small WHERE n >= 1000");
    run(*s, "CREATE TABLE Big " + columns);
    run(*s, "INSERT INTO Big SELECT a.n * 1000 + b.n, a.name, b.price, a.created, b.note "
            "FROM Small a, Small b");
}

// A data control on the whole of one table, as the table window sets it up.
void setUp(ado::DataControl& dat, const char* table) {
    dat.SetConnectionString(kConn);
    dat.SetRecordSource(QStringLiteral("Select  * from [") + QLatin1String(table) + QLatin1Char(']'));
}

void openTable(ado::DataControl& dat) {
    dat.Refresh();
    benchmark::DoNotOptimize(dat.model()->rowCount());
}

void openApart(benchmark::State& state, const char* table) {
    ado::DataControl dat;
    setUp(dat, table);
    for (auto _ : state)
        openTable(dat);
}
void BM_OpenTable_1000Rows(benchmark::State& state) { openApart(state, "Small"); }
void BM_OpenTable_1000000Rows(benchmark::State& state) { openApart(state, "Big"); }
BENCHMARK(BM_OpenTable_1000Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenTable_1000000Rows)->Unit(benchmark::kMillisecond);

// Both opens in every iteration, in alternating order: x_cpu and x_wall are big / small.
void BM_OpenTable_SideBySide(benchmark::State& state) {
    ado::DataControl big, small;
    setUp(big, "Big");
    setUp(small, "Small");
    SideBySide sbs(state, "big", "small");
    for (auto _ : state)
        sbs.run([&] { openTable(big); }, [&] { openTable(small); });
    sbs.report();
}
BENCHMARK(BM_OpenTable_SideBySide)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_JumpToLastRow_1000000Rows(benchmark::State& state) {
    ado::DataControl dat;
    setUp(dat, "Big");
    for (auto _ : state) {
        dat.Refresh();
        ado::RecordsetModel* model = dat.model();
        const QVariant last = model->data(model->index(model->rowCount() - 1, 0));
        if (last.toString() != QLatin1String("999999"))
            state.SkipWithError("the last row is not the one expected");
        benchmark::DoNotOptimize(last);
    }
}
BENCHMARK(BM_JumpToLastRow_1000000Rows)->Unit(benchmark::kMillisecond);

// Every row of the 1,000,000 read once through an engine cursor, values and all.
void BM_EngineReadAll_1000000Rows(benchmark::State& state) {
    auto session = engine::Instance::forServer("(LOCAL)")->connectIntegrated();
    run(*session, "USE Bench");
    for (auto _ : state) {
        auto cursor = session->openQuery(QStringLiteral("Select  * from [Big]"));
        engine::Row row;
        long long n = 0;
        while (cursor->fetch(row))
            ++n;
        if (n != 1000000)
            state.SkipWithError("expected 1,000,000 rows");
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_EngineReadAll_1000000Rows)->Unit(benchmark::kMillisecond);

// Prints the usual table and then the ratios: the opens timed apart and side by side.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (!isFigureRun(r))
                continue;
            const std::string name = r.run_name.function_name;
            times_[name] = r.GetAdjustedRealTime();
            if (auto x = r.counters.find("x_cpu"); x != r.counters.end())
                sideBySide_[name] = x->second;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double small = times_["BM_OpenTable_1000Rows"];
        const double big = times_["BM_OpenTable_1000000Rows"];
        if (small > 0)
            std::printf("ratio 1,000,000 rows / 1,000 rows (timed apart): %.2f\n", big / small);
        if (const double x = sideBySide_["BM_OpenTable_SideBySide"]; x > 0)
            std::printf("ratio 1,000,000 rows / 1,000 rows (side by side, CPU): %.2f\n", x);
        const double jump = times_["BM_JumpToLastRow_1000000Rows"];
        const double read = times_["BM_EngineReadAll_1000000Rows"];
        if (read > 0)
            std::printf("ratio jump to the last row / engine read of every row: %.2f\n",
                        jump / read);
    }

private:
    std::map<std::string, double> times_;
    std::map<std::string, double> sideBySide_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    makeTables(dir.path());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
