#include "core/FileRead.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvor {

namespace {

constexpr qint64 kChunk = 64 * 1024;

ReadResult refused(ReadStatus status, const QString& text, const QString& path)
{
    return {status, {}, text.arg(QDir::toNativeSeparators(path))};
}

ReadResult notRegular(const QString& path)
{
    return refused(
        ReadStatus::NotRegular,
        QStringLiteral("Не е обикновен файл (канал, устройство или друг особен файл): %1"), path);
}

ReadResult tooLarge(const QString& path, qint64 maxBytes)
{
    return refused(ReadStatus::TooLarge,
                   QStringLiteral("Файлът е по-голям от %1 MiB и не може да е справка: %2")
                       .arg(maxBytes / (1024 * 1024))
                       .arg(QStringLiteral("%1")),
                   path);
}

// What stopped the file from being opened or looked at, as the system says it.
ReadResult systemRefused(int err, const QString& path)
{
    const QString cause = ReadFailureCause(err);
    const bool missing = err == ENOENT || err == ENOTDIR || err == EISDIR;
    ReadResult result =
        refused(missing ? ReadStatus::Missing : ReadStatus::Failed,
                cause.left(1).toUpper() + cause.mid(1) + QStringLiteral(": %1"), path);
    result.systemError = err;
    return result;
}

} // namespace

QString ReadFailureCause(int systemError)
{
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("файлът не е намерен");
    case EISDIR:
        return QStringLiteral("на това място има папка, а не файл");
    case EACCES:
    case EPERM:
        return QStringLiteral("няма права за четене на файла или на папката му");
    case ENAMETOOLONG:
        return QStringLiteral("пътят е по-дълъг, отколкото системата допуска");
    case ELOOP:
        return QStringLiteral("пътят съдържа твърде много връзки (symlink)");
    default:
        return QStringLiteral("файлът не може да бъде прочетен (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(systemError)));
    }
}

ReadResult ReadRegularFile(const QString& path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {
    };
    if (!path.isEmpty() && ::stat(name.constData(), &st) != 0) {
        return systemRefused(errno, path);
    }
    if (path.isEmpty() || S_ISDIR(st.st_mode)) {
        return systemRefused(path.isEmpty() ? ENOENT : EISDIR, path);
    }
    // Checked before opening: opening a pipe for reading waits for a writer.
    if (!S_ISREG(st.st_mode)) {
        return notRegular(path);
    }
    if (st.st_size > maxBytes) {
        return tooLarge(path, maxBytes);
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return systemRefused(errno, path);
    }
    // The name may have been given to something else between the two looks.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular(path);
    }
    ReadResult result{ReadStatus::Ok, {}, {}};
    result.bytes.reserve(static_cast<qsizetype>(st.st_size));
    char buffer[kChunk];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return systemRefused(err, path);
        }
        if (n == 0) {
            break;
        }
        // A file that grows while it is read is held to the same bound.
        if (result.bytes.size() + n > maxBytes) {
            ::close(fd);
            return tooLarge(path, maxBytes);
        }
        result.bytes.append(buffer, n);
    }
    ::close(fd);
    return result;
}

} // namespace kvor
