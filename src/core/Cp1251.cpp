#include "core/Cp1251.h"

#include <array>
#include <optional>

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

bool Cp1251DecodeStrict(QByteArrayView bytes, QString& text, qsizetype* undefinedAt)
{
    text = QString(bytes.size(), Qt::Uninitialized);
    QChar* p = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            *p++ = QChar(char16_t(b));
            continue;
        }
        if (b == kCp1251Undefined) {
            text.clear();
            if (undefinedAt) {
                *undefinedAt = i;
            }
            return false;
        }
        *p++ = QChar(kHigh[b - 0x80]);
    }
    return true;
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

namespace {

// Where a position of an XML text stands: only in text and in attribute values is a character
// reference read as the character. Followed lazily, only up to the few characters the code page
// lacks, which are never part of the ASCII markup around them.
class MarkupContext final
{
public:
    explicit MarkupContext(QStringView text) : m_text(text) {}

    // Positions are asked in increasing order.
    bool takesReferenceAt(qsizetype index)
    {
        while (m_pos < index) {
            if (m_state == State::Run) {
                if (index < m_runEnd) {
                    return false;
                }
                m_pos = m_runEnd;
                m_state = State::Text;
                continue;
            }
            step();
        }
        return m_state == State::Text || m_state == State::Value;
    }

private:
    enum class State
    {
        Text,
        Tag,
        Value,
        Run // a comment, an instruction or CDATA, up to m_runEnd
    };

    bool at(QStringView s) const { return m_text.sliced(m_pos).startsWith(s); }

    void enterRun(qsizetype opener, QStringView terminator)
    {
        const qsizetype end = m_text.indexOf(terminator, m_pos + opener);
        m_runEnd = end < 0 ? m_text.size() : end + terminator.size();
        m_state = State::Run;
    }

    void step()
    {
        const QChar c = m_text[m_pos];
        if (m_state == State::Text) {
            if (c == u'<') {
                if (at(u"<!--")) {
                    return enterRun(4, u"-->");
                }
                if (at(u"<![CDATA[")) {
                    return enterRun(9, u"]]>");
                }
                if (at(u"<?")) {
                    return enterRun(2, u"?>");
                }
                m_state = State::Tag;
            }
        } else if (m_state == State::Tag) {
            if (c == u'"' || c == u'\'') {
                m_quote = c;
                m_state = State::Value;
            } else if (c == u'>') {
                m_state = State::Text;
            }
        } else if (c == m_quote) {
            m_state = State::Tag;
        }
        ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_runEnd = 0;
    State m_state = State::Text;
    QChar m_quote;
};

} // namespace

QByteArray Cp1251EncodeXml(std::initializer_list<QStringView> pieces, QString* refusal)
{
    qsizetype total = 0;
    for (const QStringView piece : pieces) {
        total += piece.size();
    }
    // One byte per unit is written in place, and there is always room for one per unit still to
    // come; only a reference makes the text longer, and room is made again after it.
    QByteArray out(total, Qt::Uninitialized);
    char* dst = out.data();
    const Reverse& table = reverse();
    // Built only when a character needs a reference: where it stands decides whether it may.
    QString joined;
    std::optional<MarkupContext> context;
    qsizetype offset = 0; // of the piece in the whole text
    for (const QStringView text : pieces) {
        const char16_t* const src = text.utf16();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = src[i];
            const int code = unit < table.code.size() ? table.code[unit] : -1;
            if (code >= 0 && code != kCp1251Undefined) {
                *dst++ = static_cast<char>(code);
                continue;
            }
            if (!context) {
                for (const QStringView piece : pieces) {
                    joined += piece;
                }
                context.emplace(joined);
            }
            const bool pair = QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
                              QChar::isLowSurrogate(src[i + 1]);
            const char32_t cp = pair ? QChar::surrogateToUcs4(unit, src[i + 1]) : unit;
            if (!context->takesReferenceAt(offset + i)) {
                if (refusal) {
                    *refusal = QStringLiteral("Знакът U+%1 няма място в Windows-1251 и не може да "
                                              "бъде записан в име, коментар или инструкция.")
                                   .arg(QString::number(static_cast<uint>(cp), 16)
                                            .toUpper()
                                            .rightJustified(4, u'0'));
                }
                return {};
            }
            out.truncate(dst - out.constData());
            appendReference(out, cp);
            i += pair ? 1 : 0;
            const qsizetype length = out.size();
            out.resize(length + (total - offset - i - 1));
            dst = out.data() + length;
        }
        offset += text.size();
    }
    out.truncate(dst - out.constData());
    return out;
}

} // namespace kvor
