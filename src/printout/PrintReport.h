#pragma once
// The printout of the report: the editor grid as it stands, written as the official form to a
// new spreadsheet file in the user's private printout folder and opened in the desktop's
// spreadsheet program. The grid is only read; the report is not saved.

#include "printout/PrintoutInput.h"

#include <QString>

namespace kvor {

// The printouts of one run of the program: each file's one sheet is named "Лист1", "Лист2"...
// in the order they were made.
class PrintoutRun final
{
public:
    QString nextSheetName();

private:
    int m_made = 0;
};

struct PrintReportResult
{
    enum class Outcome
    {
        Opened,     // written and handed to the spreadsheet program
        NotOpened,  // written, but no program could be started for it
        NotWritten, // the file could not be written
        TooLarge,   // the form does not fit on one sheet
    };
    Outcome outcome = Outcome::NotWritten;
    QString path;   // the file, absolute
    QString reason; // why it was not written
};

// The handler of the editor's "Към Excel" button: writes the form, opens it and tells the user
// what failed, with the hourglass pointer on while it works.
PrintReportResult printReport(const PrintoutInput& input, PrintoutRun& run);

// The folder printouts go to, absolute, made if missing, that only the user may enter:
// $XDG_CACHE_HOME/KVOR/printouts (~/.cache/KVOR/printouts); where that cannot be made private
// (another user's, or writable by others), $XDG_RUNTIME_DIR/KVOR-printouts, then
// KVOR-printouts-<user id> in the temporary folder, then a new folder of a random name there.
// Empty when none can be used.
QString PrintoutFolder();

// Removes the printouts older than maxAgeDays from the folders PrintoutFolder() may choose.
// A printout is a file the program named; links and anything else are left alone.
void RemoveOldPrintouts(int maxAgeDays = 30);

} // namespace kvor
