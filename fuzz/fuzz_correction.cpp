// Any bytes as the file chosen for correction: the municipality, period and code are read from
// it, and whatever they hold, a code and period that pass the checks can only name a report
// directly inside Data, for the month itself and for the month before.

#include "FuzzFolder.h"
#include "core/AppState.h"
#include "core/PrevData.h"
#include "core/ReportName.h"
#include "core/XmlDom.h"

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
    AppState state;
    const QString chosen = f.userPath(QStringLiteral("chosen.xml"));
    fuzz::FuzzFolder::write(chosen, fuzz::bytesOf(data, size));

    state.xmlDoc.load(chosen);
    const XmlNode positions = selectSingleNode(state.xmlDoc, QStringLiteral("positions"));
    state.Obshtina.Name = GetAttribute(positions, QStringLiteral("ob_name"));
    if (state.Obshtina.Name.isEmpty()) {
        return 0;
    }
    const QString period = GetAttribute(positions, QStringLiteral("period"));
    const QString ebk = GetAttribute(positions, QStringLiteral("ebk"));
    if (!IsSafeEbkCode(ebk)) {
        return 0;
    }
    state.sPeriod = period;
    state.Obshtina.NumEBK = ebk;
    state.sMonth = PeriodMonth(period);
    state.sYear = PeriodYear(period);
    if (IsSafeEbkCode(state.sMonth) && IsSafeEbkCode(state.sYear)) {
        fuzz::check(IsDirectlyInData(ReportFilePath(ebk, state.sYear, state.sMonth)));
    }
    const QString prev = GetPrevFileName(ebk, state.sMonth, state.sYear);
    fuzz::check(prev.isEmpty() || IsDirectlyInData(prev));
    CheckForPrevData(state);
    return 0;
}
