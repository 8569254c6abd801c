#pragma once
// A report set up as opening leaves it for the editor: the sample structure and the new report of
// Банско for 03 / 2004 (the golden opened file, every amount "0").

#include "core/OpenReport.h"
#include "core/ReportName.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

namespace kvor::test {

// A report with both documents there and empty.
inline OpenReport EmptyReport()
{
    OpenReport report;
    report.document = std::make_unique<DomDocument>();
    report.structure = std::make_unique<DomDocument>();
    return report;
}

inline void LoadSampleReport(OpenReport& report)
{
    report = EmptyReport();
    report.structure->load(ProgramFolder::sampleFile(QStringLiteral("Structure.xml")));
    report.document->loadBytes(ReadBytes(GoldenPath("opened_sample.xml")));
    report.municipality = {QStringLiteral("Банско"), QStringLiteral("5101")};
    report.period = Period(3, 2004);
    report.filePath = ReportFilePath(report.municipality.ebk, report.period);
}

// The n-th stored row of the document (0 is the first).
inline XmlNode DocRow(const DomDocument& doc, int n)
{
    const auto rows = selectNodes(doc, QStringLiteral("positions/structure//str"));
    return n >= 0 && n < static_cast<int>(rows.size()) ? rows[n] : XmlNode();
}

} // namespace kvor::test
