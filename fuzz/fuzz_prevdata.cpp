// Any bytes as the previous month's report: a new month whose opening amounts are still "0"
// takes each row's closing amount from it, text unchanged, and the new report still saves to
// bytes that read back the same.

#include "FuzzFolder.h"
#include "core/PrevData.h"
#include "core/ReportName.h"
#include "core/XmlDom.h"

using namespace kvor;

namespace {

constexpr int kCurrentRows = 24;

QByteArray NewMonthReport()
{
    QByteArray text =
        "<?xml version='1.0' encoding='windows-1251'?><positions version='1'><structure>";
    for (int id = 1; id <= kCurrentRows; ++id) {
        text += "<str id='" + QByteArray::number(id) + "' col1='0' col4='0' col6='0' col8='0'/>";
    }
    return text + "</structure></positions>";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QByteArray current = NewMonthReport();
    fuzz::FuzzFolder& f = fuzz::folder();
    f.reset();
    DomDocument report;
    const QString prevPath = PreviousReportPath(QStringLiteral("1234"), Period(3, 2004));
    fuzz::check(prevPath == ReportFilePath(QStringLiteral("1234"), QStringLiteral("2004"),
                                           QStringLiteral("02")));
    fuzz::check(report.loadBytes(current) == kLoadOk);

    DomDocument prev;
    prev.loadBytes(fuzz::bytesOf(data, size));
    CarryClosingAmounts(prev, report);
    const QString rowsPath = QStringLiteral("positions//str");
    const auto previous = selectNodes(prev, rowsPath);
    const auto rows = selectNodes(report, rowsPath);
    for (size_t i = 0; i < rows.size(); ++i) {
        const QString opening = GetAttribute(rows[i], QStringLiteral("col1"));
        fuzz::check(opening == (i < previous.size()
                                    ? GetAttribute(previous[i], QStringLiteral("col4"))
                                    : QStringLiteral("0")));
    }

    DomDocument again;
    fuzz::check(again.loadBytes(report.toBytes()) == kLoadOk);
    fuzz::check(NodeXml(again.documentElement()) == NodeXml(report.documentElement()));
    return 0;
}
