#include "core/PrevData.h"

#include "core/ReportName.h"
#include "core/XmlDom.h"

namespace kvor {

QString PreviousReportPath(const QString& ebk, const Period& period)
{
    const Period previous = period.previous();
    if (!previous.isValid() || !IsSafeEbkCode(ebk)) {
        return {};
    }
    return ReportFilePath(ebk, previous);
}

void CarryClosingAmounts(const DomDocument& previous, DomDocument& report)
{
    const QString rowsPath = QStringLiteral("positions//str");
    const auto current = selectNodes(report, rowsPath);
    if (current.empty() || GetAttribute(current.front(), QStringLiteral("col1")) != u"0") {
        return;
    }
    const auto earlier = selectNodes(previous, rowsPath);
    for (size_t i = 0; i < earlier.size() && i < current.size(); ++i) {
        SetAttribute(current[i], QStringLiteral("col1"),
                     GetAttribute(earlier[i], QStringLiteral("col4")));
    }
}

} // namespace kvor
