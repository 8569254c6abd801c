#pragma once
// What the editor computes from the figures of the grid: the leading blank of every second row,
// the closing amount of a row, the total rows and the texts of the information pane.

#include "core/GridText.h"
#include "core/ReportForm.h"

#include <QString>

namespace kvor {

// Amounts on even grid rows carry one leading blank, so that the same figure on two consecutive
// rows is never drawn as one merged cell.
QString RowText(const QString& text, int gridRow);

// "0" for the empty text, the text itself otherwise (a blank is not empty).
QString ZeroIfEmpty(const QString& text);

// The amount text of v for a grid row: two decimals in the Bulgarian form, then RowText.
QString RowAmountText(double v, int gridRow);

// The value of a figure as the grid holds it: blanks around it ignored, blank or not a number 0.
double CellValue(const QString& text);

// Closing amount = opening + increases - decreases, written into the closing column.
void RecomputeClosing(EditableGridText& grid, int gridRow);

// Carries a changed figure into the total rows its row names in "sumid" ("6-3-2"): the same
// column of each listed row changes by new - old, and its closing amount is recomputed. Ids are
// applied from left to right, once per occurrence; parts that name no row are passed over.
void UpdateTotals(EditableGridText& grid, const ReportForm& form, int gridRow, int col,
                  const QString& oldText, const QString& newText);

// The fixed texts the pane is made of.
struct PaneTexts
{
    QString infoTitle; // "Информация!"
    QString msgRed;    // why a figure is red
    QString msgNoPrev; // empty while the previous month's report exists
    QString note;      // the footnote on foreign-currency debt
};

inline const QString kCrLf = QStringLiteral("\r\n");

// The pane when a cell of grid row r is left: the footnote from grid row 14 on.
QString LeavePaneText(int gridRow, const PaneTexts& t);
// The pane after an opening amount of grid row r was compared: the footnote from grid row 13 on.
QString CheckColPaneText(int gridRow, bool equal, bool columnAllBlack, const PaneTexts& t);
// The pane when the editor opens.
QString ActivatePaneText(const PaneTexts& t);

} // namespace kvor
