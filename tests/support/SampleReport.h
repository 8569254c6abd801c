#pragma once
// A report document for a structure file with amounts in every row, and the report state a
// printout reads (structure, municipality, period, footnote).

#include "core/Money.h"
#include "core/OpenReport.h"
#include "core/XmlDom.h"

#include <functional>

namespace kvor::test {

inline const QString kSampleMunicipality = QStringLiteral("Пловдив");
inline const QString kSamplePeriod = QStringLiteral("03 / 2004");

// The texts of grid columns 1, 3 and 5 of report row n, as stored in the document.
struct RowAmounts
{
    QString opening = QStringLiteral("0");
    QString added = QStringLiteral("0");
    QString subtracted = QStringLiteral("0");
};
using AmountsOf = std::function<RowAmounts(int n)>;

// Fills `document` with a report of the structure's rows: their ids and the amounts.
inline void FillReport(DomDocument& document, const DomDocument& structure,
                       const AmountsOf& amounts = {})
{
    const auto rows = selectNodes(structure, QStringLiteral("nomenclatures/structure//str"));
    XmlNode positions = document.raw().append_child("positions");
    SetAttribute(positions, QStringLiteral("period"), kSamplePeriod);
    XmlNode stored = positions.append_child("structure");
    for (size_t n = 0; n < rows.size(); ++n) {
        const RowAmounts a = amounts ? amounts(static_cast<int>(n)) : RowAmounts();
        XmlNode row = stored.append_child("str");
        SetAttribute(row, QStringLiteral("id"), GetAttribute(rows[n], QStringLiteral("id")));
        SetAttribute(row, QStringLiteral("col1"), a.opening);
        SetAttribute(row, QStringLiteral("col6"), a.added);
        SetAttribute(row, QStringLiteral("col8"), a.subtracted);
    }
}

// Amounts in every figure column, growing with the row, in the regional format: row n opens
// with n × 1000.5, adds n and takes away 0.25 (some in the thousands, so grouped).
inline RowAmounts GrowingAmounts(int n)
{
    return RowAmounts{Money::fromStotinki(n * 100050LL).text(),
                      Money::fromStotinki(n * 100LL).text(), Money::fromStotinki(25).text()};
}

// Puts the sample structure and the sample municipality and period into `report`.
inline bool LoadSampleState(OpenReport& report, const QString& structurePath)
{
    report.municipality = {kSampleMunicipality, QStringLiteral("1622")};
    report.period = *Period::fromText(kSamplePeriod);
    report.document = std::make_unique<DomDocument>();
    report.structure = std::make_unique<DomDocument>();
    return report.structure->load(structurePath) == kLoadOk;
}

} // namespace kvor::test
