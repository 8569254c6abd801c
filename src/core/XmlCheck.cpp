#include "core/XmlCheck.h"

#include <QSet>
#include <QVarLengthArray>
#include <array>

namespace kvor {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

QString hexOf(char32_t c)
{
    return QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0');
}

QString charReason(char32_t c)
{
    return QStringLiteral("знак, който XML не допуска (U+%1)").arg(hexOf(c));
}

bool isXmlBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// For each ASCII character: 2 when it may start a name, 1 when it may only follow, 0 otherwise.
constexpr auto kAsciiName = [] {
    std::array<unsigned char, 128> table{};
    for (int c = 0; c < 128; ++c) {
        const bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ':' || c == '_';
        const bool follow = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
        table[c] = start ? 2 : follow ? 1 : 0;
    }
    return table;
}();

bool isNameEnd(QChar c)
{
    return isXmlBlank(c) || c == u'/' || c == u'>' || c == u'=' || c == u'?';
}

// The attribute names of one start tag: a short list as real files have, a set for the many
// a hostile file may have.
class AttributeNames final
{
public:
    // False when the name is there already.
    bool add(QStringView name)
    {
        if (m_set.isEmpty() && m_list.size() < kListed) {
            if (m_list.contains(name)) {
                return false;
            }
            m_list.append(name);
            return true;
        }
        if (m_set.isEmpty()) {
            for (const QStringView listed : m_list) {
                m_set.insert(listed);
            }
        }
        if (m_set.contains(name)) {
            return false;
        }
        m_set.insert(name);
        return true;
    }

private:
    static constexpr qsizetype kListed = 16;
    QVarLengthArray<QStringView, kListed> m_list;
    QSet<QStringView> m_set;
};

class Scanner final
{
public:
    explicit Scanner(QStringView text) : m_text(text) {}

    std::optional<QString> run()
    {
        if (StartsWithXmlDeclaration(m_text)) {
            XmlDeclaration declaration;
            if (auto problem = ReadXmlDeclaration(m_text, declaration)) {
                return problem;
            }
            m_pos = declaration.length;
        }
        while (m_pos < m_text.size() && !m_problem && !m_lost) {
            if (m_text[m_pos] == u'<') {
                markup();
            } else {
                content();
            }
        }
        return m_problem;
    }

private:
    bool startsWith(QStringView s) const { return m_text.sliced(m_pos).startsWith(s); }
    bool atBlank() const { return m_pos < m_text.size() && isXmlBlank(m_text[m_pos]); }

    void fail(const QString& reason)
    {
        if (!m_problem) {
            m_problem = reason;
        }
    }

    // Skips past the terminator; a missing one is the parser's to report.
    void skipPast(QStringView terminator)
    {
        const qsizetype end = m_text.indexOf(terminator, m_pos);
        if (end < 0) {
            m_lost = true;
            return;
        }
        m_pos = end + terminator.size();
    }

    // At '<'. The character after it tells the usual tags apart without comparing texts.
    void markup()
    {
        const QChar next = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : QChar();
        if (next == u'/') {
            m_pos += 2;
            if (name(u"елемент")) {
                skipPast(u">");
            }
            if (--m_depth <= 0) {
                m_depth = 0;
                m_rootClosed = true;
            }
        } else if (next == u'?') {
            instruction();
        } else if (next != u'!') {
            startTag();
        } else if (startsWith(u"<!--")) {
            comment();
        } else if (startsWith(u"<![CDATA[")) {
            if (m_depth == 0) {
                fail(QStringLiteral("текст извън основния елемент"));
            }
            m_pos += 9;
            skipPast(u"]]>");
        } else if (startsWith(u"<!DOCTYPE")) {
            doctype();
        } else {
            fail(QStringLiteral("неправилна разметка, започваща с <!"));
        }
    }

    // "--" may only close a comment.
    void comment()
    {
        m_pos += 4;
        const qsizetype dashes = m_text.indexOf(u"--", m_pos);
        if (dashes < 0) {
            m_lost = true;
        } else if (dashes + 2 >= m_text.size() || m_text[dashes + 2] != u'>') {
            fail(QStringLiteral("„--“ в коментар"));
        } else {
            m_pos = dashes + 3;
        }
    }

    // The declaration, read before the loop, is the only instruction named "xml"; any casing of
    // the name is reserved.
    void instruction()
    {
        m_pos += 2;
        const qsizetype start = m_pos;
        if (!name(u"инструкция")) {
            return;
        }
        const QStringView target = m_text.sliced(start, m_pos - start);
        if (target == u"xml") {
            fail(QStringLiteral("XML декларация, която не е в началото на файла"));
        } else if (target.compare(u"xml", Qt::CaseInsensitive) == 0) {
            fail(QStringLiteral("инструкция със запазеното име %1").arg(target));
        } else if (!atBlank() && !startsWith(u"?>")) {
            fail(QStringLiteral("неправилно име на инструкция"));
        } else {
            skipPast(u"?>");
        }
    }

