#pragma once
// A report set up as the dialogs leave it for the editor: the sample structure in xmlStructure and
// the new report of Банско for 03 / 2004 (the golden opened file, every amount "0") in xmlDoc.

#include "core/AppState.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

namespace kvor::test {

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

} // namespace kvor::test
