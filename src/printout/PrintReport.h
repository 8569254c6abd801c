#pragma once
// The printed form of the report: the editor grid as it stands, in a fresh sheet shaped as the
// official form (title, two-level heading, borders, grey bands, footnote, signature lines,
// landscape), then shown in the desktop's spreadsheet program. The grid is only read.

#include "core/GridText.h"
#include "printout/XlError.h"

namespace kvor {

struct AppState;

// The handler of the editor's "Към Excel" button: the grid, and the report it shows (structure,
// municipality, period, footnote).
void cmdPrint_Click(const GridText& grdDocEnter, const AppState& state);

// The message for a refusal of the spreadsheet, chosen by its number; some get none.
void ReportExcelError(const xl::XlError& error);

} // namespace kvor
