#include "core/Cp1251.h"

#include <array>

namespace kvor {

namespace {

// Unicode of the bytes 0x80 to 0xFF. 0x98 has no character in the code page; it is kept as U+0098
// so that a file passes through unchanged.
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Reverse look-up for the few hundred code points that matter, built once.
struct Reverse
{
    std::array<short, 0x2200> code{}; // U+0000..U+21FF; -1 where the code page has none

    Reverse()
    {
        code.fill(-1);
        for (int b = 0; b < 0x80; ++b) {
            code[b] = static_cast<short>(b);
        }
        for (int i = 0; i < 0x80; ++i) {
            code[kHigh[i]] = static_cast<short>(0x80 + i);
        }
    }
};

const Reverse& reverse()
{
    static const Reverse r;
    return r;
}

void appendReference(QByteArray& out, char32_t cp)
{
    out += "&#";
    out += QByteArray::number(static_cast<uint>(cp));
    out += ';';
}

} // namespace

int Cp1251CodeAboveAscii(char16_t unit)
{
    if (unit >= reverse().code.size()) {
        return -1;
    }
    return reverse().code[unit];
}

QString Cp1251Decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* p = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *p++ = QChar(b < 0x80 ? char16_t(b) : kHigh[b - 0x80]);
    }
    return out;
}

QByteArray Cp1251EncodeLossy(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const int code = Cp1251Code(ch.unicode());
        out += code < 0 ? '?' : static_cast<char>(code);
    }
    return out;
}

QByteArray Cp1251EncodeXml(QStringView text)
{
    // One byte per unit is written in place; only a reference makes the text longer.
    QByteArray out(text.size(), Qt::Uninitialized);
    qsizetype length = 0;
    const Reverse& table = reverse();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const int code = unit < table.code.size() ? table.code[unit] : -1;
        if (code >= 0) {
            if (length == out.size()) {
                out.resize(length + length / 2 + 16);
            }
            out.data()[length++] = static_cast<char>(code);
            continue;
        }
        out.truncate(length);
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendReference(out, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else {
            appendReference(out, unit);
        }
        length = out.size();
        out.resize(length + (text.size() - i));
    }
    out.truncate(length);
    return out;
}

} // namespace kvor
