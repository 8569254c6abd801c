#pragma once
// kvor.ini: the one setting the program keeps, the list position of the last chosen municipality.

#include "core/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace kvor {

inline constexpr const char* kIniFileName = "kvor.ini";

// Splits a text into fields the way the old delimited text format does: fields end at a comma
// or a line end; double quotes around a field are removed and may enclose commas; blanks before
// an unquoted field are skipped.
QStringList ReadDelimitedFields(const QString& text);

// The remembered position from the fields: the last field whose first three characters are
// "oba" and whose value is a 16-bit integer. Fields with any other value are ignored.
std::optional<short> FindRememberedPosition(const QStringList& fields);

// The one line the program writes: "oba N" in double quotes, then CR LF.
QByteArray IniLine(int position);

// The municipality remembered in the kvor.ini at path: its list position, or none when the file
// names none (a negative position, as older versions wrote, is none as well). NotFound when the
// file is missing, NotReadable when it cannot be read.
Result<std::optional<int>> ReadRememberedMunicipality(const QString& path);

// Rewrites the existing kvor.ini at path with the position. NotFound when there is no such file,
// ReadOnly when it may not be written, else WriteFailed with the system's error and reason.
Status WriteRememberedMunicipality(const QString& path, int position);

// Remembers the chosen municipality in the kvor.ini of the user's folder.
Status RememberMunicipality(int position);

} // namespace kvor
