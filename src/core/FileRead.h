#pragma once
// Reading a whole file that the program did not necessarily write: only a regular file, and only
// up to a size no file of the program reaches, so that a pipe, a device or a huge file named
// like a report can neither hang nor exhaust the program.

#include <QByteArray>
#include <QString>

namespace kvor {

// Far above the largest report, register or structure file (a few hundred KiB).
inline constexpr qint64 kMaxReadBytes = qint64(64) * 1024 * 1024;

enum class ReadStatus
{
    Ok,
    Missing, // no such file, or a folder
    NotRegular,
    TooLarge,
    Failed
};

struct ReadResult
{
    ReadStatus status = ReadStatus::Failed;
    QByteArray bytes;
    // In Bulgarian, with the path; empty when the file was read.
    QString reason;
    // The system's error number when it refused the file, else 0.
    int systemError = 0;
};

// Why the system would not give a file, in Bulgarian, as a phrase: "файлът не е намерен".
QString ReadFailureCause(int systemError);

ReadResult ReadRegularFile(const QString& path, qint64 maxBytes = kMaxReadBytes);

} // namespace kvor
