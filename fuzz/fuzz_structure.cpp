// Any bytes as Structure.xml: a refused file leaves no structure behind and says so; a usable one
// gives a form whose every editable cell can be typed into with the sums carried to its totals,
// and a new report built from it that reads back.

#include "FuzzFolder.h"
#include "core/Cp1251.h"
#include "core/GridText.h"
#include "core/ReportDocument.h"
#include "core/ReportForm.h"
#include "core/ReportRules.h"
#include "core/StructureFile.h"

#include <cmath>

using namespace kvor;

namespace {

// Enough rows to reach every rule a real form has while keeping each input quick.
constexpr int kRowsTyped = 64;

void TypeEveryCell(const ReportForm& form)
{
    const QLocale bg(QLocale::Bulgarian, QLocale::Bulgaria);
    TextTable grid(grid::kHeadingRows + form.rowCount(), grid::kCols);
    const int last = grid::kHeadingRows + std::min(form.rowCount(), kRowsTyped);
    for (int r = grid::kHeadingRows; r < last; ++r) {
        for (const int col : {int(grid::kOpening), int(grid::kAdded), int(grid::kSubtracted)}) {
            if (!form.IsEditableCell(r, col)) {
                continue;
            }
            const QString before = grid.TextMatrix(r, col);
            const QString typed = RowAmountText(1234.5 * r, r, bg);
            grid.setTextMatrix(r, col, typed);
            RecomputeClosing(grid, r, bg);
            UpdateTotals(grid, form, r, col, before, typed, bg);
        }
        (void)form.CodeTexts(form.gridRow(r).id.toInt());
        (void)form.TotalGridRow(form.gridRow(r).sumid);
    }
    for (int r = grid::kHeadingRows; r < last; ++r) {
        fuzz::check(std::isfinite(CellValue(grid.TextMatrix(r, grid::kClosing), bg)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    const fuzz::FuzzPlatform& p = f.reset();
    fuzz::FuzzFolder::write(f.path(QString::fromLatin1(kStructureFileName)),
                            fuzz::bytesOf(data, size));

    DomDocument& structure = State().xmlStructure;
    if (!ReadStructure()) {
        fuzz::check(structure.isEmpty() && p.messages == 1 && !p.ended);
        return 0;
    }
    fuzz::check(p.messages == 0);
    const ReportForm form(structure);
    (void)form.headings();
    TypeEveryCell(form);

    const QString version = GetAttribute(structure.documentElement(), QStringLiteral("version"));
    const QByteArray skeleton = Cp1251EncodeXml(SkeletonText(version, BuildEmptyStructure()));
    DomDocument report;
    fuzz::check(report.loadBytes(skeleton) == kLoadOk);
    return 0;
}
