#pragma once
// The checks a document passes before the XML parser sees it. The parser is lenient where XML
// 1.0 is not; a file it would accept with a different meaning (a second document element, an
// unknown entity kept as text, a forbidden character, a misplaced declaration) is refused here
// instead.

#include <QString>
#include <QStringView>
#include <optional>

namespace kvor {

// Deeper than any form, register or structure file the program reads; also what keeps every
// walk of a loaded tree short.
inline constexpr int kMaxXmlDepth = 64;

// Whether XML 1.0 allows the code point in a document at all.
bool IsXmlChar(char32_t c);

// Whether XML 1.0 (fifth edition) allows the code point to start a name, and anywhere in one.
bool IsXmlNameStartChar(char32_t c);
bool IsXmlNameChar(char32_t c);

// The index of the first UTF-16 unit of text that is no XML 1.0 character (a control character,
// U+FFFE, U+FFFF, a lone surrogate), or -1.
qsizetype FirstForbiddenXmlChar(QStringView text);

// Whether the text starts with an XML declaration ("<?xml" and a blank or "?>").
bool StartsWithXmlDeclaration(QStringView text);

struct XmlDeclaration
{
    QString encoding; // as written; empty when the declaration names none
    qsizetype length = 0;
};

// Reads the XML declaration at the start of text (StartsWithXmlDeclaration): version first and
// "1.x", then the encoding, a name of letters, digits, '.', '_' and '-' starting with a letter,
// then standalone, "yes" or "no", each quoted, with blanks between them. A reason in Bulgarian
// when the declaration breaks any of that.
std::optional<QString> ReadXmlDeclaration(QStringView text, XmlDeclaration& declaration);

// A reason in Bulgarian when the text of a whole document breaks a rule of XML 1.0 that the
// parser does not enforce, or nests elements deeper than kMaxXmlDepth. Markup the check cannot
// follow is left to the parser, which refuses it.
std::optional<QString> XmlTextProblem(QStringView text);

} // namespace kvor
