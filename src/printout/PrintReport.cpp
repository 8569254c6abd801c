#include "printout/PrintReport.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "printout/modGridToExcel.h"

#include <array>

namespace kvor {

namespace {

using namespace xl;

// Where the grid lands: grid row r on sheet row r + 4, grid column c on sheet column c + 1.
inline constexpr short kFirstSheetRow = 4;
inline constexpr short kFirstSheetCol = 1;
inline constexpr int kHeadingRows = 3;
inline constexpr int kLastCol = 7; // G
inline constexpr int kTitleRow = 1;
inline constexpr int kSubtitleRow = 2;
inline constexpr int kHeadRow = 4;    // first heading row
inline constexpr int kSubHeadRow = 5; // second heading row
inline constexpr int kNumbersRow = 6; // the column numbers
inline constexpr int kFirstDataRow = 7;
inline constexpr double kHeadRowStretch = 2.5;
inline constexpr int kPrintZoom = 75;
inline constexpr double kHeadSize = 12;
inline constexpr double kTableHeadSize = 11;
inline constexpr int kColA = 1, kColB = 2, kColC = 3, kColD = 4, kColE = 5, kColF = 6, kColG = 7;
inline constexpr std::array<double, kLastCol> kColumnWidths{68, 20, 15, 20, 15, 20, 20};
const QString kAmountFormat = QStringLiteral("0.00");

class BusyPointer final
{
public:
    BusyPointer() { platform().SetBusy(true); }
    ~BusyPointer() { release(); }
    void release()
    {
        if (m_on) {
            m_on = false;
            platform().SetBusy(false);
        }
    }

private:
    bool m_on = true;
};

// The structure rows the editor draws on a coloured background: ids 2, 3 and 4 (the total
// and the two kinds of debt).
std::vector<bool> highlightedGridRows(const DomDocument& structure, int gridRows)
{
    const auto rows = selectNodes(structure, QStringLiteral("nomenclatures/structure//str"));
    std::vector<bool> out(size_t(std::max(gridRows, 0)), false);
    for (int r = kHeadingRows; r < gridRows; ++r) {
        const size_t n = size_t(r - kHeadingRows);
        if (n < rows.size()) {
            const QString id = GetAttribute(rows[n], QStringLiteral("id"));
            out[size_t(r)] = id == u"2" || id == u"3" || id == u"4";
        }
    }
    return out;
}

// Formatting goes through the selection, block by block, in an order where later steps win.
class ReportSheet final
{
public:
    ReportSheet(Application& app, Worksheet& sheet) : m_app(app), m_ws(sheet) {}

