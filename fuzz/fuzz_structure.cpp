// Any bytes as Structure.xml: a refused file leaves no structure behind and says so; a usable one
// gives a form whose every editable cell can be typed into with the sums carried to its totals,
// and a new report built from it that reads back.

#include "FuzzFolder.h"
#include "core/Cp1251.h"
#include "core/Money.h"
#include "core/OpenReport.h"
#include "core/ReportModel.h"
#include "core/StructureFile.h"

#include <cmath>

using namespace kvor;

namespace {

// Enough rows to reach every rule a real form has while keeping each input quick.
constexpr int kRowsTyped = 64;

// The editor's side of the structure, and the only part of this target that knows how the form
// and its sums are computed: lays out the form, types a figure into every editable cell of the
// first rows with the closing amounts and totals following, and checks that every closing amount
// is still shown.
void TypeEveryCell(const DomDocument& structure)
{
    ReportModel report(structure, DomDocument());
    for (int level = 0; level < grid::kHeadingRows; ++level) {
        for (int col = 0; col < grid::kCols; ++col) {
            (void)report.heading(level, col);
        }
    }
    const int last = std::min(report.rowCount(), kRowsTyped);
    for (int n = 0; n < last; ++n) {
        for (const int col : {int(grid::kOpening), int(grid::kAdded), int(grid::kSubtracted)}) {
            if (report.isEditable(n, col)) {
                (void)report.enter(n, col, Money::fromStotinki(123450LL * (n + 1)).text());
            }
        }
        for (int col = 0; col < grid::kCols; ++col) {
            (void)report.text(n, col);
        }
    }
    for (int n = 0; n < last; ++n) {
        fuzz::check(report.shownAmount(n, grid::kClosing).has_value());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    f.reset();
    fuzz::FuzzFolder::write(f.installPath(QString::fromLatin1(kStructureFileName)),
                            fuzz::bytesOf(data, size));

    const Result<std::unique_ptr<DomDocument>> read = ReadStructure();
    if (!read) {
        fuzz::check(read.failure().kind != Failure::Kind::NotFound);
        return 0;
    }
    const DomDocument& structure = **read;
    TypeEveryCell(structure);

    const QString version = GetAttribute(structure.documentElement(), QStringLiteral("version"));
    // Refused only for a character Windows-1251 lacks where no reference can stand (a comment,
    // an instruction, CDATA in the structure).
    QString refusal;
    const QByteArray skeleton =
        Cp1251EncodeXml(SkeletonText(version, BuildEmptyStructure(structure)), &refusal);
    if (skeleton.isEmpty()) {
        fuzz::check(!refusal.isEmpty());
        return 0;
    }
    DomDocument report;
    fuzz::check(report.loadBytes(skeleton) == kLoadOk);
    return 0;
}
