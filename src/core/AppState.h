#pragma once
// The state the windows of the program share for the whole run.

#include "core/XmlDom.h"

#include <QString>

namespace kvor {

// The municipality of the current report.
struct clsObshtini
{
    QString Name;
    QString NumEBK;
};

struct AppState
{
    DomDocument xmlDoc;       // the open report
    DomDocument xmlObshtini;  // the municipality register
    DomDocument xmlStructure; // the form of the report
    QString sFileName;        // full path of the report being opened or created
    bool bPrevData = false;   // the previous month's report of the current one exists
    QString sMsgNoPrev;       // empty exactly while the previous month's report exists
    QString sNote;
    QString sMsgRed;
    QString sInfoTitle;
    clsObshtini Obshtina;
    QString sPeriod;     // "03 / 2004"
    QString sMonth;      // "03"
    QString sYear;       // "2004"
    short iObshtina = 0; // remembered list position; -1 and -2: none
};

AppState& State();
// Puts every field back to its start-up value, the fixed texts filled in.
void ResetState();
void FillFixedTexts(AppState& state);

// Characters 1-2 and 6-9 of a period text ("03 / 2004" gives "03" and "2004").
QString PeriodMonth(const QString& period);
QString PeriodYear(const QString& period);

} // namespace kvor
