#pragma once
// `kvor --pdf REPORT.xml OUT.pdf`: the PDF of a saved report without a window or a display.

#include <QStringList>

namespace kvor {

// Reads the report and the structure of the program folder as the editor would and writes the
// form's PDF. 0 when it was written; 2, after a message in Bulgarian on stderr, when anything
// failed, and then nothing is written. Runs before any application object exists and makes its own.
int ExportPdfCommand(const QStringList& operands);

} // namespace kvor
