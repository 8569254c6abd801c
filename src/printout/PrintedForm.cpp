#include "printout/PrintedForm.h"

#include "core/Messages.h"
#include "core/Money.h"

#include <algorithm>

namespace kvor {

namespace {

using namespace sheetcol;

// Grid row r stands on sheet row r + 4: the heading on rows 4 to 6, report rows from row 7 on.
inline constexpr int kGridToSheet = 4;
inline constexpr int kTitleRow = 1;
inline constexpr int kSubtitleRow = 2;
inline constexpr int kEmptyRow = 3;
inline constexpr int kHeadRow = 4;
inline constexpr int kSubHeadRow = 5;
inline constexpr int kNumbersRow = 6;
// Below the table's last row: the note, the footnote, the signature lines.
inline constexpr int kNoteBelow = 3;
inline constexpr int kFootnoteBelow = 4;
inline constexpr int kDateBelow = 10;
inline constexpr int kSignatureBelow = 11;

inline constexpr double kDefaultRowHeight = 12.75; // points, of Arial 10
inline constexpr double kHeadRowStretch = 2.5;
inline constexpr std::array<double, grid::kCols> kColumnWidths{68, 20, 15, 20, 15, 20, 20};
inline constexpr PageLayout kPage{
    .landscape = true,
    .paperSize = 9,
    .scale = 75,
    .leftMargin = 0.7,
    .rightMargin = 0,
    .topMargin = 0.75,
    .bottomMargin = 0.75,
    .defaultRowHeight = kDefaultRowHeight,
};

// The look of each column of a report row, plain and highlighted.
inline constexpr std::array<Look, grid::kCols> kRowLooks{
    Look::Caption, Look::Amount, Look::Code, Look::Amount, Look::Code, Look::Amount, Look::Amount};
inline constexpr std::array<Look, grid::kCols> kGreyRowLooks{
    Look::GreyCaption, Look::GreyAmount, Look::GreyCode,  Look::GreyAmount,
    Look::GreyCode,    Look::GreyAmount, Look::GreyAmount};

// The number a spreadsheet holds for an amount: lev with the stotinki as decimals.
double SheetNumber(Money amount)
{
    return double(amount.stotinki()) / Money::kStotinkiPerLev;
}

class FormWriter final
{
public:
    explicit FormWriter(FormSheet& sheet) : m_sheet(sheet) {}

    // An amount is written as a number; a text that reads as one (the column numbers, a code of
    // digits) becomes a number too, as it would when typed into the spreadsheet.
    void put(int row, int col, const PrintoutCell& cell, Look look)
    {
        if (cell.amount) {
            m_sheet.number(row, col, SheetNumber(*cell.amount), look);
        } else if (cell.text.isEmpty()) {
            m_sheet.blank(row, col, look);
        } else if (const auto amount = Money::parse(cell.text)) {
            m_sheet.number(row, col, SheetNumber(*amount), look);
        } else {
            m_sheet.text(row, col, cell.text, look);
        }
    }
    // A row of the form, columns A to G.
    void putRow(int row, const PrintoutInput::Row& texts,
                const std::array<Look, grid::kCols>& looks)
    {
        for (int c = 0; c < grid::kCols; ++c) {
            put(row, c + 1, texts[size_t(c)], looks[size_t(c)]);
        }
    }
    void putRow(int row, const PrintoutInput::Row& texts, Look look)
    {
        for (int c = 0; c < grid::kCols; ++c) {
            put(row, c + 1, texts[size_t(c)], look);
        }
    }
    // A line merged across A to G.
    void putLine(int row, const QString& text, Look look, Look hidden)
    {
        m_sheet.merge(row, A, row, G);
        put(row, A, text, look);
        for (int c = B; c <= G; ++c) {
            m_sheet.blank(row, c, hidden);
        }
    }

private:
    FormSheet& m_sheet;
};

} // namespace

int FormRowCount(int gridRows)
{
    return std::max(gridRows, grid::kHeadingRows) + kGridToSheet - 1 + kSignatureBelow;
}

void WriteForm(const PrintoutInput& in, FormSheet& sheet)
{
    FormWriter w(sheet);
    static const PrintoutInput::Row kNoTexts{};
    const auto gridRow = [&in](size_t r) -> const PrintoutInput::Row& {
        return r < in.rows.size() ? in.rows[r] : kNoTexts;
    };
    const int gridRows = std::max(int(in.rows.size()), grid::kHeadingRows);
    const int lastRow = gridRows + kGridToSheet - 1; // the table's last sheet row

    sheet.page(kPage);
    for (int c = A; c <= G; ++c) {
        sheet.columnWidth(c, kColumnWidths[size_t(c - 1)]);
    }
    sheet.rowHeight(kHeadRow, kHeadRowStretch * kDefaultRowHeight);

    // Title.
    w.putLine(kTitleRow, msg::kPrintTitle, Look::Title, Look::Title);
    w.putLine(kSubtitleRow,
              msg::kPrintSubtitle + in.municipality + msg::kPrintSubtitleAt + in.period,
              Look::Subtitle, Look::Subtitle);
    w.putRow(kEmptyRow, kNoTexts, Look::Subtitle);

    // The two-level heading. The grid repeats a heading over every cell it spans; the form shows
    // it once, in the first cell of its merged block: A, B and G over two rows, the two column
    // groups C:D and E:F over two columns (each group's text is the grid's second copy).
    for (const auto& [top, left, bottom, right] :
         std::array<std::array<int, 4>, 5>{{{kHeadRow, A, kSubHeadRow, A},
                                            {kHeadRow, B, kSubHeadRow, B},
                                            {kHeadRow, G, kSubHeadRow, G},
                                            {kHeadRow, C, kHeadRow, D},
                                            {kHeadRow, E, kHeadRow, F}}}) {
        sheet.merge(top, left, bottom, right);
    }
    const PrintoutInput::Row& head = gridRow(0);
    const PrintoutInput::Row& sub = gridRow(1);
    const PrintoutCell none;
    w.putRow(kHeadRow, PrintoutInput::Row{head[0], head[1], head[3], none, head[5], none, head[6]},
             Look::Heading);
    w.putRow(kSubHeadRow, PrintoutInput::Row{none, none, sub[2], sub[3], sub[4], sub[5], none},
             Look::Subheading);
    w.putRow(kNumbersRow, gridRow(2), Look::ColumnNumbers);

    // Report rows; the highlighted ones on the grey band.
    for (int r = grid::kHeadingRows; r < gridRows; ++r) {
        w.putRow(r + kGridToSheet, gridRow(size_t(r)),
                 in.isHighlighted(size_t(r)) ? kGreyRowLooks : kRowLooks);
    }

    // Footnote and signature lines. The footnote's line is merged across the page; its cells after
    // the first carry nothing but the font.
    w.put(lastRow + kNoteBelow, A, msg::kPrintNoteHeading, Look::NoteHeading);
    w.putLine(lastRow + kFootnoteBelow, in.footnote, Look::Footnote, Look::Plain);
    w.put(lastRow + kDateBelow, A, msg::kPrintDate, Look::Signature);
    w.put(lastRow + kDateBelow, E, msg::kPrintPreparedBy, Look::Signature);
    w.put(lastRow + kSignatureBelow, F, msg::kPrintSignatureNote, Look::Signature);
}

} // namespace kvor
