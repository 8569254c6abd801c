#include "printout/PrintReport.h"

#include "core/AtomicFile.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "gui/UserPrompts.h"
#include "printout/PrintedForm.h"
#include "printout/SpreadsheetOpener.h"
#include "printout/XlsxFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvor {

namespace {

// The rows of one sheet in the file format.
inline constexpr int kSheetRows = 1048576;
const QString kFileStem = QStringLiteral("KVOR_");
const QString kFileSuffix = QStringLiteral(".xlsx");
const QString kStampFormat = QStringLiteral("yyyyMMdd_HHmmss");
constexpr int kRandomChars = 10;
constexpr int kCreateAttempts = 16;
constexpr qint64 kSecondsPerDay = 24 * 60 * 60;

class BusyPointer final
{
public:
    BusyPointer() { platform().SetBusy(true); }
    ~BusyPointer() { platform().SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

QString absoluteFolder(const QString& path)
{
    return QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : QString();
}

// The folders a printout may go to, most fitting first; newRandomFolder() is the last resort.
QStringList candidateFolders()
{
    QStringList out;
    QString cache = absoluteFolder(qEnvironmentVariable("XDG_CACHE_HOME"));
    if (cache.isEmpty() && !absoluteFolder(QDir::homePath()).isEmpty()) {
        cache = QDir::homePath() + QStringLiteral("/.cache");
    }
    if (!cache.isEmpty()) {
        out << cache + QStringLiteral("/KVOR/printouts");
    }
    const QString runtime = absoluteFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty()) {
        out << runtime + QStringLiteral("/KVOR-printouts");
    }
    const QString temp = absoluteFolder(QDir::tempPath());
    if (!temp.isEmpty()) {
        out << temp + QStringLiteral("/KVOR-printouts-") + QString::number(::geteuid());
    }
    return out;
}

// A folder in the temporary folder whose name nobody could know beforehand.
QString newRandomFolder()
{
    const QString temp = absoluteFolder(QDir::tempPath());
    if (temp.isEmpty()) {
        return QString();
    }
    QByteArray pattern = QFile::encodeName(temp + QStringLiteral("/KVOR-printouts-XXXXXX"));
    return ::mkdtemp(pattern.data()) ? QFile::decodeName(pattern) : QString();
}

QString randomPart()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString out;
    for (int i = 0; i < kRandomChars; ++i) {
        out +=
            QLatin1Char(kAlphabet[QRandomGenerator::system()->bounded(int(sizeof(kAlphabet) - 1))]);
    }
    return out;
}

// A new file for the printout: the time of the printout and a part nobody can guess, made
// exclusively and never through a link. The form is then written over it. Empty on failure, with
// errorNumber set.
QString reserveFile(const QString& folder, int& errorNumber)
{
    const QString stem = kFileStem + QDateTime::currentDateTime().toString(kStampFormat) + u'_';
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const QString path = folder + u'/' + stem + randomPart() + kFileSuffix;
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    errorNumber = errno;
    return QString();
}

bool isPrintoutName(const QString& name)
{
    return name.startsWith(kFileStem) && name.endsWith(kFileSuffix);
}

} // namespace

QString PrintoutRun::nextSheetName()
{
    return msg::kExcelSheetPrefix + QString::number(++m_made);
}

QString PrintoutFolder()
{
    for (const QString& folder : candidateFolders()) {
        if (MakePrivateFolder(folder)) {
            return folder;
        }
    }
    return newRandomFolder();
}

void RemoveOldPrintouts(int maxAgeDays)
{
    const time_t bound = ::time(nullptr) - time_t(maxAgeDays) * kSecondsPerDay;
    for (const QString& folder : candidateFolders()) {
        DIR* dir = ::opendir(QFile::encodeName(folder).constData());
        if (!dir) {
            continue;
        }
        while (const dirent* entry = ::readdir(dir)) {
            struct stat st
            {
            };
            if (isPrintoutName(QFile::decodeName(entry->d_name)) &&
                ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_mtime < bound) {
                ::unlinkat(::dirfd(dir), entry->d_name, 0);
            }
        }
        ::closedir(dir);
    }
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
    int err = 0;
    result.path = reserveFile(folder, err);
    if (result.path.isEmpty()) {
        result.outcome = PrintReportResult::Outcome::NotWritten;
        result.reason = SystemReason(err);
        return result;
    }
    if (const auto reason = WriteFormFile(input, run.nextSheetName(), result.path)) {
        QFile::remove(result.path);
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
