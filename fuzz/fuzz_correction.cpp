// Any bytes as the file chosen for correction: the municipality, period and code are read from
// it, and whatever they hold, opening either refuses the file or opens a report directly inside
// Data, whose month before is named directly inside Data too; nothing else is written.

#include "FuzzFolder.h"
#include "core/OpenReport.h"
#include "core/PrevData.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"

#include <QFileInfo>

using namespace kvor;

namespace {

bool IsDirectlyInData(const QString& path)
{
    const QFileInfo info(path);
    return QDir::cleanPath(path) == path && info.path() == DataFolder() &&
           !info.fileName().isEmpty() && info.fileName() != u".." && info.fileName() != u".";
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
    const QString chosen = f.userPath(QStringLiteral("chosen.xml"));
    fuzz::FuzzFolder::write(chosen, fuzz::bytesOf(data, size));

    const Result<OpenReport> opened = OpenReportForCorrection(chosen);
    if (!opened) {
        fuzz::check(fuzz::FuzzFolder::read(chosen) == fuzz::bytesOf(data, size));
        return 0;
    }
    fuzz::check(IsDirectlyInData(opened->filePath));
    const QString prev = PreviousReportPath(opened->municipality.ebk, opened->period);
    fuzz::check(prev.isEmpty() || IsDirectlyInData(prev));
    QFile::remove(opened->filePath);
    return 0;
}
