// The report editor on forms of 27, 1,000 and 32,000 rows: opening it for a new month and for a
// correction, one entry in the opening column compared with the previous month, and saving,
// next to pugixml's own save of the same document.

#include "GeneratedReport.h"
#include "core/Money.h"
#include "core/OpenReport.h"
#include "core/ReportDocument.h"
#include "core/ReportModel.h"
#include "gui/ReportEditor.h"
#include "gui/ReportTableModel.h"
#include "support/FakePlatform.h"

#include "core/ClipboardBlock.h"
#include "core/EntryJournal.h"

#include <QAccessible>
#include <QPushButton>
#include <QUndoStack>

#include <QAbstractTableModel>
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <clocale>
#include <pugixml.hpp>

using namespace kvor;

namespace {

void Load(OpenReport& state, int rows, bool filled)
{
    state.structure = std::make_unique<DomDocument>();
    state.document = std::make_unique<DomDocument>();
    state.structure->loadBytes(bench::StructureXml(rows, bench::SampleProportionCodes(rows)));
    state.document->loadBytes(bench::ReportXml(rows, filled));
}

// The editor built and shown, as a dialog opens it, until the events of showing it (its first
// paint included) have run. For a correction the report file is read first, as opening it does.
void OpenEditor(benchmark::State& st, bool correction)
{
    OpenReport state;
    Load(state, static_cast<int>(st.range(0)), correction);
    state.previousMonthExists = correction;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    bench::WriteFile(path, bench::ReportXml(static_cast<int>(st.range(0)), correction));
    for (auto _ : st) {
        if (correction) {
            state.document->load(path);
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
    OpenReport state;
    Load(state, static_cast<int>(st.range(0)), true);
    for (auto _ : st) {
        ReportModel report(*state.structure, *state.document);
        benchmark::DoNotOptimize(report.rowCount());
    }
}
BENCHMARK(BM_BuildModel)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

// Opening a report for correction in the core: the report file read, decoded and checked into
// its document and the model built over it and the form, next to pugixml parsing the same bytes.
void BM_OpenReportForCorrection(benchmark::State& st)
{
    OpenReport state;
    state.structure = std::make_unique<DomDocument>();
    state.document = std::make_unique<DomDocument>();
    const int rows = static_cast<int>(st.range(0));
    state.structure->loadBytes(bench::StructureXml(rows, bench::SampleProportionCodes(rows)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    bench::WriteFile(path, bench::ReportXml(rows, true));
    for (auto _ : st) {
        benchmark::DoNotOptimize(state.document->load(path));
        ReportModel report(*state.structure, *state.document);
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
    OpenReport state;
    const int rows = static_cast<int>(st.range(0));
    Load(state, rows, true);
    ReportModel report(*state.structure, *state.document);
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
    OpenReport state;
    Load(state, static_cast<int>(st.range(0)), true);
    ReportModel report(*state.structure, *state.document);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    for (auto _ : st) {
        benchmark::DoNotOptimize(report.store(*state.document).ok());
        benchmark::DoNotOptimize(SaveHashedDocument(*state.document, path).ok());
    }
}
BENCHMARK(BM_SaveReport)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

// 1,000 figures pasted as one column into a 32,000-row report (the block read, checked and
// entered as one step of undo), then that step undone and redone.
struct PasteFixture
{
    OpenReport state;
    std::unique_ptr<ReportModel> report;
    std::unique_ptr<ReportTableModel> table;
    QUndoStack undo;
    QString block;
    int first = 0;

    PasteFixture()
    {
        Load(state, 32000, true);
        report = std::make_unique<ReportModel>(*state.structure, *state.document);
        table = std::make_unique<ReportTableModel>(*report);
        table->setUndoStack(&undo);
        first = report->rowCount() - 1000;
        for (int i = 0; i < 1000; ++i) {
            block += Money::fromStotinki(123456 + i).text() + u'\n';
        }
    }
    void paste()
    {
        const PasteGrid grid{report->rowCount(), grid::kCols,
                             [this](int r, int c) { return report->isEditable(r, c); }};
        const PastePlan plan = PlanPaste(block, first, grid::kAdded, grid);
        std::vector<CellFigure> figures;
        figures.reserve(plan.figures.size());
        for (const PastedFigure& f : plan.figures) {
            figures.push_back({f.row, f.column, f.amount.text()});
        }
        table->enterFigures(figures, QStringLiteral("paste"), true);
    }
};

void BM_Paste1000Figures(benchmark::State& st)
{
    PasteFixture f;
    for (auto _ : st) {
        f.paste();
    }
}
BENCHMARK(BM_Paste1000Figures)->Unit(benchmark::kMillisecond);

void BM_UndoRedoPaste(benchmark::State& st)
{
    PasteFixture f;
    f.paste();
    for (auto _ : st) {
        f.undo.undo();
        f.undo.redo();
    }
}
BENCHMARK(BM_UndoRedoPaste)->Unit(benchmark::kMillisecond);

// One accepted entry recorded in the journal of unsaved entries, synced to disk. Its cost does
// not depend on the report's size: the journal holds only the entries.
void BM_JournalEntry(benchmark::State& st)
{
    QTemporaryDir dir;
    EntryJournal journal(dir.filePath(QStringLiteral(".r.journal")), {"5101", "2004", "03"});
    int n = 0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(journal.record({n++ % 32000, 3, QStringLiteral("1 234,56")}));
    }
}
BENCHMARK(BM_JournalEntry)->Unit(benchmark::kMillisecond);

// "Запис" pressed in the editor while a screen reader's bridge is on: every figure entered, so
// that the whole report is written and every row's closing amount changes.
void BM_SaveInEditorWithScreenReader(benchmark::State& st)
{
    OpenReport state;
    state.municipality.ebk = QStringLiteral("5101");
    state.period = Period(3, 2004);
    QTemporaryDir scratch;
    state.filePath = scratch.filePath(QStringLiteral("mfddd_sd_5101_2004_03.xml"));
    const int rows = static_cast<int>(st.range(0));
    Load(state, rows, false);
    QAccessible::setActive(true);
    {
        ReportEditor editor(state);
        editor.show();
        QCoreApplication::processEvents();
        auto* save = editor.findChild<QPushButton*>(QStringLiteral("cmdSave"));
        auto* table = editor.findChild<ReportTableModel*>();
        std::int64_t v = 0;
        for (auto _ : st) {
            st.PauseTiming();
            for (int n = 0; n < rows; n += 2) {
                table->enter(table->index(n, grid::kAdded), Money::fromStotinki(v += 100).text());
            }
            QCoreApplication::processEvents();
            st.ResumeTiming();
            save->click();
            QCoreApplication::processEvents();
        }
    }
    QAccessible::setActive(false);
}
BENCHMARK(BM_SaveInEditorWithScreenReader)
    ->Arg(27)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);

// pugixml saving the same document by itself, the yardstick of the save above.
void BM_PugixmlSave(benchmark::State& st)
{
    OpenReport state;
    Load(state, static_cast<int>(st.range(0)), true);
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("r.xml")).toLocal8Bit();
    for (auto _ : st) {
        benchmark::DoNotOptimize(state.document->raw().save_file(path.constData()));
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
    // The editor keeps its journal and saves in a Data folder of its own.
    QTemporaryDir folder;
    test::FakePlatform fake;
    fake.folder = folder.path();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
