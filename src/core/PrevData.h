#pragma once
// The previous month's report: found by the same naming rule, and the source of the new month's
// opening amounts.

#include <QString>

namespace kvor {

struct AppState;

struct PrevPeriod
{
    QString month; // "12", "09", "10"; empty when the month is no month
    QString year;
};

// The month before (sMonth, sYear), as its file name spells it.
PrevPeriod PreviousPeriod(const QString& sMonth, const QString& sYear);

// The path of the report of municipality `ebk` for the month before (sMonth, sYear); makes sure
// Data exists. Empty when the code or the year could not stand in a file name.
QString GetPrevFileName(const QString& ebk, const QString& sMonth, const QString& sYear);

// Sets bPrevData and sMsgNoPrev of `state` by whether the previous month's report exists, and
// while the first row's opening amount of xmlDoc is still "0" takes every row's closing amount of
// that report as the row's opening amount, text unchanged, for the rows both reports have.
// xmlDoc is changed in memory only.
void CheckForPrevData(AppState& state);

} // namespace kvor
