// Any bytes as a report being opened: a file that cannot be read is refused and left byte for
// byte; a readable one is stamped, given the grid's amounts and saved, and the saved file passes
// the receiver's check of its hash.

#include "FuzzFolder.h"
#include "core/AppState.h"
#include "core/GridText.h"
#include "core/ReportDocument.h"
#include "core/ReportName.h"
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
    const fuzz::FuzzPlatform& p = f.reset();
    AppState state;
    state.sPeriod = QStringLiteral("03 / 2004");
    state.sMonth = QStringLiteral("03");
    state.sYear = QStringLiteral("2004");
    state.Obshtina = {QStringLiteral("Столична"), QStringLiteral("1234")};
    EnsureDataFolder();
    const QString path = ReportFilePath(state.Obshtina.NumEBK, state.sYear, state.sMonth);
    const QByteArrayView input = fuzz::bytesOf(data, size);
    fuzz::FuzzFolder::write(path, input);

    if (!OpenDocument(state, path)) {
        fuzz::check(p.messages == 1 && fuzz::FuzzFolder::read(path) == input);
        return 0;
    }
    fuzz::check(p.messages == 0);
    TextTable grid(kGridRows, 7);
    FillGrid(grid);
    StoreGridValues(state.xmlDoc, grid);
    QString reason;
    fuzz::check(SaveDocument(state.xmlDoc, path, &reason));

    const VerifyResult verified = VerifyReportFile(path);
    const bool hashedPositions =
        state.xmlDoc.documentElement().name() == std::string_view("positions");
    fuzz::check(verified.status == VerifyStatus::Ok || !hashedPositions);
    return 0;
}
