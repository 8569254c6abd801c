#pragma once
// The texts of the information pane below the report: the title, why a figure is red, that no
// previous month's report was found, and the footnote on foreign-currency debt for the lower
// rows of the form.

#include <QString>

namespace kvor {

struct PaneTexts
{
    QString infoTitle; // "Информация!"
    QString msgRed;    // why a figure is red
    QString msgNoPrev; // empty while the previous month's report exists
    QString note;      // the footnote on foreign-currency debt
};

inline const QString kCrLf = QStringLiteral("\r\n");

// Rows are counted as on the printed form, whose first report row is row 3.
// The pane when a cell of row r is left: the footnote from row 14 on.
QString LeavePaneText(int row, const PaneTexts& t);
// The pane after an opening amount of row r was compared: the footnote from row 13 on.
QString CheckColPaneText(int row, bool equal, bool columnAllBlack, const PaneTexts& t);
// The pane when the editor opens.
QString ActivatePaneText(const PaneTexts& t);

} // namespace kvor
