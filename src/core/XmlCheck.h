#pragma once
// The checks a document passes before the XML parser sees it. The parser is lenient where XML
// 1.0 is not; a file it would accept with a different meaning (a second document element, an
// unknown entity kept as text, a forbidden character) is refused here instead.

#include <QString>
#include <QStringView>
#include <optional>

namespace kvor {

// Deeper than any form, register or structure file the program reads; also what keeps every
// walk of a loaded tree short.
inline constexpr int kMaxXmlDepth = 64;

// Whether XML 1.0 allows the code point in a document at all.
bool IsXmlChar(char32_t c);

// The index of the first UTF-16 unit of text that is no XML 1.0 character (a control character,
// U+FFFE, U+FFFF, a lone surrogate), or -1.
qsizetype FirstForbiddenXmlChar(QStringView text);

// A reason in Bulgarian when the text of a whole document breaks a rule of XML 1.0 that the
// parser does not enforce, or nests elements deeper than kMaxXmlDepth. Markup the check cannot
// follow is left to the parser, which refuses it.
std::optional<QString> XmlTextProblem(QStringView text);

} // namespace kvor
