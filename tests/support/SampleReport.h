#pragma once
// The editor grid of a report, laid out from a structure file as the editor lays it out: three
// heading rows, one row per structure row with its caption, amounts (one leading blank on even
// grid rows), the closing amount and the code texts; and the application state a printout
// reads (structure, municipality, period, footnote).

#include "app/AppState.h"
#include "editor/Amount.h"
#include "editor/GridText.h"
#include "storage/XmlDom.h"

#include <QLocale>
#include <QStringList>
#include <functional>
#include <map>

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

inline QString RowText(const QString& text, int gridRow)
{
    return gridRow % 2 == 0 ? QStringLiteral(" ") + text : text;
}

inline TextTable ReportGrid(const DomDocument& structure, const AmountsOf& amounts = {})
{
    auto name = [&](const QString& expr) {
        return GetAttribute(selectSingleNode(structure, expr), QStringLiteral("name"));
    };
    auto col = [&](int id, bool nested) {
        return name(QStringLiteral("nomenclatures/columns%1col[@id='%2']")
                        .arg(nested ? QStringLiteral("//") : QStringLiteral("/"))
                        .arg(id));
    };
    const auto rows = selectNodes(structure, QStringLiteral("nomenclatures/structure//str"));
    std::map<std::pair<QString, QString>, QString> codes;
    for (const auto& code : selectNodes(structure, QStringLiteral("nomenclatures/codes/code"))) {
        codes[{GetAttribute(code, QStringLiteral("strid")),
               GetAttribute(code, QStringLiteral("colid"))}] =
            GetAttribute(code, QStringLiteral("item"));
    }

    TextTable grid(int(rows.size()) + 3, 7);
    const QString structureName = name(QStringLiteral("nomenclatures/structure"));
    const QStringList head0{structureName, col(1, false), col(2, false), col(2, false),
                            col(3, false), col(3, false), col(4, false)};
    const QStringList head1{structureName, col(1, false), col(5, true), col(6, true),
                            col(7, true),  col(8, true),  col(4, false)};
    for (int c = 0; c < 7; ++c) {
        grid.setTextMatrix(0, c, head0[c]);
        grid.setTextMatrix(1, c, head1[c]);
        grid.setTextMatrix(2, c, QString::number(c + 1));
    }
    for (int n = 0; n < int(rows.size()); ++n) {
        const int r = n + 3;
        const RowAmounts a = amounts ? amounts(n) : RowAmounts();
        const QString id = GetAttribute(rows[size_t(n)], QStringLiteral("id"));
        grid.setTextMatrix(r, 0, GetAttribute(rows[size_t(n)], QStringLiteral("name")));
        grid.setTextMatrix(r, 1, RowText(a.opening, r));
        grid.setTextMatrix(r, 3, RowText(a.added, r));
        grid.setTextMatrix(r, 5, RowText(a.subtracted, r));
        const double closing =
            AmountValue(a.opening) + AmountValue(a.added) - AmountValue(a.subtracted);
        grid.setTextMatrix(r, 6, RowText(AmountText(closing), r));
        grid.setTextMatrix(r, 2, codes[{id, QStringLiteral("5")}]);
        grid.setTextMatrix(r, 4, codes[{id, QStringLiteral("7")}]);
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
