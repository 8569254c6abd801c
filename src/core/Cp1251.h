#pragma once
// Windows-1251, the code page of every file the program reads and writes. Qt's codecs turn a
// character the code page cannot hold into 0x1A; the program needs to decide for itself what
// happens to such a character, so the table is kept here.

#include <QByteArray>
#include <QString>

namespace kvor {

int Cp1251CodeAboveAscii(char16_t unit);

// The code of a UTF-16 unit in Windows-1251, or -1 when the code page has none for it. Inline for
// the ASCII that most of a document is.
inline int Cp1251Code(char16_t unit)
{
    return unit < 0x80 ? unit : Cp1251CodeAboveAscii(unit);
}

QString Cp1251Decode(QByteArrayView bytes);

// Characters without a Windows-1251 code become '?'.
QByteArray Cp1251EncodeLossy(QStringView text);

// Characters without a Windows-1251 code become decimal character references ("&#8364;" style),
// which keeps them in an XML text.
QByteArray Cp1251EncodeXml(QStringView text);

} // namespace kvor
