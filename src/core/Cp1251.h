#pragma once
// Windows-1251, the code page of every file the program reads and writes. Qt's codecs turn a
// character the code page cannot hold into 0x1A; the program needs to decide for itself what
// happens to such a character, so the table is kept here.

#include <QByteArray>
#include <QString>
#include <initializer_list>

namespace kvor {

int Cp1251CodeAboveAscii(char16_t unit);

// The code of a UTF-16 unit in Windows-1251, or -1 when the code page has none for it. U+0098 has
// 0x98, the byte the code page leaves undefined, as Windows converts it both ways: the integrity
// hash counts it so. Inline for the ASCII that most of a document is.
inline int Cp1251Code(char16_t unit)
{
    return unit < 0x80 ? unit : Cp1251CodeAboveAscii(unit);
}

// The byte the code page does not define.
inline constexpr unsigned char kCp1251Undefined = 0x98;

// Every byte as Windows reads it, 0x98 as U+0098: for kvor.ini, which is no XML.
QString Cp1251Decode(QByteArrayView bytes);

// Strict: false, with the offset of the byte in undefinedAt (when given), when the bytes hold 0x98.
bool Cp1251DecodeStrict(QByteArrayView bytes, QString& text, qsizetype* undefinedAt = nullptr);

// Characters without a Windows-1251 code become '?'.
QByteArray Cp1251EncodeLossy(QStringView text);

// The pieces of one XML text, one after the other, in strict Windows-1251 (never 0x98). A character
// without a code becomes a decimal character reference ("&#20013;") where XML reads one, in text
// and attribute values; in a name, a comment, an instruction or CDATA a reference would be
// markup or text of another meaning, so nothing is encoded: the result is empty and refusal (when
// given) says why.
QByteArray Cp1251EncodeXml(std::initializer_list<QStringView> pieces, QString* refusal = nullptr);
inline QByteArray Cp1251EncodeXml(QStringView text, QString* refusal = nullptr)
{
    return Cp1251EncodeXml({text}, refusal);
}

} // namespace kvor
