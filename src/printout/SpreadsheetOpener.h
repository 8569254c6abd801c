#pragma once
// How a finished spreadsheet file reaches the user: the desktop's program for .xlsx files.
// Tests put their own function in, so that no spreadsheet program starts.

#include <QString>
#include <functional>

namespace kvor {

// Opens the file; false when no program could be started for it.
using FileOpener = std::function<bool(const QString& path)>;

FileOpener& SpreadsheetOpener();

} // namespace kvor
