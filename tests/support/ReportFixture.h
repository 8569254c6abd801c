#pragma once
// A report set up as the dialogs leave it for the editor: the sample structure in xmlStructure and
// the new report of Банско for 03 / 2004 (the golden opened file, every amount "0") in xmlDoc;
// and figures typed into a report and saved the way the editor does it.

#include "core/AppState.h"
#include "core/ReportDocument.h"
#include "core/ReportModel.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

#include <initializer_list>

namespace kvor::test {

// Row 2 of the sample structure is the first one that takes figures.
inline constexpr int kFirstEditableRow = 2;

inline void LoadSampleReport(AppState& state)
{
    state.xmlStructure.load(ProgramFolder::sampleFile(QStringLiteral("Structure.xml")));
    state.xmlDoc.loadBytes(ReadBytes(GoldenPath("opened_sample.xml")));
    state.Obshtina = {QStringLiteral("Банско"), QStringLiteral("5101")};
    state.sPeriod = QStringLiteral("03 / 2004");
    state.sMonth = QStringLiteral("03");
    state.sYear = QStringLiteral("2004");
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
inline Status SaveTyped(AppState& state, const QString& path, std::initializer_list<Typed> typed)
{
    ReportModel report(state.xmlStructure, state.xmlDoc);
    for (const Typed& t : typed) {
        if (report.enter(t.row, t.col, t.text) != ReportModel::Entry::Accepted) {
            return Failure::of(Failure::Kind::Invalid, path, t.text);
        }
    }
    if (Status stored = report.store(state.xmlDoc); !stored) {
        return stored;
    }
    return SaveHashedDocument(state.xmlDoc, path);
}

} // namespace kvor::test
