#include "core/PrevData.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/ReportName.h"
#include "core/XmlDom.h"

#include <QFileInfo>

namespace kvor {

namespace {

constexpr int kJanuary = 1;
constexpr int kDecember = 12;

} // namespace

PrevPeriod PreviousPeriod(const QString& sMonth, const QString& sYear)
{
    const int m = sMonth.trimmed().toInt();
    const int year = sYear.trimmed().toInt();
    if (m == kJanuary) {
        return {QStringLiteral("12"), QString::number(year - 1)};
    }
    if (m > kJanuary && m <= kDecember) {
        return {QStringLiteral("%1").arg(m - 1, 2, 10, QLatin1Char('0')), sYear};
    }
    return {};
}

QString GetPrevFileName(const QString& ebk, const QString& sMonth, const QString& sYear)
{
    EnsureDataFolder();
    const PrevPeriod prev = PreviousPeriod(sMonth, sYear);
    // A year read from a report chosen for correction is as little to be trusted as a code.
    if (!IsSafeEbkCode(ebk) || !IsSafeEbkCode(prev.year) || !IsSafeEbkCode(prev.month)) {
        return {};
    }
    return ReportFilePath(ebk, prev.year, prev.month);
}

void CheckForPrevData(AppState& state)
{
    const QString path = GetPrevFileName(state.Obshtina.NumEBK, state.sMonth, state.sYear);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        state.bPrevData = false;
        state.sMsgNoPrev = msg::kMsgNoPrev;
        return;
    }
    state.bPrevData = true;
    state.sMsgNoPrev.clear();

    // A previous report that cannot be parsed has no rows, so nothing is taken from it.
    DomDocument prev;
    prev.load(path);
    const QString rowsPath = QStringLiteral("positions//str");
    const auto current = selectNodes(state.xmlDoc, rowsPath);
    // Figures already in the new month are the user's and stay.
    if (current.empty() || GetAttribute(current.front(), QStringLiteral("col1")) != u"0") {
        return;
    }
    const auto previous = selectNodes(prev, rowsPath);
    for (size_t i = 0; i < previous.size() && i < current.size(); ++i) {
        SetAttribute(current[i], QStringLiteral("col1"),
                     GetAttribute(previous[i], QStringLiteral("col4")));
    }
}

} // namespace kvor
