#include "core/FileRead.h"

#include <QDir>
#include <QFile>
#include <cerrno>
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

} // namespace

ReadResult ReadRegularFile(const QString& path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {
    };
    if (path.isEmpty() || ::stat(name.constData(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return refused(ReadStatus::Missing, QStringLiteral("Файлът не е намерен: %1"), path);
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
        return refused(ReadStatus::Failed, QStringLiteral("Файлът не може да бъде прочетен: %1"),
                       path);
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
            ::close(fd);
            return refused(ReadStatus::Failed,
                           QStringLiteral("Файлът не може да бъде прочетен: %1"), path);
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