    Range select(int top, int left, int bottom, int right)
    {
        m_ws.Range(m_ws.Cells(top, left), m_ws.Cells(bottom, right)).Select();
        return m_app.Selection();
    }
    Range select(int row, int col)
    {
        m_ws.Cells(row, col).Select();
        return m_app.Selection();
    }
    Range cell(int row, int col) { return m_ws.Cells(row, col); }
    PageSetup& page() { return m_ws.PageSetup(); }

private:
    Application& m_app;
    Worksheet& m_ws;
};

void FormatReport(Application& app, Worksheet& sheet, int gridRows, const AppState& state)
{
    ReportSheet s(app, sheet);
    const int lastRow = gridRows + kFirstSheetRow - 1; // the table's last sheet row
    const bool hasDataRows = gridRows > kHeadingRows;

    // Formatting is done with the application hidden, which spares the redrawing of every
    // step; switching full screen on and off leaves its window in normal mode for the showing.
    app.setVisible(false);
    app.setDisplayFullScreen(true);
    app.setDisplayFullScreen(false);

    s.page().setOrientation(xlLandscape);
    s.page().setZoom(kPrintZoom);
    s.page().setRightMargin(0);

    // The grid repeats each heading over the cells it spans; one text per block remains.
    for (const auto& [row, col] : std::array<std::pair<int, int>, 5>{{{kSubHeadRow, kColA},
                                                                      {kSubHeadRow, kColB},
                                                                      {kHeadRow, kColC},
                                                                      {kHeadRow, kColE},
                                                                      {kSubHeadRow, kColG}}}) {
        s.cell(row, col).ClearContents();
    }
    for (const auto& [top, left, bottom, right] :
         std::array<std::array<int, 4>, 5>{{{kHeadRow, kColA, kSubHeadRow, kColA},
                                            {kHeadRow, kColB, kSubHeadRow, kColB},
                                            {kHeadRow, kColG, kSubHeadRow, kColG},
                                            {kHeadRow, kColC, kHeadRow, kColD},
                                            {kHeadRow, kColE, kHeadRow, kColF}}}) {
        Range block = s.select(top, left, bottom, right);
        block.setMergeCells(true);
        block.setWrapText(true);
    }

    s.select(kTitleRow, kColA, kNumbersRow, kLastCol).setHorizontalAlignment(xlCenter);

    Range head = s.cell(kHeadRow, kColA);
    head.setRowHeight(kHeadRowStretch * head.RowHeight());
    for (int c = kColA; c <= kLastCol; ++c) {
        s.cell(kHeadRow, c).setColumnWidth(kColumnWidths[size_t(c - 1)]);
    }

    Range top = s.select(kTitleRow, kColA, kHeadRow, kLastCol);
    top.setWrapText(true);
    top.setVerticalAlignment(xlCenter);
    top.Font().setBold(true);
    top.Font().setSize(kHeadSize);

    Range tableHead = s.select(kHeadRow, kColA, kNumbersRow, kLastCol);
    tableHead.setWrapText(true);
    tableHead.setVerticalAlignment(xlCenter);
    tableHead.Font().setSize(kTableHeadSize);

    Range title = s.select(kTitleRow, kColA, kTitleRow, kLastCol);
    title.setMergeCells(true);
    title.setFormulaR1C1(msg::kPrintTitle);
    title.Font().setUnderline(true);

    Range subtitle = s.select(kSubtitleRow, kColA, kSubtitleRow, kLastCol);
    subtitle.setMergeCells(true);
    subtitle.setFormulaR1C1(msg::kPrintSubtitle + state.Obshtina.Name + msg::kPrintSubtitleAt +
                            state.sPeriod);

    Range table = s.select(kHeadRow, kColA, lastRow, kLastCol);
    for (int edge :
         {xlEdgeLeft, xlEdgeTop, xlEdgeBottom, xlEdgeRight, xlInsideVertical, xlInsideHorizontal}) {
        table.Borders(edge).setLineStyle(xlContinuous);
    }

    s.select(kHeadRow, kColA, kSubHeadRow, kLastCol).Interior().setColorIndex(kGreyColorIndex);
    const std::vector<bool> highlighted = highlightedGridRows(state.xmlStructure, gridRows);
    for (int r = 2; r < gridRows; ++r) {
        if (highlighted[size_t(r)]) {
            const int row = r + kFirstSheetRow;
            s.select(row, kColA, row, kLastCol).Interior().setColorIndex(kGreyColorIndex);
        }
    }

    // Without data rows these blocks would reach back into the heading.
    if (hasDataRows) {
        s.select(kFirstDataRow, kColC, lastRow, kColC).setHorizontalAlignment(xlCenter);
        s.select(kFirstDataRow, kColE, lastRow, kColE).setHorizontalAlignment(xlCenter);
    }

    Range note = s.select(lastRow + 3, kColA);
    note.setFormulaR1C1(msg::kPrintNoteHeading);
    note.Font().setUnderline(true);

    Range footnote = s.select(lastRow + 4, kColA);
    footnote.setFormulaR1C1(state.sNote);
    footnote.setWrapText(true);
    s.select(lastRow + 4, kColA, lastRow + 4, kLastCol).setMergeCells(true);

    Range date = s.select(lastRow + 10, kColA);
    date.Font().setBold(true);
    date.setFormulaR1C1(msg::kPrintDate);
    Range preparedBy = s.select(lastRow + 10, kColE);
    preparedBy.Font().setBold(true);
    preparedBy.setFormulaR1C1(msg::kPrintPreparedBy);
    Range signature = s.select(lastRow + 11, kColF);
    signature.Font().setBold(true);
    signature.setFormulaR1C1(msg::kPrintSignatureNote);

    if (hasDataRows) {
        for (int col : {kColB, kColD, kColF, kColG}) {
            Range amounts = s.select(kFirstDataRow, col, lastRow, col);
            amounts.setHorizontalAlignment(xlRight);
            amounts.setNumberFormat(kAmountFormat);
        }
    }

    s.select(kTitleRow, kColA);
    s.page().setRightMargin(0);
    app.setVisible(true);
}

} // namespace

void ReportExcelError(const XlError& error)
{
    if (error.Number == kErrNoPrinter) {
        platform().MsgBox(msg::kExcelNoPrinter, MsgButtons::Ok, MsgIcon::Exclamation,
                          msg::kTitleExcelWarning);
    } else if (error.Number > 0 && error.Number != kErrClassNotFound) {
        platform().MsgBox(msg::kExcelFailed, MsgButtons::Ok, MsgIcon::Critical,
                          msg::kTitleExcelError);
    }
}

void cmdPrint_Click(const GridText& grdDocEnter, const AppState& state)
{
    BusyPointer busy;
    try {
        VariantArray grid;
        GridToArray(grid, grdDocEnter);
        const auto app = GetExcel();
        const auto book = GetWorkbook();
        const auto sheet = book ? book->ActiveSheet() : nullptr;
        if (!app || !sheet) {
            throw XlError(kErrObjectNotSet, msg::kXlObjectNotSet);
        }
        if (!ArrayToRange(2, kFirstSheetRow, kFirstSheetCol, grid)) {
            CloseWorkbook(false);
            CloseExcel();
            return;
        }
        FormatReport(*app, *sheet, grdDocEnter.Rows(), state);
    } catch (const XlError& e) {
        busy.release();
        ReportExcelError(e);
    }
}

} // namespace kvor
