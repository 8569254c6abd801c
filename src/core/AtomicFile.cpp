#include "core/AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

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
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("Дискът е пълен.");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Папката не съществува.");
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

namespace {

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

} // namespace

bool WriteFileAtomically(const QString& path, QByteArrayView bytes, QString* errorText,
                         int* errorNumber)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        return failWith(EISDIR, errorText, errorNumber);
    }
    // A rename would replace a read-only file without asking; a user who protected the file
    // expects it to stay as it is. The write bit is what counts, also for an administrator, as
    // the read-only attribute does on Windows.
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner)) {
        return failWith(EACCES, errorText, errorNumber);
    }
    if (!info.exists()) {
        const QFileInfo dir(info.absolutePath());
        if (!dir.isDir()) {
            return failWith(ENOENT, errorText, errorNumber);
        }
        if (!(dir.permissions() & QFileDevice::WriteOwner)) {
            return failWith(EACCES, errorText, errorNumber);
        }
    }
    QSaveFile file(path);
    // In a folder the user may not create files in, the file itself is still written in place,
    // as it would be without the temporary copy.
    file.setDirectWriteFallback(true);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return failWith(errno, errorText, errorNumber);
    }
    errno = 0;
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        const int err = errno;
        file.cancelWriting();
        return failWith(err, errorText, errorNumber);
    }
    errno = 0;
    if (!file.commit()) {
        return failWith(errno, errorText, errorNumber);
    }
    return true;
}

} // namespace kvor
