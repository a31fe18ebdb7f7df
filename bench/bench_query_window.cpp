// A SELECT of 100,000 rows x 5 columns: shown in the query window's grid, and read by the
// management objects alone, side by side in every iteration. The grid should add at most the
// engine's own time, with the grid's own font and with a proportional one; the closing lines
// give the ratios and the fonts measured with.
#include "SideBySide.h"

#include "core/Settings.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/QueryResults.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"
#include "sqltools/QueryGrid.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/frmQuery.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

const QString kQuery = QStringLiteral("select Id, Nome, Cidade, Valor, Criado from Grande");

cServer* g_server = nullptr;

void prepare(const QString& dataRoot) {
    engine::Instance::setDataRoot(dataRoot);
    SetSettingsFile(dataRoot + QStringLiteral("/varnolt.ini"));
    g_server = &cVarnolt::instance().clsServers().Add(QStringLiteral("(LOCAL)"), true, {}, {});
    g_server->Connect();
    auto dbs = g_server->SQLDMOServer()->Databases();
    dbs->Item(QStringLiteral("master"))->ExecuteImmediate(QStringLiteral("CREATE DATABASE Bench"));
    g_server->LoadDatabases();
    auto db = g_server->SQLDMOServer()->Databases()->Item(QStringLiteral("Bench"));
    QString digits = QStringLiteral("CREATE TABLE Digitos (n int NOT NULL)\n");
    for (int i = 0; i < 10; ++i)
        digits += QStringLiteral("INSERT INTO Digitos VALUES (%1)\n").arg(i);
    db->ExecuteImmediate(digits);
    db->ExecuteImmediate(QStringLiteral(
        "CREATE TABLE Grande (Id int NOT NULL, Nome varchar(40) NULL, Cidade varchar(30) NULL, "
        "Valor decimal(12,2) NULL, Criado datetime NULL)\n"
        "INSERT INTO Grande (Id, Nome, Cidade, Valor, Criado) "
        "SELECT a.n + b.n * 10 + c.n * 100 + d.n * 1000 + e.n * 10000, "
        "'Cliente numero ' + CONVERT(varchar(10), a.n + b.n * 10 + c.n * 100), "
        "'Cidade ' + CONVERT(varchar(10), d.n), "
        "CONVERT(decimal(12,2), (a.n + b.n * 10) * 1.25), "
        "CONVERT(datetime, '2024-01-01') "
        "FROM Digitos a CROSS JOIN Digitos b CROSS JOIN Digitos c CROSS JOIN Digitos d "
        "CROSS JOIN Digitos e"));
}

// The management objects alone: run the query and read every value as the grid does.
void objectsRead(benchmark::State& state) {
    auto db = g_server->SQLDMOServer()->Databases()->Item(QStringLiteral("Bench"));
    QString messages;
    dmo::QueryResultsPtr rs = db->ExecuteWithResultsAndMessages2(kQuery, messages, int(kQuery.size()));
    qsizetype total = 0;
    for (int r = 1; r <= rs->Rows(); ++r)
        for (int c = 1; c <= rs->Columns(); ++c)
            total += rs->GetColumnString(r, c).size();
    benchmark::DoNotOptimize(total);
    if (rs->Rows() != 100000)
        state.SkipWithError("expected 100,000 rows");
}

// The query window: the same query run with the execute button and shown in the grid, in
// the grid's font or in a proportional one, side by side with the objects' read (each
// iteration runs both, in alternating order: x_cpu and x_wall are window / objects).
void runWindow(benchmark::State& state, const QFont* font) {
    frmQuery* form = frmQuery::Default();
    form->ShowForm(g_server, QStringLiteral("Bench"));
    form->txtQuery->setPlainText(kQuery);
    const QFont designed = form->picTeste->font();
    if (font) {
        form->picTeste->setFont(*font);
        form->grdGrid->setFont(*font);
    }
    const QFontInfo info(form->picTeste->font());
    state.SetLabel((info.family() + (info.fixedPitch() ? QStringLiteral(", fixed pitch")
                                                       : QStringLiteral(", proportional")))
                       .toStdString());
    SideBySide sbs(state, "window", "objects");
    for (auto _ : state)
        sbs.run(
            [&] {
                form->cmdExecute_Click();
                if (form->grdGrid->rowCount() != 100000)
                    state.SkipWithError("the grid does not show 100,000 rows");
                QCoreApplication::processEvents();
            },
            [&] { objectsRead(state); });
    sbs.report();
    form->picTeste->setFont(designed);
    form->grdGrid->setFont(designed);
}

void BM_QueryWindowRun(benchmark::State& state) { runWindow(state, nullptr); }
BENCHMARK(BM_QueryWindowRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

void BM_QueryWindowRunProportional(benchmark::State& state) {
    const QFont sans = SqlEditor::WindowFont();
    runWindow(state, &sans);
}
BENCHMARK(BM_QueryWindowRunProportional)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

// Prints the usual table, then each window run against the objects' own read.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (!isFigureRun(r))
                continue;
            auto cpu = r.counters.find("x_cpu"), wall = r.counters.find("x_wall");
            if (cpu != r.counters.end() && wall != r.counters.end())
                lines_[r.run_name.function_name] = {cpu->second, wall->second, r.report_label};
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, l] : lines_)
            std::printf("ratio %s / objects' read: %.2f CPU, %.2f wall (%s)\n", name.c_str(), l.cpu,
                        l.wall, l.label.c_str());
    }

private:
    struct Line {
        double cpu, wall;
        std::string label;
    };
    std::map<std::string, Line> lines_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    prepare(dir.path());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (frmQuery::Loaded())
        delete frmQuery::Default();
    cVarnolt::release();
    return 0;
}
