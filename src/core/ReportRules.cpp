#include "core/ReportRules.h"

#include "core/Amount.h"

namespace kvor {

namespace {
// The pane switches to the footnote at different rows when a cell is left and when an opening
// amount is compared; both limits are kept as users know them.
constexpr int kLeaveNoteRow = 14;
constexpr int kCheckNoteRow = 13;
} // namespace

QString RowText(const QString& text, int gridRow)
{
    return gridRow % 2 == 0 ? u' ' + text : text;
}

QString ZeroIfEmpty(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("0") : text;
}

QString RowAmountText(double v, int gridRow)
{
    return RowText(AmountText(v), gridRow);
}

double CellValue(const QString& text)
{
    return AmountValue(text);
}

void RecomputeClosing(EditableGridText& grid, int gridRow)
{
    const double v = CellValue(ZeroIfEmpty(grid.TextMatrix(gridRow, grid::kOpening))) +
                     CellValue(ZeroIfEmpty(grid.TextMatrix(gridRow, grid::kAdded))) -
                     CellValue(ZeroIfEmpty(grid.TextMatrix(gridRow, grid::kSubtracted)));
    grid.setTextMatrix(gridRow, grid::kClosing, RowAmountText(v, gridRow));
}

void UpdateTotals(EditableGridText& grid, const ReportForm& form, int gridRow, int col,
                  const QString& oldText, const QString& newText)
{
    QString s = form.gridRow(gridRow).sumid;
    const double oldValue = CellValue(oldText);
    const double newValue = CellValue(newText);
    while (!s.isEmpty()) {
        QString target;
        const qsizetype dash = s.indexOf(u'-');
        if (dash >= 0) {
            target = s.left(dash);
            s = s.mid(dash + 1);
        } else {
            target = s;
            s.clear();
        }
        const int t = form.TotalGridRow(target);
        if (target.isEmpty() || t < 0 || t >= grid.Rows()) {
            continue;
        }
        const double v = CellValue(grid.TextMatrix(t, col)) - oldValue + newValue;
        grid.setTextMatrix(t, col, RowAmountText(v, t));
        RecomputeClosing(grid, t);
    }
}

QString LeavePaneText(int gridRow, const PaneTexts& t)
{
    if (gridRow >= kLeaveNoteRow) {
        return t.msgNoPrev.isEmpty() ? t.note : t.msgNoPrev + kCrLf + t.note;
    }
    return t.msgNoPrev.isEmpty() ? t.infoTitle : t.msgNoPrev;
}

QString CheckColPaneText(int gridRow, bool equal, bool columnAllBlack, const PaneTexts& t)
{
    const bool lower = gridRow >= kCheckNoteRow;
    if (equal && columnAllBlack) {
        return lower ? t.note : t.infoTitle;
    }
    return lower ? t.msgRed + kCrLf + t.note : t.infoTitle + kCrLf + t.msgRed;
}

QString ActivatePaneText(const PaneTexts& t)
{
    return t.infoTitle + kCrLf + t.msgNoPrev;
}

} // namespace kvor
