#pragma once
// Where a report lives: one file per municipality and month in the folder Data below the program
// folder, named from the municipality's EBK code and the period.

#include "core/Period.h"

#include <QString>

namespace kvor {

inline constexpr const char* kDataFolderName = "Data";

// "mfddd_sd_" + code + "_" + year + "_" + month + ".xml"; the parts are used exactly as given.
QString ReportFileName(const QString& ebk, const QString& year, const QString& month);
// The report's full path in the Data folder of the program folder.
QString ReportFilePath(const QString& ebk, const QString& year, const QString& month);
// The same for a period: its year and month as its file name parts.
QString ReportFilePath(const QString& ebk, const Period& period);

QString DataFolder();
// Creates the Data folder when it is missing; a failure shows up when a report is written there.
void EnsureDataFolder();

// Whether a text may stand in a report's file name without taking the file out of Data or making
// a name that Windows or Linux refuse or that the user would not recognise: no path separator,
// no "..", none of <>:"/\|?*, no control or format character, and no blank at either end. The empty
// text is allowed (a register row without a code). The EBK code comes from the register or from a
// report chosen for correction, so it is checked before it is used; the same rule fits the year and
// month of a period read from a file.
bool IsSafeEbkCode(const QString& code);

} // namespace kvor
