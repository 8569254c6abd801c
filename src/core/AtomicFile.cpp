#include "core/AtomicFile.h"

#include "core/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvor {

QString SystemReason(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return QStringLiteral("Достъпът е отказан: файлът или папката са забранени за писане.");
    case EROFS:
        return QStringLiteral("Носителят е само за четене.");
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("Дискът е пълен.");
    case ENOENT:
        return QStringLiteral("Папката не съществува.");
    case ENOTDIR:
        return QStringLiteral("На мястото на папката има файл със същото име.");
    case ELOOP:
        return QStringLiteral("Файлът е връзка към друго място в папка, в която могат да пишат и "
                              "други потребители.");
    case EISDIR:
        return QStringLiteral("На това място има папка със същото име.");
    case ENAMETOOLONG:
        return QStringLiteral("Името на файла е твърде дълго.");
    case EIO:
        return QStringLiteral("Грешка при работа с устройството.");
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
        return QStringLiteral("Устройството не е готово.");
    default:
        return QStringLiteral("Системна грешка %1: %2")
            .arg(errorNumber)
            .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

void IgnoreFileSizeSignal()
{
    ::signal(SIGXFSZ, SIG_IGN);
}

bool IsDiskFullError(int errorNumber)
{
#ifdef EDQUOT
    if (errorNumber == EDQUOT) {
        return true;
    }
#endif
    return errorNumber == ENOSPC || errorNumber == EFBIG;
}

bool IsWriteDeniedError(int errorNumber)
{
    return errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS;
}

QString WriteFailureMessage(const QString& path, int errorNumber, const QString& reason)
{
    if (IsDiskFullError(errorNumber)) {
        return msg::kDiskFull;
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (IsWriteDeniedError(errorNumber)) {
        return msg::kWriteDenied + shown;
    }
    return msg::kNotSaved + QStringLiteral("\r\n") + shown + QStringLiteral("\r\n") + reason;
}

namespace {

constexpr int kRandomChars = 6;
constexpr int kCreateAttempts = 64;
constexpr const char* kTempSuffix = ".tmp";
// Leaves room for the dot, the random part and the suffix within the usual 255-byte name limit.
constexpr qsizetype kMaxNameBytesInTemp = 200;

QByteArray tempPrefix(const QString& targetName)
{
    return '.' + QFile::encodeName(targetName).left(kMaxNameBytesInTemp) + '.';
}

QByteArray randomPart()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray out(kRandomChars, '0');
    for (char& c : out) {
        c = kAlphabet[QRandomGenerator::global()->bounded(int(sizeof(kAlphabet) - 1))];
    }
    return out;
}

bool failWith(int err, QString* errorText, int* errorNumber)
{
    if (err == 0) {
        err = EIO;
    }
    if (errorText) {
        *errorText = SystemReason(err);
    }
    if (errorNumber) {
        *errorNumber = err;
    }
    return false;
}

bool writeAll(int fd, QByteArrayView bytes, int& err)
{
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            err = errno;
            return false;
        }
        if (n == 0) {
            // A device that takes nothing and says nothing has no room left.
            err = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

int syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return 0; // nothing to sync through; the rename itself has been done
    }
    int err = 0;
    if (::fsync(fd) != 0 && errno == EIO) {
        err = EIO;
    }
    ::close(fd);
    return err;
}

// Temporary files of the same target left by a writer that was killed before it could remove
// its own. Only names of the exact pattern are touched.
void sweepStale(const QByteArray& folder, const QString& targetName)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (IsTemporaryFileOf(QFile::decodeName(name), targetName)) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

// A folder in which other users may create or replace entries: a link found there may be theirs.
bool othersMayWriteIn(const struct stat& folder)
{
    return (folder.st_mode & (S_ISVTX | S_IWOTH)) != 0;
}

// A folder that only its owner may enter keeps new files to the owner as well.
bool isPrivateFolder(const struct stat& folder)
{
    return (folder.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool mayWrite(const QByteArray& path, const struct stat& st)
{
    constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    return (st.st_mode & kAnyWrite) != 0 && ::access(path.constData(), W_OK) == 0;
}

} // namespace

bool IsTemporaryFileOf(const QString& tempName, const QString& targetName)
{
    const QByteArray name = QFile::encodeName(tempName);
    const QByteArray prefix = tempPrefix(targetName);
    const QByteArray suffix(kTempSuffix);
    if (name.size() != prefix.size() + kRandomChars + suffix.size() || !name.startsWith(prefix) ||
        !name.endsWith(suffix)) {
        return false;
    }
    for (const char c : name.mid(prefix.size(), kRandomChars)) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

bool WriteFileAtomically(const QString& path, QByteArrayView bytes, QString* errorText,
                         int* errorNumber)
{
    QFileInfo info(path);
    if (info.isSymLink()) {
        struct stat linkFolder
        {
        };
        const QByteArray folderOfLink = QFile::encodeName(info.absolutePath());
        if (::stat(folderOfLink.constData(), &linkFolder) == 0 && othersMayWriteIn(linkFolder)) {
            return failWith(ELOOP, errorText, errorNumber);
        }
        // The file the link names gets the new content and the link stays.
        const QString resolved = info.canonicalFilePath();
        if (!resolved.isEmpty()) {
            info = QFileInfo(resolved);
        }
    }
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QString targetName = info.fileName();

    struct stat old
    {
    };
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        return failWith(EISDIR, errorText, errorNumber);
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return failWith(EINVAL, errorText, errorNumber);
    }
    // A rename would replace a read-only file without asking; a user who protected the file
    // expects it to stay as it is. A file or folder without any write bit counts as read-only
    // also for an administrator, as the read-only attribute does on Windows.
    if (exists && !mayWrite(target, old)) {
        return failWith(EACCES, errorText, errorNumber);
    }
    struct stat dir
    {
    };
    const bool folderKnown = ::stat(folder.constData(), &dir) == 0 && S_ISDIR(dir.st_mode);
    if (folderKnown && !mayWrite(folder, dir)) {
        return failWith(EACCES, errorText, errorNumber);
    }

    const bool privateNew = !exists && folderKnown && isPrivateFolder(dir);
    const mode_t mode = exists ? (old.st_mode & 07777) : privateNew ? 0600 : 0666;
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < kCreateAttempts && fd < 0; ++attempt) {
        temp = folder + '/' + tempPrefix(targetName) + randomPart() + kTempSuffix;
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST && errno != EINTR) {
            // No temporary file beside the target: refused, never written in place.
            return failWith(errno, errorText, errorNumber);
        }
    }
    if (fd < 0) {
        return failWith(EEXIST, errorText, errorNumber);
    }

    int err = 0;
    bool ok = writeAll(fd, bytes, err);
    if (ok && privateNew) {
        // Whatever the umask took, the owner reads and writes a file of a private folder.
        (void)::fchmod(fd, mode);
    }
    if (ok && exists) {
        // The umask may have taken bits the old file had; failing to restore them is no reason
        // to lose the save.
        (void)::fchmod(fd, mode);
        // An administrator's save keeps the user's file the user's.
        (void)::fchown(fd, old.st_uid, old.st_gid);
    }
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        err = errno;
        ok = false;
    }
    if (ok && ::rename(temp.constData(), target.constData()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return failWith(err, errorText, errorNumber);
    }
    sweepStale(folder, targetName);
    if (const int syncErr = syncFolder(folder)) {
        return failWith(syncErr, errorText, errorNumber);
    }
    return true;
}

Failure WriteFailureOf(const QString& path, int errorNumber, const QString& reason)
{
    using Kind = Failure::Kind;
    const Kind kind = IsDiskFullError(errorNumber)      ? Kind::DiskFull
                      : IsWriteDeniedError(errorNumber) ? Kind::ReadOnly
                                                        : Kind::WriteFailed;
    return Failure::of(kind, path, reason, errorNumber);
}

} // namespace kvor
