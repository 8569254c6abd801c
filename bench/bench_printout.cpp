// Writing the printed form's file, against the spreadsheet writer writing the same cells with the
// same formats on its own: what the form, the amount reading and the finishing of the file cost.

#include "core/Messages.h"
#include "core/OpenReport.h"
#include "printout/PrintedForm.h"
#include "printout/XlsxFile.h"
#include "support/SampleReport.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>
#include <xlsxwriter.h>

using namespace kvor;

namespace {

// The sample report's rows over and over, up to the given count, as the editor writes them.
PrintoutInput input(int reportRows)
{
    OpenReport state;
    test::LoadSampleState(state, QStringLiteral(KVOR_SAMPLE_DIR "/Structure.xml"));
    test::FillReport(*state.document, *state.structure, test::GrowingAmounts);
    const ReportModel report(*state.structure, *state.document);
    PrintoutInput in = PrintoutOf(report, state.municipality.name, state.period.text(), msg::kNote);
    const size_t sample = in.rows.size() - grid::kHeadingRows;
    for (size_t r = in.rows.size(); r < size_t(reportRows) + grid::kHeadingRows; ++r) {
        in.rows.push_back(in.rows[grid::kHeadingRows + (r - grid::kHeadingRows) % sample]);
        in.highlighted.push_back(
            in.highlighted[grid::kHeadingRows + (r - grid::kHeadingRows) % sample]);
    }
    return in;
}

// Everything the form tells its sheet, kept in the writer's own terms.
class Recorded final : public FormSheet
{
public:
    enum class Kind
    {
        Blank,
        Text,
        Number
    };
    struct Cell
    {
        lxw_row_t row;
        lxw_col_t col;
        Look look;
        Kind kind;
        std::string text;
        double number;
    };

    void page(const PageLayout& p) override { layout = p; }
    void columnWidth(int col, double w) override { widths.push_back({col - 1, w}); }
    void rowHeight(int row, double h) override { heights.push_back({row - 1, h}); }
    void merge(int top, int left, int bottom, int right) override
    {
        merges.push_back({top - 1, left - 1, bottom - 1, right - 1});
    }
    void text(int row, int col, const QString& t, Look look) override
    {
        cells.push_back(
            {lxw_row_t(row - 1), lxw_col_t(col - 1), look, Kind::Text, t.toStdString(), 0});
    }
    void number(int row, int col, double v, Look look) override
    {
        cells.push_back({lxw_row_t(row - 1), lxw_col_t(col - 1), look, Kind::Number, {}, v});
    }
    void blank(int row, int col, Look look) override
    {
        cells.push_back({lxw_row_t(row - 1), lxw_col_t(col - 1), look, Kind::Blank, {}, 0});
    }

    PageLayout layout{};
    std::vector<std::pair<int, double>> widths, heights;
    std::vector<std::array<int, 4>> merges;
    std::vector<Cell> cells;
};

// The same formats as the form's file, made directly.
lxw_format* format(lxw_workbook* book, const LookSpec& look)
{
    lxw_format* f = workbook_add_format(book);
    format_set_font_name(f, kFormFont);
    format_set_font_size(f, look.size);
    if (look.amount) {
        format_set_num_format(f, kAmountFormat);
    }
    if (look.bold) {
        format_set_bold(f);
    }
    if (look.underline) {
        format_set_underline(f, LXW_UNDERLINE_SINGLE);
    }
    if (look.horizontal != HAlign::General) {
        format_set_align(f, look.horizontal == HAlign::Center ? LXW_ALIGN_CENTER : LXW_ALIGN_RIGHT);
    }
    if (look.verticalCenter) {
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    }
    if (look.wrap) {
        format_set_text_wrap(f);
    }
    if (look.lines) {
        format_set_border(f, LXW_BORDER_THIN);
    }
    if (look.grey) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, kGreyBand);
    }
    return f;
}

void writeDirectly(const Recorded& r, const QByteArray& path, const QByteArray& tmp)
{
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(tmp.constData());
    lxw_workbook* book = workbook_new_opt(path.constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(book, "Лист1");
    std::array<lxw_format*, kLookCount> formats{};
    for (int i = 0; i < kLookCount; ++i) {
        formats[size_t(i)] = format(book, kLooks[size_t(i)]);
    }
    worksheet_set_default_row(ws, r.layout.defaultRowHeight, LXW_FALSE);
    worksheet_set_paper(ws, uint8_t(r.layout.paperSize));
    worksheet_set_landscape(ws);
    worksheet_set_print_scale(ws, uint16_t(r.layout.scale));
    worksheet_set_margins(ws, r.layout.leftMargin, r.layout.rightMargin, r.layout.topMargin,
                          r.layout.bottomMargin);
    for (const auto& [col, w] : r.widths) {
        worksheet_set_column(ws, lxw_col_t(col), lxw_col_t(col), w, nullptr);
    }
    for (const auto& [row, h] : r.heights) {
        worksheet_set_row(ws, lxw_row_t(row), h, nullptr);
    }
    for (const auto& m : r.merges) {
        worksheet_merge_range(ws, lxw_row_t(m[0]), lxw_col_t(m[1]), lxw_row_t(m[2]),
                              lxw_col_t(m[3]), "", nullptr);
    }
    for (const Recorded::Cell& c : r.cells) {
        lxw_format* f = formats[size_t(c.look)];
        if (c.kind == Recorded::Kind::Text) {
            worksheet_write_string(ws, c.row, c.col, c.text.c_str(), f);
        } else if (c.kind == Recorded::Kind::Number) {
            worksheet_write_number(ws, c.row, c.col, c.number, f);
        } else {
            worksheet_write_blank(ws, c.row, c.col, f);
        }
    }
    workbook_close(book);
}

void BM_PrintedFormFile(benchmark::State& state)
{
    const PrintoutInput in = input(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("form.xlsx"));
    for (auto _ : state) {
        if (WriteFormFile(in, QStringLiteral("Лист1"), path)) {
            state.SkipWithError("not written");
            break;
        }
    }
}
BENCHMARK(BM_PrintedFormFile)->Arg(27)->Arg(32000)->Unit(benchmark::kMillisecond);

void BM_WriterAlone(benchmark::State& state)
{
    Recorded recorded;
    WriteForm(input(int(state.range(0))), recorded);
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("direct.xlsx")));
    const QByteArray tmp = QFile::encodeName(dir.path());
    for (auto _ : state) {
        writeDirectly(recorded, path, tmp);
    }
}
BENCHMARK(BM_WriterAlone)->Arg(27)->Arg(32000)->Unit(benchmark::kMillisecond);

} // namespace
