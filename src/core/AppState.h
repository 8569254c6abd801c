#pragma once
// The report being worked on: the document, the form it is laid out by, its period and
// municipality, and what the editor says about the month before. The main window owns one and
// hands it to the dialogs that fill it in and to the editor.

#include "core/Messages.h"
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
    DomDocument xmlDoc;                   // the open report
    DomDocument xmlStructure;             // the form of the report
    QString sFileName;                    // full path of the report being opened or created
    bool bPrevData = false;               // the previous month's report of the current one exists
    QString sMsgNoPrev = msg::kMsgNoPrev; // empty exactly while the previous month's report exists
    QString sNote = msg::kNote;
    QString sMsgRed = msg::kMsgRed;
    QString sInfoTitle = msg::kInfoTitle;
    clsObshtini Obshtina;
    QString sPeriod;     // "03 / 2004"
    QString sMonth;      // "03"
    QString sYear;       // "2004"
    short iObshtina = 0; // remembered list position; -1 and -2: none
};

// Characters 1-2 and 6-9 of a period text ("03 / 2004" gives "03" and "2004").
QString PeriodMonth(const QString& period);
QString PeriodYear(const QString& period);

} // namespace kvor
