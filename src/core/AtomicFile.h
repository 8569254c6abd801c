#pragma once
// Writing a whole file so that it is either replaced completely or left as it was, and the
// message the user sees when that fails.

#include "core/Result.h"

#include <QByteArrayView>
#include <QString>

namespace kvor {

// The reason for a failed file operation, in Bulgarian, from the system's error number.
QString SystemReason(int errorNumber);

// Makes a write beyond the process's file-size limit (RLIMIT_FSIZE, as some sites set at login)
// fail with EFBIG, which is told as a full disk, instead of ending the process with SIGXFSZ.
// Every program that writes through WriteFileAtomically calls it first thing.
void IgnoreFileSizeSignal();

// Writes bytes to path through a temporary file in the same folder (".<name>.XXXXXX.tmp") that
// is written in full, synced and renamed over the target; the folder is synced after the rename.
// Any failure removes the temporary file and leaves the target byte for byte as it was. Where no
// temporary file can be made beside the target the write is refused: the target is never
// written in place. An existing file without its write bit is not replaced either. A successful
// write removes temporary files a killed writer left for the same target.
// A link at path is followed, except in a folder others may write (sticky or writable by all),
// where another user may have planted it: there the write is refused (ELOOP). A new file in a
// folder that only its owner may enter is made 0600 whatever the umask; a replaced file keeps its
// mode. On failure errorText (when given) receives the reason in Bulgarian and errorNumber the
// system's error number.
bool WriteFileAtomically(const QString& path, QByteArrayView bytes, QString* errorText = nullptr,
                         int* errorNumber = nullptr);

// Whether the temporary file name belongs to writes of the target file name.
bool IsTemporaryFileOf(const QString& tempName, const QString& targetName);

bool IsDiskFullError(int errorNumber);
bool IsWriteDeniedError(int errorNumber);
// A failed write of path as the windows tell it: a full disk, a medium or folder that may not be
// written, or any other failure.
Failure WriteFailureOf(const QString& path, int errorNumber, const QString& reason);

// What the user is told when writing path failed: "Дискът е пълен!" for a full disk, the
// read-only message with the path where the folder or the file may not be written, otherwise
// "Документът не е записан!" with the path and the reason.
QString WriteFailureMessage(const QString& path, int errorNumber, const QString& reason);

} // namespace kvor
