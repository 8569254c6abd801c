#pragma once
// The previous month's report: found by the same naming rule, and the source of the new month's
// opening amounts.

#include "core/Period.h"

#include <QString>

namespace kvor {

class DomDocument;

// The path of the report of municipality `ebk` for the month before `period`; empty when there
// is no month before or its name could not stand in a file name.
QString PreviousReportPath(const QString& ebk, const Period& period);

// While the first row's opening amount of `report` is still "0", takes every row's closing amount
// of `previous` as the row's opening amount, text unchanged, for the rows both reports have.
// Figures already typed into the month are the user's and stay.
void CarryClosingAmounts(const DomDocument& previous, DomDocument& report);

} // namespace kvor
