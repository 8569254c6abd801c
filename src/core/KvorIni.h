#pragma once
// kvor.ini: the one setting the program keeps, the list position of the last chosen municipality.

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
QByteArray IniLine(short position);

enum class IniStatus
{
    Ok,
    Missing,
    ReadOnly,
    Failed
};

// Reads the file in the program folder; `position` is left alone when no usable key is found.
IniStatus ReadIni(const QString& path, short& position);
// On failure errorNumber and reason (when given) say why.
IniStatus WriteIni(const QString& path, short position, int* errorNumber = nullptr,
                   QString* reason = nullptr);

// Remembers the chosen municipality: rewrites kvor.ini in the user's folder. True only when the
// position was written. A missing file ends the program; a write-protected one is reported, and so
// is any other failed write.
bool RememberMunicipality(short position);

} // namespace kvor
