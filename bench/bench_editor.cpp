// The report editor on forms of 27, 1,000 and 32,000 rows: opening it for a new month and for a
// correction, one entry in the opening column compared with the previous month, and saving,
// next to pugixml's own save of the same document.

#include "GeneratedReport.h"
#include "core/AppState.h"
#include "core/Money.h"
#include "core/ReportDocument.h"
#include "core/ReportModel.h"
#include "gui/ReportEditor.h"
#include "gui/ReportTableModel.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <clocale>

using namespace kvor;

namespace {

void Load(AppState& state, int rows, bool filled)
{
    state.xmlStructure.loadBytes(bench::StructureXml(rows, bench::SampleProportionCodes(rows)));
    state.xmlDoc.loadBytes(bench::ReportXml(rows, filled));
}

// The editor built and shown, as a dialog opens it, until the events of showing it (its first
// paint included) have run.
void OpenEditor(benchmark::State& st, bool correction)
{
    AppState state;
    Load(state, static_cast<int>(st.range(0)), correction);
    state.bPrevData = correction;
    for (auto _ : st) {
        ReportEditor editor(state);
        editor.show();
        QCoreApplication::processEvents();
        editor.hide();
    }
}

void BM_OpenEditorNew(benchmark::State& st)
{
    OpenEditor(st, false);
}
void BM_OpenEditorCorrection(benchmark::State& st)
{
    OpenEditor(st, true);
}
BENCHMARK(BM_OpenEditorNew)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEditorCorrection)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

// The model alone, the part of opening that reads the whole form and report.
void BM_BuildModel(benchmark::State& st)
{
    AppState state;
    Load(state, static_cast<int>(st.range(0)), true);
    for (auto _ : st) {
        ReportModel report(state.xmlStructure, state.xmlDoc);
        benchmark::DoNotOptimize(report.rowCount());
    }
}
BENCHMARK(BM_BuildModel)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

// An opening amount entered on the last row that feeds totals and compared with the previous
// month, as leaving the cell does.
void BM_CommitWithPreviousMonth(benchmark::State& st)
{
    AppState state;
    const int rows = static_cast<int>(st.range(0));
    Load(state, rows, true);
    ReportModel report(state.xmlStructure, state.xmlDoc);
    ReportTableModel table(report);
    int row = rows - 1;
    while (row > 0 && !report.isEditable(row, grid::kOpening)) {
        --row;
    }
    const QModelIndex cell = table.index(row, grid::kOpening);
    std::int64_t stotinki = 0;
    for (auto _ : st) {
        table.enter(cell, Money::fromStotinki(stotinki += 125).text());
        benchmark::DoNotOptimize(table.compareOpening(row));
        benchmark::DoNotOptimize(report.differingOpenings());
    }
}
BENCHMARK(BM_CommitWithPreviousMonth)->Arg(27)->Arg(1000)->Arg(32000);

// What "Запис" does: the figures into the document, then the hashed text written once.
void BM_SaveReport(benchmark::State& st)
{
    AppState state;
    Load(state, static_cast<int>(st.range(0)), true);
    ReportModel report(state.xmlStructure, state.xmlDoc);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    for (auto _ : st) {
        benchmark::DoNotOptimize(report.store(state.xmlDoc).ok());
        benchmark::DoNotOptimize(SaveHashedDocument(state.xmlDoc, path).ok());
    }
}
BENCHMARK(BM_SaveReport)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

// pugixml saving the same document by itself, the yardstick of the save above.
void BM_PugixmlSave(benchmark::State& st)
{
    AppState state;
    Load(state, static_cast<int>(st.range(0)), true);
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("r.xml")).toLocal8Bit();
    for (auto _ : st) {
        benchmark::DoNotOptimize(state.xmlDoc.raw().save_file(path.constData()));
    }
}
BENCHMARK(BM_PugixmlSave)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
