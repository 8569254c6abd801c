#pragma once
// A report set up as opening leaves it for the editor: the sample structure and the new report of
// Банско for 03 / 2004 (the golden opened file, every amount "0"); and figures typed into a report
// and saved the way the editor does it.

#include "core/OpenReport.h"
#include "core/ReportDocument.h"
#include "core/ReportModel.h"
#include "core/ReportName.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

#include <initializer_list>

namespace kvor::test {

// Row 2 of the sample structure is the first one that takes figures.
inline constexpr int kFirstEditableRow = 2;

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

struct Typed
{
    int row;
    int col;
    QString text;
};

// Types the figures into the state's report through its model as the editor takes them, stores
// them and saves the report with its hash to path, as "Запис" does.
inline Status SaveTyped(OpenReport& state, const QString& path, std::initializer_list<Typed> typed)
{
    ReportModel report(*state.structure, *state.document);
    for (const Typed& t : typed) {
        if (report.enter(t.row, t.col, t.text) != ReportModel::Entry::Accepted) {
            return Failure::of(Failure::Kind::Invalid, path, t.text);
        }
    }
    if (Status stored = report.store(*state.document); !stored) {
        return stored;
    }
    return SaveHashedDocument(*state.document, path);
}

} // namespace kvor::test