    // One, before the document element. Declarations are not expanded: an entity declared here
    // would still be refused where it is used. A quoted literal, a comment or an instruction may
    // hold brackets and '>'.
    void doctype()
    {
        if (m_rootSeen) {
            fail(QStringLiteral("декларация DOCTYPE след началото на основния елемент"));
            return;
        }
        if (m_doctypeSeen) {
            fail(QStringLiteral("втора декларация DOCTYPE"));
            return;
        }
        m_doctypeSeen = true;
        m_pos += 9;
        int brackets = 0;
        while (m_pos < m_text.size() && !m_lost) {
            const QChar c = m_text[m_pos];
            if (c == u'"' || c == u'\'') {
                const qsizetype close = m_text.indexOf(c, m_pos + 1);
                m_lost = close < 0;
                m_pos = close + 1;
            } else if (brackets > 0 && startsWith(u"<!--")) {
                m_pos += 4;
                skipPast(u"-->");
            } else if (brackets > 0 && startsWith(u"<?")) {
                m_pos += 2;
                skipPast(u"?>");
            } else if (c == u'>' && brackets <= 0) {
                ++m_pos;
                return;
            } else {
                brackets += c == u'[' ? 1 : c == u']' ? -1 : 0;
                ++m_pos;
            }
        }
        m_lost = true;
    }

    void startTag()
    {
        if (m_rootClosed) {
            fail(QStringLiteral("втори елемент след основния"));
            return;
        }
        m_rootSeen = true;
        ++m_pos;
        if (!name(u"елемент")) {
            return;
        }
        AttributeNames names;
        while (m_pos < m_text.size()) {
            const bool blank = atBlank();
            while (atBlank()) {
                ++m_pos;
            }
            const QChar c = m_pos < m_text.size() ? m_text[m_pos] : QChar();
            const bool empty = c == u'/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'>';
            if (empty || c == u'>') {
                m_pos += empty ? 2 : 1;
                // An empty element is a level as deep as one with content.
                if (m_depth + 1 > kMaxXmlDepth) {
                    fail(QStringLiteral("елементите са вложени по-дълбоко от %1 нива")
                             .arg(kMaxXmlDepth));
                }
                if (!empty) {
                    ++m_depth;
                } else if (m_depth == 0) {
                    m_rootClosed = true;
                }
                return;
            }
            if (!blank) {
                fail(QStringLiteral("липсва интервал преди атрибут"));
                return;
            }
            const qsizetype nameStart = m_pos;
            if (!name(u"атрибут")) {
                return;
            }
            if (!names.add(m_text.sliced(nameStart, m_pos - nameStart))) {
                fail(QStringLiteral("повторен атрибут %1")
                         .arg(m_text.sliced(nameStart, m_pos - nameStart)));
                return;
            }
            attributeValue();
            if (m_problem || m_lost) {
                return;
            }
        }
        m_lost = true;
    }

