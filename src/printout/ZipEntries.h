#pragma once
// Reading and replacing single entries of a zip archive held in memory, for the few parts of a
// finished spreadsheet file that its writer cannot be told to write differently. Every other
// entry is copied byte for byte. Archives of more than 4 GiB (zip64) are not read.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <map>
#include <optional>

namespace kvor {

// The largest entry that is unpacked, so that a hostile archive cannot take the memory.
inline constexpr qsizetype kMaxZipEntrySize = 16 * 1024 * 1024;

// The unpacked content of the named entry; nullopt and the reason when it is missing, damaged or
// too large.
std::optional<QByteArray> ReadZipEntry(QByteArrayView zip, QByteArrayView name,
                                       QString* reason = nullptr);

// An entry's new content made from its old one; nullopt when the old one is not as expected.
using ZipEntryEdit = std::function<std::optional<QByteArray>(const QByteArray& content)>;

// The archive with each named entry replaced by its edit. Nullopt and the reason when the
// archive cannot be read, a named entry is missing or an edit refuses.
std::optional<QByteArray> EditZipEntries(QByteArrayView zip,
                                         const std::map<QByteArray, ZipEntryEdit>& edits,
                                         QString* reason = nullptr);

} // namespace kvor
