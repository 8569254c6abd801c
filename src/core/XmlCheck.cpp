#include "core/XmlCheck.h"

#include <QSet>
#include <QVarLengthArray>

namespace kvor {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

QString charReason(char32_t c)
{
    return QStringLiteral("знак, който XML не допуска (U+%1)")
        .arg(QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0'));
}

bool isXmlBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isNameEnd(QChar c)
{
    return isXmlBlank(c) || c == u'/' || c == u'>' || c == u'=';
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

    void markup()
    {
        if (startsWith(u"<!--")) {
            m_pos += 4;
            skipPast(u"-->");
        } else if (startsWith(u"<![CDATA[")) {
            if (m_depth == 0) {
                fail(QStringLiteral("текст извън основния елемент"));
            }
            m_pos += 9;
            skipPast(u"]]>");
        } else if (startsWith(u"<?")) {
            m_pos += 2;
            skipPast(u"?>");
        } else if (startsWith(u"<!")) {
            doctype();
        } else if (startsWith(u"</")) {
            m_pos += 2;
            skipPast(u">");
            if (--m_depth <= 0) {
                m_depth = 0;
                m_rootClosed = true;
            }
        } else {
            startTag();
        }
    }

    void doctype()
    {
        // Declarations are not expanded: an entity declared here would still be refused where it
        // is used.
        int brackets = 0;
        for (; m_pos < m_text.size(); ++m_pos) {
            const QChar c = m_text[m_pos];
            if (c == u'[') {
                ++brackets;
            } else if (c == u']') {
                --brackets;
            } else if (c == u'>' && brackets <= 0) {
                ++m_pos;
                return;
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
        ++m_pos;
        skipName();
        AttributeNames names;
        while (m_pos < m_text.size()) {
            while (m_pos < m_text.size() && isXmlBlank(m_text[m_pos])) {
                ++m_pos;
            }
            if (startsWith(u"/>")) {
                m_pos += 2;
                if (m_depth == 0) {
                    m_rootClosed = true;
                }
                return;
            }
            if (startsWith(u">")) {
                ++m_pos;
                if (++m_depth > kMaxXmlDepth) {
                    fail(QStringLiteral("елементите са вложени по-дълбоко от %1 нива")
                             .arg(kMaxXmlDepth));
                }
                return;
            }
            const qsizetype nameStart = m_pos;
            skipName();
            const QStringView name = m_text.sliced(nameStart, m_pos - nameStart);
            if (name.isEmpty()) {
                m_lost = true;
                return;
            }
            if (!names.add(name)) {
                fail(QStringLiteral("повторен атрибут %1").arg(name));
                return;
            }
            attributeValue();
            if (m_problem || m_lost) {
                return;
            }
        }
        m_lost = true;
    }

    void skipName()
    {
        while (m_pos < m_text.size() && !isNameEnd(m_text[m_pos])) {
            ++m_pos;
        }
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
        ++m_pos;
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
    bool m_rootClosed = false;
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
