#pragma once
// The integrity hash of a report document: what the program writes into `hash` on every save and
// what a receiver recomputes to see whether the file was changed afterwards.

#include <QString>
#include <QStringView>
#include <optional>

namespace kvor {

// The longest text whose hash still fits the 32-bit arithmetic the receivers use: the third number
// is 255 times the length.
inline constexpr qsizetype kLongestHashedText = 8'421'504;

// Three decimal numbers joined by "_". Every UTF-16 unit counts as one character at its
// Windows-1251 code, '?' (63) for a unit the code page lacks. No value for a text longer than
// kLongestHashedText, whose sums would overflow; the document is then saved without a hash.
std::optional<QString> DocumentHash(QStringView text);

} // namespace kvor
