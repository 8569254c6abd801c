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

#include <QAbstractTableModel>
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <clocale>
#include <pugixml.hpp>

using namespace kvor;

namespace {

void Load(AppState& state, int rows, bool filled)
{
    state.xmlStructure.loadBytes(bench::StructureXml(rows, bench::SampleProportionCodes(rows)));
    state.xmlDoc.loadBytes(bench::ReportXml(rows, filled));
}

// The editor built and shown, as a dialog opens it, until the events of showing it (its first
// paint included) have run. For a correction the report file is read first, as opening it does.
void OpenEditor(benchmark::State& st, bool correction)
{
    AppState state;
    Load(state, static_cast<int>(st.range(0)), correction);
    state.bPrevData = correction;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    bench::WriteFile(path, bench::ReportXml(static_cast<int>(st.range(0)), correction));
    for (auto _ : st) {
        if (correction) {
            state.xmlDoc.load(path);
        }
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

// Opening a report for correction in the core: the report file read, decoded and checked into
// its document and the model built over it and the form, next to pugixml parsing the same bytes.
void BM_OpenReportForCorrection(benchmark::State& st)
{
    AppState state;
    const int rows = static_cast<int>(st.range(0));
    state.xmlStructure.loadBytes(bench::StructureXml(rows, bench::SampleProportionCodes(rows)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    bench::WriteFile(path, bench::ReportXml(rows, true));
    for (auto _ : st) {
        benchmark::DoNotOptimize(state.xmlDoc.load(path));
        ReportModel report(state.xmlStructure, state.xmlDoc);
        benchmark::DoNotOptimize(report.rowCount());
    }
}
BENCHMARK(BM_OpenReportForCorrection)
    ->Arg(27)
    ->Arg(1000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);

void BM_PugixmlParse(benchmark::State& st)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    bench::WriteFile(path, bench::ReportXml(static_cast<int>(st.range(0)), true));
    const QByteArray name = path.toLocal8Bit();
    for (auto _ : st) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_file(name.constData()));
    }
}
BENCHMARK(BM_PugixmlParse)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

// The yardstick of opening the editor: a plain QTableView window over pugixml showing the same
// rows (the report file parsed, each row's caption from the form and its four stored figures),
// shown until the events of showing it have run.
class PlainReportTable final : public QAbstractTableModel
{
public:
    PlainReportTable(const pugi::xml_document& form, const pugi::xml_document& report)
    {
        for (const auto& x : form.select_nodes("nomenclatures/structure//str")) {
            m_captions.push_back(x.node());
        }
        for (const auto& x : report.select_nodes("positions/structure//str")) {
            m_rows.push_back(x.node());
        }
    }
    int rowCount(const QModelIndex& = {}) const override { return int(m_captions.size()); }
    int columnCount(const QModelIndex& = {}) const override { return grid::kCols; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        static constexpr const char* kAttributes[] = {nullptr, "col1", nullptr, "col6",
                                                      nullptr, "col8", "col4"};
        if (role != Qt::DisplayRole) {
            return {};
        }
        const size_t r = size_t(index.row());
        if (index.column() == 0) {
            return QString::fromUtf8(m_captions[r].attribute("name").value());
        }
        const char* name = kAttributes[index.column()];
        return name && r < m_rows.size() ? QString::fromUtf8(m_rows[r].attribute(name).value())
                                         : QVariant();
    }

private:
    std::vector<pugi::xml_node> m_captions;
    std::vector<pugi::xml_node> m_rows;
};

void BM_PlainTableViewOverPugixml(benchmark::State& st)
{
    const int rows = static_cast<int>(st.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    bench::WriteFile(path, bench::ReportXml(rows, true));
    const QByteArray name = path.toLocal8Bit();
    pugi::xml_document form;
    const QByteArray formBytes = bench::StructureXml(rows, bench::SampleProportionCodes(rows));
    form.load_buffer(formBytes.constData(), size_t(formBytes.size()));
    for (auto _ : st) {
        pugi::xml_document report;
        report.load_file(name.constData());
        PlainReportTable model(form, report);
        QTableView view;
        view.setModel(&model);
        view.show();
        QCoreApplication::processEvents();
        view.hide();
    }
}
BENCHMARK(BM_PlainTableViewOverPugixml)
    ->Arg(27)
    ->Arg(1000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);

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
