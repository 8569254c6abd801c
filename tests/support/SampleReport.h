#pragma once
// The editor grid of a report, laid out from a structure file by the editor's own report form:
// three heading rows, one row per structure row with its caption, amounts (one leading blank on
// even grid rows), the closing amount and the code texts; and the application state the words of
// a printout come from (structure, municipality, period, footnote).

#include "core/AppState.h"
#include "core/Amount.h"
#include "core/GridText.h"
#include "core/ReportForm.h"
#include "core/ReportRules.h"
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
    const ReportForm form(structure);
    TextTable grid(form.rowCount() + grid::kHeadingRows, grid::kCols);
    for (int c = 0; c < grid::kCols * grid::kHeadingRows; ++c) {
        grid.setTextMatrix(c / grid::kCols, c % grid::kCols,
                           form.headings()[c / grid::kCols][c % grid::kCols]);
    }
    for (int n = 0; n < form.rowCount(); ++n) {
        const int r = n + grid::kHeadingRows;
        const RowAmounts a = amounts ? amounts(n) : RowAmounts();
        const auto [added, subtracted] = form.CodeTexts(form.row(n).id.toInt());
        const QString texts[] = {
            form.row(n).caption, RowText(a.opening, r),   added, RowText(a.added, r),
            subtracted,          RowText(a.subtracted, r)};
        for (int c = 0; c < 6; ++c) {
            grid.setTextMatrix(r, c, texts[c]);
        }
        RecomputeClosing(grid, r);
    }
    return grid;
}

// Amounts in every figure column, growing with the row, in the regional format: row n opens
// with n × 1000.5, adds n and takes away 0.25 (some in the thousands, so grouped).
inline RowAmounts GrowingAmounts(int n)
{
    return RowAmounts{AmountText(n * 1000.5), AmountText(n), AmountText(0.25)};
}

// Puts the sample structure and the sample municipality and period into the application state.
inline bool LoadSampleState(const QString& structurePath)
{
    ResetState();
    State().Obshtina.Name = kSampleMunicipality;
    State().Obshtina.NumEBK = QStringLiteral("1622");
    State().sPeriod = kSamplePeriod;
    State().sMonth = PeriodMonth(kSamplePeriod);
    State().sYear = PeriodYear(kSamplePeriod);
    return State().xmlStructure.load(structurePath) == kLoadOk;
}

} // namespace kvor::test
