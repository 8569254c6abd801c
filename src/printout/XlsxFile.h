#pragma once
// A workbook of the spreadsheet model as an .xlsx file that any spreadsheet program opens.

#include "printout/XlModel.h"

#include <QString>

namespace kvor::xl {

// Writes every sheet of the workbook with its cells, merges, formats, row heights, column
// widths, page setup and selection, and the workbook's author. The file at path is replaced
// whole or left as it was; a failure is thrown as a file access error.
void WriteXlsx(const Workbook& book, const QString& path);

// Writes the workbook to a new file in the system's temporary folder and gives its path.
QString WriteXlsxToTemp(const Workbook& book);

} // namespace kvor::xl