    // Reads a name of what the kind says; false, with the reason, when it is no XML name or is
    // followed by a character that can neither be in a name nor end one.
    bool name(const char16_t* kind)
    {
        const qsizetype start = m_pos;
        // The ASCII names of every real file at once.
        while (m_pos < m_text.size() && m_text[m_pos].unicode() < 0x80 &&
               kAsciiName[m_text[m_pos].unicode()] > (m_pos == start ? 1 : 0)) {
            ++m_pos;
        }
        while (m_pos < m_text.size()) {
            char32_t c = m_text[m_pos].unicode();
            qsizetype units = 1;
            if (QChar::isHighSurrogate(c) && m_pos + 1 < m_text.size() &&
                m_text[m_pos + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(char16_t(c), m_text[m_pos + 1].unicode());
                units = 2;
            }
            const bool first = m_pos == start;
            if (first ? IsXmlNameStartChar(c) : IsXmlNameChar(c)) {
                m_pos += units;
                continue;
            }
            if (!first && isNameEnd(m_text[m_pos])) {
                return true;
            }
            const QString what = QString::fromUtf16(kind);
            if (first && IsXmlNameChar(c)) {
                fail(QStringLiteral("име на %1, започващо със знак, с който име не може да "
                                    "започва (U+%2)")
                         .arg(what, hexOf(c)));
            } else if (!first || !isNameEnd(m_text[m_pos])) {
                fail(QStringLiteral("име на %1 със знак, който XML не допуска в имена (U+%2)")
                         .arg(what, hexOf(c)));
            } else {
                fail(QStringLiteral("липсва име на %1").arg(what));
            }
            return false;
        }
        m_lost = true;
        return false;
    }

    void attributeValue()
    {
        while (m_pos < m_text.size() && isXmlBlank(m_text[m_pos])) {
            ++m_pos;
        }
        if (m_pos >= m_text.size() || m_text[m_pos] != u'=') {
            m_lost = true;
            return;
        }
        ++m_pos;
        while (m_pos < m_text.size() && isXmlBlank(m_text[m_pos])) {
            ++m_pos;
        }
        if (m_pos >= m_text.size() || (m_text[m_pos] != u'"' && m_text[m_pos] != u'\'')) {
            m_lost = true;
            return;
        }
        const QChar quote = m_text[m_pos++];
        while (m_pos < m_text.size() && m_text[m_pos] != quote) {
            if (m_text[m_pos] == u'<') {
                fail(QStringLiteral("знак < в стойност на атрибут"));
                return;
            }
            if (m_text[m_pos] == u'&') {
                reference();
                if (m_problem || m_lost) {
                    return;
                }
            } else {
                ++m_pos;
            }
        }
        if (m_pos >= m_text.size()) {
            m_lost = true;
            return;
        }
        ++m_pos;
    }

    void content()
    {
        if (m_text[m_pos] == u'&') {
            if (m_depth == 0) {
                fail(QStringLiteral("текст извън основния елемент"));
                return;
            }
            reference();
            return;
        }
        if (m_depth == 0 && !isXmlBlank(m_text[m_pos])) {
            fail(QStringLiteral("текст извън основния елемент"));
            return;
        }
        // What closes CDATA cannot stand in text.
        if (m_text[m_pos] == u']' && startsWith(u"]]>")) {
            fail(QStringLiteral("„]]>“ в текст"));
            return;
        }
        ++m_pos;
        // The rest of a run of plain text at once.
        while (m_depth > 0 && m_pos < m_text.size()) {
            const QChar c = m_text[m_pos];
            if (c == u'<' || c == u'&' || c == u']') {
                return;
            }
            ++m_pos;
        }
    }

    // At '&': a predefined entity or a character reference to a character XML allows.
    void reference()
    {
        const qsizetype semicolon = m_text.indexOf(u';', m_pos);
        if (semicolon < 0) {
            fail(QStringLiteral("знак & без препратка"));
            return;
        }
        const QStringView body = m_text.sliced(m_pos + 1, semicolon - m_pos - 1);
        m_pos = semicolon + 1;
        if (body == u"lt" || body == u"gt" || body == u"amp" || body == u"apos" ||
            body == u"quot") {
            return;
        }
        if (!body.startsWith(u'#')) {
            fail(QStringLiteral("непозната препратка &%1;").arg(body));
            return;
        }
        const bool hex = body.startsWith(u"#x");
        const QStringView digits = body.sliced(hex ? 2 : 1);
        char32_t value = 0;
        bool ok = !digits.isEmpty();
        for (const QChar d : digits) {
            const char16_t u = d.unicode();
            int digit = -1;
            if (u >= u'0' && u <= u'9') {
                digit = u - u'0';
            } else if (hex && u >= u'a' && u <= u'f') {
                digit = u - u'a' + 10;
            } else if (hex && u >= u'A' && u <= u'F') {
                digit = u - u'A' + 10;
            }
            if (digit < 0) {
                ok = false;
                break;
            }
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
            if (value > kMaxCodePoint) {
                ok = false;
                break;
            }
        }
        if (!ok) {
            fail(QStringLiteral("неправилна препратка към знак &%1;").arg(body));
        } else if (!IsXmlChar(value)) {
            fail(QStringLiteral("препратка към ") + charReason(value));
        }
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    int m_depth = 0;
    bool m_rootSeen = false;
    bool m_rootClosed = false;
    bool m_doctypeSeen = false;
    bool m_lost = false;
    std::optional<QString> m_problem;
};

} // namespace

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= kMaxCodePoint);
}

qsizetype FirstForbiddenXmlChar(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u < 0xD800) {
            continue; // nearly every character of a report, checked before anything else
        }
        if (QChar::isHighSurrogate(u)) {
            if (i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
                ++i;
                continue;
            }
            return i;
        }
        if (QChar::isLowSurrogate(u) || !IsXmlChar(u)) {
            return i;
        }
    }
    return -1;
}

std::optional<QString> XmlTextProblem(QStringView text)
{
    const qsizetype bad = FirstForbiddenXmlChar(text);
    if (bad >= 0) {
        return charReason(text[bad].unicode());
    }
    return Scanner(text).run();
}

} // namespace kvor
