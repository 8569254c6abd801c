#pragma once
// A report file handed to the program from outside (`kvor FILE`, a file opened from the file
// manager), opened for correction as the correction dialog opens a chosen file.

#include <QString>

class QWidget;

namespace kvor {

// Checks the file as the correction dialog does ("Изберете валиден XML файл!" when it is no
// report), then opens the report in Data that it names. A file outside Data is first copied
// there, only when the user agrees, and one already there for the same municipality and period
// is replaced only when the user says so; otherwise the one in Data is opened or nothing is.
void CorrectReportFile(QWidget* parent, const QString& path);

} // namespace kvor
