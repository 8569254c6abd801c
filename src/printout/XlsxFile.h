#pragma once
// The printed form as an .xlsx file that any spreadsheet program opens: one sheet, the file's
// default ("Normal") style in Arial 10 like every cell, so that the form keeps to one page where
// the spreadsheet's usual default font is missing, and the program named as its author.

#include "printout/PrintoutInput.h"

#include <QString>
#include <functional>
#include <optional>
#include <xlsxwriter.h>

namespace kvor {

// Writes the form to path, in a sheet of the given name. The file at path is replaced whole or
// left as it was. Gives the reason when the file was not written.
std::optional<QString> WriteFormFile(const PrintoutInput& input, const QString& sheetName,
                                     const QString& path);

// Writes a workbook whose sheets `fill` adds (giving the reason when it cannot), finished as the
// form's file is: the Normal style Arial 10, the program as application and author. The file at
// path is replaced whole through the atomic writer or left as it was. Gives the reason when the
// file was not written.
using WorkbookFill = std::function<std::optional<QString>(lxw_workbook* book)>;
std::optional<QString> WriteXlsxFile(const QString& path, const WorkbookFill& fill);

// Adds a sheet of the given name holding the printed form.
std::optional<QString> AddFormSheet(lxw_workbook* book, const QString& sheetName,
                                    const PrintoutInput& input);

// The finished file with the default style's font made Arial 10 and the application named
// "KVOR"; nullopt when the file is not as the writer makes it.
std::optional<QByteArray> FinishXlsx(const QByteArray& written, QString* reason = nullptr);

} // namespace kvor
