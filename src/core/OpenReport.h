#pragma once
// The report being worked on: its document, the form it is laid out by, its period and
// municipality, whether the previous month's report exists, and its file. Opening one is the
// same for a new report and for a correction: the report of the municipality and the month in
// Data, created from the form when there is none yet.

#include "core/Municipality.h"
#include "core/Period.h"
#include "core/Result.h"
#include "core/XmlDom.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace kvor {

struct OpenReport
{
    std::unique_ptr<DomDocument> document;  // the report; never null in an opened report
    std::unique_ptr<DomDocument> structure; // the form, as Structure.xml has it
    Period period;
    Municipality municipality;
    bool previousMonthExists = false;
    QString filePath; // where the report is saved: its place in Data
};

// Opens the report of `municipality` for `period` in Data, creating it from the form when it does
// not exist yet, stamps the period and the municipality into it and saves it at once; carries the
// previous month's closing amounts into a report without figures (in memory). Nothing is changed
// on disk when it fails: the structure cannot be read or used (Subject::Structure), the report
// cannot be created, read, is no report or cannot be saved (Subject::Report), or the code
// cannot stand in a file name (Kind::Invalid).
Result<OpenReport> OpenOrCreateReport(const Municipality& municipality, const Period& period);

// Opens for correction the report in Data that the chosen file names by its municipality, code and
// period (the chosen file may be a copy from anywhere). A chosen file that names none, or names
// one whose code or period cannot stand in a file name, is an Invalid failure of
// Subject::ChosenFile. Every file is read once: when the chosen file is that report, it is not
// read again.
Result<OpenReport> OpenReportForCorrection(const QString& chosenFile);

// The municipality and period a report chosen for correction names, and the report in Data they
// name; an Invalid failure of Subject::ChosenFile as above when it names none.
struct ChosenReport
{
    Municipality municipality;
    Period period;
    QString dataPath;
};
Result<ChosenReport> NameReportToCorrect(const DomDocument& chosen, const QString& chosenFile);

// The text of a new report file: single-quoted declaration, no line breaks.
QString SkeletonText(const QString& version, const QString& structureXml);

// The `structure` element of a new report for the form `structure`, in its text form: the rows
// without their captions, with one "0" attribute per stored column. The form is left as it is.
QString BuildEmptyStructure(const DomDocument& structure);

// Writes a new, empty report for the form `structure` to path; gives the bytes written.
Result<QByteArray> CreateReportFile(const DomDocument& structure, const QString& path);

} // namespace kvor
