#pragma once
// The printed form as an .xlsx file that any spreadsheet program opens: one sheet, the file's
// default ("Normal") style in Arial 10 like every cell, so that the form keeps to one page where
// the spreadsheet's usual default font is missing, and the program named as its author.

#include "printout/PrintoutInput.h"

#include <QString>
#include <optional>

namespace kvor {

// Writes the form to path, in a sheet of the given name. The file at path is replaced whole or
// left as it was. Gives the reason when the file was not written.
std::optional<QString> WriteFormFile(const PrintoutInput& input, const QString& sheetName,
                                     const QString& path);

// The finished file with the default style's font made Arial 10 and the application named
// "KVOR"; nullopt when the file is not as the writer makes it.
std::optional<QByteArray> FinishXlsx(const QByteArray& written, QString* reason = nullptr);

} // namespace kvor
