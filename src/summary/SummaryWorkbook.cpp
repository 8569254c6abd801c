#include "summary/SummaryWorkbook.h"

#include "core/Messages.h"
#include "core/ReportModel.h"
#include "core/XmlDom.h"
#include "printout/PrintedForm.h"
#include "printout/PrintoutInput.h"
#include "printout/XlsxFile.h"
#include "summary/Summary.h"

#include <array>
#include <vector>

namespace kvor::summary {

namespace {

constexpr double kNarrow = 12;
constexpr double kWide = 40;
constexpr double kAmountWidth = 18;
// The grid columns the four stored amounts are shown in.
constexpr std::array<int, kAmountColumns> kGridColumns{grid::kOpening, grid::kAdded,
                                                       grid::kSubtracted, grid::kClosing};

// A sheet of a heading row and one row per item, the cells in the form's font.
class ListSheet final
{
public:
    ListSheet(lxw_workbook* book, const QString& name)
        : m_sheet(workbook_add_worksheet(book, name.toUtf8().constData())),
          m_heading(format(book, true, false)), m_text(format(book, false, false)),
          m_amount(format(book, false, true))
    {}
    bool ok() const { return m_sheet != nullptr; }

    void headings(const std::vector<std::pair<QString, double>>& columns)
    {
        for (size_t c = 0; c < columns.size(); ++c) {
            note(worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), columns[c].second,
                                      nullptr));
            text(0, int(c), columns[c].first, m_heading);
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
        m_columns = int(columns.size());
    }
    void text(int row, int col, const QString& value) { text(row, col, value, m_text); }
    void amount(int row, int col, std::optional<Money> value)
    {
        if (!value) {
            note(worksheet_write_blank(m_sheet, lxw_row_t(row), lxw_col_t(col), m_amount));
            return;
        }
        // The spreadsheet holds binary numbers; a sum of stotinki below 2^53 converts exactly
        // and shows to the stotinka in the number format.
        note(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(col),
                                    double(value->stotinki()) / Money::kStotinkiPerLev, m_amount));
    }
    // A filter on the heading, over the rows written.
    void finish(int rows)
    {
        if (rows > 0 && m_columns > 0) {
            note(worksheet_autofilter(m_sheet, 0, 0, lxw_row_t(rows), lxw_col_t(m_columns - 1)));
        }
    }
    lxw_error error() const { return m_error; }

private:
    static lxw_format* format(lxw_workbook* book, bool bold, bool amount)
    {
        lxw_format* f = workbook_add_format(book);
        format_set_font_name(f, kFormFont);
        format_set_font_size(f, kFormFontSize);
        if (bold) {
            format_set_bold(f);
            format_set_text_wrap(f);
        }
        if (amount) {
            format_set_num_format(f, kAmountFormat);
        }
        return f;
    }
    void text(int row, int col, const QString& value, lxw_format* f)
    {
        note(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col),
                                    value.toUtf8().constData(), f));
    }
    void note(lxw_error e)
    {
        if (m_error == LXW_NO_ERROR) {
            m_error = e;
        }
    }

    lxw_worksheet* m_sheet;
    lxw_format* m_heading;
    lxw_format* m_text;
    lxw_format* m_amount;
    int m_columns = 0;
    lxw_error m_error = LXW_NO_ERROR;
};

std::optional<QString> AddMunicipalities(lxw_workbook* book, const SummaryResult& s)
{
    ListSheet sheet(book, kMunicipalitiesSheet);
    if (!sheet.ok()) {
        return kMunicipalitiesSheet;
    }
    std::vector<std::pair<QString, double>> columns{{QStringLiteral("Код по ЕБК"), kNarrow},
                                                    {QStringLiteral("Община"), kNarrow * 2},
                                                    {QStringLiteral("Файл"), kWide},
                                                    {QStringLiteral("Състояние"), kNarrow * 2}};
    for (int c = 0; c < kAmountColumns; ++c) {
        columns.emplace_back(ColumnName(c), kAmountWidth);
    }
    sheet.headings(columns);
    int row = 0;
    for (const MunicipalityLine& line : s.lines) {
        ++row;
        sheet.text(row, 0, line.ebk);
        sheet.text(row, 1, line.name);
        sheet.text(row, 2, line.file);
        sheet.text(row, 3, StatusText(line.status));
        for (int c = 0; c < kAmountColumns; ++c) {
            sheet.amount(row, 4 + c,
                         line.firstTotal ? std::optional((*line.firstTotal)[size_t(c)])
                                         : std::nullopt);
        }
    }
    sheet.finish(row);
    return sheet.error() == LXW_NO_ERROR
               ? std::nullopt
               : std::optional(QString::fromUtf8(lxw_strerror(sheet.error())));
}

std::optional<QString> AddFindings(lxw_workbook* book, const SummaryResult& s)
{
    ListSheet sheet(book, kFindingsSheet);
    if (!sheet.ok()) {
        return kFindingsSheet;
    }
    sheet.headings({{QStringLiteral("Код по ЕБК"), kNarrow},
                    {QStringLiteral("Община"), kNarrow * 2},
                    {QStringLiteral("Файл"), kWide},
                    {QStringLiteral("Ред"), kWide},
                    {QStringLiteral("Колона"), kNarrow * 2},
                    {QStringLiteral("Очаквано"), kAmountWidth},
                    {QStringLiteral("Намерено"), kAmountWidth},
                    {QStringLiteral("Какво означава"), kWide * 2}});
    int row = 0;
    for (const Finding& f : s.findings) {
        ++row;
        const std::array<QString, 5> texts{f.ebk, f.municipality, f.file, f.row, f.column};
        for (size_t c = 0; c < texts.size(); ++c) {
            sheet.text(row, int(c), texts[c]);
        }
        sheet.amount(row, 5, f.expected);
        sheet.amount(row, 6, f.found);
        sheet.text(row, 7, f.meaning);
    }
    sheet.finish(row);
    return sheet.error() == LXW_NO_ERROR
               ? std::nullopt
               : std::optional(QString::fromUtf8(lxw_strerror(sheet.error())));
}

// The printed form's table with the sums in place of one report's figures.
PrintoutInput SumsForm(const SummaryResult& s)
{
    DomDocument structure;
    structure.loadBytes(s.structureXml);
    DomDocument empty; // no figures: the form's layout, captions and code texts only
    const ReportModel model(structure, empty);
    PrintoutInput in =
        PrintoutOf(model, QStringLiteral("(сбор от %1 справки)").arg(s.summed),
                   s.period ? s.period->text() : QString(), msg::kNote);
    for (size_t n = 0; n < s.sums.size() && n + grid::kHeadingRows < in.rows.size(); ++n) {
        for (int c = 0; c < kAmountColumns; ++c) {
            in.rows[n + grid::kHeadingRows][size_t(kGridColumns[size_t(c)])] =
                s.sums[n][size_t(c)];
        }
    }
    return in;
}

} // namespace

std::optional<QString> WriteSummaryWorkbook(const SummaryResult& summary, const QString& path)
{
    return WriteXlsxFile(path, [&summary](lxw_workbook* book) -> std::optional<QString> {
        if (auto failed = AddMunicipalities(book, summary)) {
            return failed;
        }
        if (auto failed = AddFormSheet(book, kSumsSheet, SumsForm(summary))) {
            return failed;
        }
        return AddFindings(book, summary);
    });
}

} // namespace kvor::summary
