#include "printout/PrintedForm.h"

#include "core/Amount.h"
#include "core/Messages.h"

#include <QLocale>
#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

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

// Reads amounts as the editor writes them, Bulgarian; a text that is no Bulgarian amount is tried
// in the regional format too, as the spreadsheet would read it when typed.
class AmountReader final
{
public:
    AmountReader()
    {
        for (const char16_t c : std::u16string_view(u"0123456789 \t\u00A0\u202F+-\u2212.,")) {
            allow(c);
        }
    }

    std::optional<double> operator()(const QString& text) const
    {
        if (const auto amount = editorAmount(text)) {
            return amount;
        }
        // Most other texts of the form are words: a character no amount has rules them out.
        for (const QChar c : text) {
            if (!allowed(c.unicode())) {
                return std::nullopt;
            }
        }
        return ParseAmount(text);
    }

private:
    static constexpr size_t kTableSize = 0x10000;
    static constexpr int kMaxDigits = 15; // cents that a double holds exactly

    static bool isGroupMark(QChar c)
    {
        return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F);
    }

    // The amount as the editor writes it, "-1 234,50" (blanks before it allowed), read without
    // the general parser, which takes most of a large printout's time. The cents divided by 100
    // give the same double as reading the decimal text. Anything else is left to the parser.
    static std::optional<double> editorAmount(const QString& text)
    {
        qsizetype i = 0;
        const qsizetype n = text.size();
        while (i < n && text[i] == u' ') {
            ++i;
        }
        const bool negative = i < n && text[i] == u'-';
        i += negative ? 1 : 0;
        long long cents = 0;
        int digits = 0;
        int inGroup = 0;
        bool grouped = false;
        for (; i < n && text[i] != u','; ++i) {
            const QChar c = text[i];
            if (c >= u'0' && c <= u'9' && ++digits <= kMaxDigits) {
                cents = cents * 10 + (c.unicode() - u'0');
                ++inGroup;
            } else if (isGroupMark(c) && inGroup > 0 && (grouped ? inGroup == 3 : inGroup <= 3)) {
                grouped = true;
                inGroup = 0;
            } else {
                return std::nullopt;
            }
        }
        if ((grouped && inGroup != 3) || inGroup == 0 || i + 3 != n) {
            return std::nullopt;
        }
        for (++i; i < n; ++i) {
            if (text[i] < u'0' || text[i] > u'9' || ++digits > kMaxDigits) {
                return std::nullopt;
            }
            cents = cents * 10 + (text[i].unicode() - u'0');
        }
        const double value = double(cents) / 100;
        return negative ? -value : value;
    }

    void allow(char16_t c) { m_allowed[c] = true; }
    bool allowed(char16_t c) const { return m_allowed[c]; }

    std::vector<bool> m_allowed = std::vector<bool>(kTableSize, false);
};

class FormWriter final
{
public:
    explicit FormWriter(FormSheet& sheet) : m_sheet(sheet) {}

    void put(int row, int col, const QString& text, Look look)
    {
        if (text.isEmpty()) {
            m_sheet.blank(row, col, look);
        } else if (const auto amount = m_readAmount(text)) {
            m_sheet.number(row, col, *amount, look);
        } else {
            m_sheet.text(row, col, text, look);
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
    const AmountReader m_readAmount;
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
    w.putRow(kHeadRow, {head[0], head[1], head[3], QString(), head[5], QString(), head[6]},
             Look::Heading);
    w.putRow(kSubHeadRow, {QString(), QString(), sub[2], sub[3], sub[4], sub[5], QString()},
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
