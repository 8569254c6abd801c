#pragma once
// Writing a whole file so that it is either replaced completely or left as it was.

#include <QByteArrayView>
#include <QString>

namespace kvor {

// The reason for a failed file operation, in Bulgarian, from the system's error number.
QString SystemReason(int errorNumber);

// Writes bytes to path through a temporary file that replaces the target only when everything
// was written. An existing read-only file is not replaced. On failure errorText (when given)
// receives the reason in Bulgarian and errorNumber the system's error number.
bool WriteFileAtomically(const QString& path, QByteArrayView bytes, QString* errorText = nullptr,
                         int* errorNumber = nullptr);

} // namespace kvor
