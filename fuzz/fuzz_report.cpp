// Any bytes as a report being opened: a file that cannot be read is refused and left byte for
// byte; a readable one is stamped, given figures typed through the report model as the editor
// takes them and saved; a report the figures fit in passes the receiver's check of its hash, and
// one they do not fit in is refused and left as it was.

#include "FuzzFolder.h"
#include "core/OpenReport.h"
#include "core/ReportDocument.h"
#include "core/ReportModel.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"
#include "core/XmlDom.h"

#include "core/VerifyReport.h"
#include <cstdlib>

using namespace kvor;

namespace {

constexpr int kRowsTyped = 40;

// Figures in every editable cell of the first rows, as typed: grouped, negative, half-way.
void TypeFigures(ReportModel& report)
{
    for (int n = 0; n < std::min(report.rowCount(), kRowsTyped); ++n) {
        for (const int col : {int(grid::kOpening), int(grid::kAdded), int(grid::kSubtracted)}) {
            const QString typed = (n % 2 ? QStringLiteral("1 234 567,") : QStringLiteral(" -0,")) +
                                  QString::number(n * 7 + col) + QStringLiteral("5");
            (void)report.enter(n, col, typed);
        }
    }
}

// A form of kRowsTyped rows as the program's structure has them: a restricted total fed by every
// other row, nested groups, the four stored columns protected.
QByteArray FormXml()
{
    QByteArray x = "<nomenclatures version='1'><structure name='Дълг'>"
                   "<str id='2' name='Общо' restricted='1'/><str id='3' name='Група'>";
    for (int id = 4; id < kRowsTyped + 2; ++id) {
        x += "<str id='" + QByteArray::number(id) + "' name='Ред' sumid='3-2'/>";
    }
    x += "</str></structure><columns><col id='1' name='а' protected='1'/>"
         "<col id='2' name='б'><col id='5' name='в'/><col id='6' name='г' protected='1'/></col>"
         "<col id='3' name='д'><col id='7' name='е'/><col id='8' name='ж' protected='1'/></col>"
         "<col id='4' name='з' protected='1'/></columns><codes/></nomenclatures>";
    return x;
}

} // namespace
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    f.reset();
    static const bool structureWritten = [&f] {
        fuzz::FuzzFolder::write(f.installPath(QString::fromLatin1(kStructureFileName)), FormXml());
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
    const QByteArray stamped = fuzz::FuzzFolder::read(path);
    ReportModel report(*opened->structure, document);
    TypeFigures(report);
    if (const Status stored = report.store(document); !stored) {
        fuzz::check(fuzz::FuzzFolder::read(path) == stamped);
        return 0;
    }
    fuzz::check(SaveHashedDocument(document, path).ok());
    fuzz::check(VerifyReportFile(path).status == VerifyStatus::Ok);
    return 0;
}
