#pragma once
// Copying a saved report into another folder, normally on a removable medium, for submission.

#include "core/Result.h"

#include <QString>

namespace kvor {

// Copies the report at `source` into `targetFolder` under its own file name. The copy is the
// document read and written again, not the file's bytes, so what arrives is always well-formed
// and complete. A source that cannot be read (NotFound, NotReadable, NotWellFormed, with the
// reason) is not copied: the medium would get an empty or broken file that looks like a report.
// Failures are of Subject::Copy; a failed write leaves the target as it was.
Status CopyReport(const QString& source, const QString& targetFolder);

} // namespace kvor
