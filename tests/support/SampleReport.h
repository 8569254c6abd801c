#pragma once
// The editor grid of a report, laid out from a structure file by the editor's own report model:
// three heading rows, one row per structure row with its caption, amounts (one leading blank on
// even grid rows), the closing amount and the code texts; and the report state a printout
// reads (structure, municipality, period, footnote).

#include "core/Amount.h"
#include "core/GridText.h"
#include "core/OpenReport.h"
#include "core/ReportModel.h"
#include "core/XmlDom.h"

#include <QLocale>
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

inline TextTable ReportGrid(const DomDocument& structure, const AmountsOf& amounts = {})
{
    // A report document with the structure's row ids and the amounts, laid out by the model.
    const auto rows = selectNodes(structure, QStringLiteral("nomenclatures/structure//str"));
    DomDocument document;
    XmlNode positions = document.raw().append_child("positions");
    XmlNode stored = positions.append_child("structure");
    for (size_t n = 0; n < rows.size(); ++n) {
        const RowAmounts a = amounts ? amounts(static_cast<int>(n)) : RowAmounts();
        XmlNode row = stored.append_child("str");
        SetAttribute(row, QStringLiteral("id"), GetAttribute(rows[n], QStringLiteral("id")));
        SetAttribute(row, QStringLiteral("col1"), a.opening);
        SetAttribute(row, QStringLiteral("col6"), a.added);
        SetAttribute(row, QStringLiteral("col8"), a.subtracted);
    }
    const ReportModel model(structure, document);
    TextTable grid(model.Rows(), model.Cols());
    for (int r = 0; r < model.Rows(); ++r) {
        for (int c = 0; c < model.Cols(); ++c) {
            grid.setTextMatrix(r, c, model.TextMatrix(r, c));
        }
    }
    return grid;
}

// Amounts in every figure column, growing with the row, in the regional format: row n opens
// with n × 1000.5, adds n and takes away 0.25 (some in the thousands, so grouped).
inline RowAmounts GrowingAmounts(int n)
{
    return RowAmounts{AmountText(n * 1000.5), AmountText(n), AmountText(0.25)};
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
