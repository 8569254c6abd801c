#pragma once
// Start-up in its fixed order, once the application exists (src/app answers the command line).

#include <QString>

namespace kvor {

class SingleInstance;

// Runs the start-up sequence. Returns 0 when the main window is shown and the event loop may
// run, or the exit status when the program must end. A report file, when given, is opened for
// correction once the main window is shown.
int StartUp(SingleInstance& guard, const QString& reportFile = {});

} // namespace kvor
