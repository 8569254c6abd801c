#include "printout/PrintReport.h"

#include "core/Messages.h"
#include "core/Platform.h"
#include "gui/UserPrompts.h"
#include "printout/PrintedForm.h"
#include "printout/SpreadsheetOpener.h"
#include "printout/XlsxFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace kvor {

namespace {

// The rows of one sheet in the file format.
inline constexpr int kSheetRows = 1048576;
const QString kFileStem = QStringLiteral("KVOR_");
const QString kFileSuffix = QStringLiteral(".xlsx");
const QString kStampFormat = QStringLiteral("yyyyMMdd_HHmmss");

class BusyPointer final
{
public:
    BusyPointer() { platform().SetBusy(true); }
    ~BusyPointer() { platform().SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

bool usableFolder(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && info.isWritable();
}

// A name no file in the folder has yet: the time of the printout, numbered on within a second.
QString newFilePath(const QString& folder)
{
    const QDir dir(folder);
    const QString stem = kFileStem + QDateTime::currentDateTime().toString(kStampFormat);
    QString path = dir.absoluteFilePath(stem + kFileSuffix);
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = dir.absoluteFilePath(stem + u'_' + QString::number(n) + kFileSuffix);
    }
    return path;
}

} // namespace

QString PrintoutRun::nextSheetName()
{
    return msg::kExcelSheetPrefix + QString::number(++m_made);
}

QString PrintoutFolder()
{
    // A missing temporary folder reads as the empty path, which would be the current folder.
    for (const QString& folder : {QDir::tempPath(), QDir::homePath()}) {
        if (usableFolder(folder)) {
            return QFileInfo(folder).absoluteFilePath();
        }
    }
    return QString();
}

namespace {

PrintReportResult makePrintout(const PrintoutInput& input, PrintoutRun& run)
{
    PrintReportResult result;
    if (FormRowCount(int(input.rows.size())) > kSheetRows) {
        result.outcome = PrintReportResult::Outcome::TooLarge;
        return result;
    }
    const QString folder = PrintoutFolder();
    if (folder.isEmpty()) {
        result.outcome = PrintReportResult::Outcome::NotWritten;
        result.reason = msg::kNoPrintoutFolder;
        return result;
    }
    result.path = newFilePath(folder);
    if (const auto reason = WriteFormFile(input, run.nextSheetName(), result.path)) {
        result.outcome = PrintReportResult::Outcome::NotWritten;
        result.reason = *reason;
        return result;
    }
    const FileOpener& open = SpreadsheetOpener();
    result.outcome = open && open(result.path) ? PrintReportResult::Outcome::Opened
                                               : PrintReportResult::Outcome::NotOpened;
    return result;
}

void tellUser(const PrintReportResult& result)
{
    switch (result.outcome) {
    case PrintReportResult::Outcome::Opened:
        break;
    case PrintReportResult::Outcome::NotOpened:
        prompts().showMessage(msg::kExcelNoViewer + QDir::toNativeSeparators(result.path),
                              MsgButtons::Ok, MsgIcon::Exclamation, msg::kTitleExcelWarning);
        break;
    case PrintReportResult::Outcome::NotWritten:
        prompts().showMessage(msg::kExcelFailed, MsgButtons::Ok, MsgIcon::Critical,
                              msg::kTitleExcelError);
        break;
    case PrintReportResult::Outcome::TooLarge:
        prompts().showMessage(msg::kExcelWriteFailed + QStringLiteral("\r\n") + msg::kFormPastSheet,
                              MsgButtons::Ok, MsgIcon::None, QString());
        break;
    }
}

} // namespace

PrintReportResult printReport(const PrintoutInput& input, PrintoutRun& run)
{
    PrintReportResult result;
    {
        BusyPointer busy;
        result = makePrintout(input, run);
    }
    tellUser(result);
    return result;
}

} // namespace kvor
