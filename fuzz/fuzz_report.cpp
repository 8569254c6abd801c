// Any bytes as a report being opened: a file that cannot be read is refused and left byte for
// byte; a readable one is stamped, given the grid's amounts and saved, and the saved file passes
// the receiver's check of its hash.

#include "FuzzFolder.h"
#include "core/GridText.h"
#include "core/OpenReport.h"
#include "core/ReportDocument.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"
#include "core/VerifyReport.h"

using namespace kvor;

namespace {

constexpr int kGridRows = 40;

void FillGrid(TextTable& grid)
{
    for (int r = kFirstDataRow; r < grid.Rows(); ++r) {
        for (const StoredAmount& amount : kStoredAmounts) {
            grid.setTextMatrix(r, amount.gridCol,
                               (r % 2 ? QStringLiteral("1 234 567,") : QStringLiteral(" 0,")) +
                                   QString::number(r % 100));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    f.reset();
    static const bool structureWritten = [&f] {
        fuzz::FuzzFolder::write(f.installPath(QString::fromLatin1(kStructureFileName)),
                                "<nomenclatures version='1'><structure><str id='2'/></structure>"
                                "<columns><col id='1' protected='1'/></columns></nomenclatures>");
        return true;
    }();
    fuzz::check(structureWritten);
    const Municipality municipality{QStringLiteral("Столична"), QStringLiteral("1234")};
    const Period period(3, 2004);
    EnsureDataFolder();
    const QString path = ReportFilePath(municipality.ebk, period);
    const QByteArrayView input = fuzz::bytesOf(data, size);
    fuzz::FuzzFolder::write(path, input);

    Result<OpenReport> opened = OpenOrCreateReport(municipality, period);
    if (!opened) {
        fuzz::check(fuzz::FuzzFolder::read(path) == input);
        return 0;
    }
    DomDocument& document = *opened->document;
    TextTable grid(kGridRows, 7);
    FillGrid(grid);
    StoreGridValues(document, grid);
    QString reason;
    fuzz::check(SaveDocument(document, path, &reason));

    const VerifyResult verified = VerifyReportFile(path);
    const bool hashedPositions = document.documentElement().name() == std::string_view("positions");
    fuzz::check(verified.status == VerifyStatus::Ok || !hashedPositions);
    return 0;
}
