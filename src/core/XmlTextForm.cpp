#include "core/XmlTextForm.h"

#include "core/XmlCheck.h"

#include <QStringDecoder>
#include <cstring>

namespace kvor::xmltext {

namespace {
using XmlNode = pugi::xml_node;
} // namespace

// UTF-8 as text; unlike QString::fromUtf8, a leading U+FEFF is kept, it is part of the value.
QString textOf(const char* utf8, qsizetype size)
{
    QStringDecoder dec(QStringDecoder::Utf8,
                       QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return dec.decode(QByteArrayView(utf8, size));
}

QString textOf(const char* utf8)
{
    return textOf(utf8, qsizetype(std::strlen(utf8)));
}

QString textOf(const std::string& utf8)
{
    return textOf(utf8.data(), qsizetype(utf8.size()));
}

// The text form is written in UTF-8, as the document holds it, and decoded once at the end.
// Runs without a character to escape are copied whole.
void appendEscaped(std::string& out, const char* s, bool attribute)
{
    const char* run = s;
    for (; *s; ++s) {
        const char* reference = nullptr;
        switch (*s) {
        case '&':
            reference = "&amp;";
            break;
        case '<':
            reference = "&lt;";
            break;
        case '>':
            reference = attribute ? nullptr : "&gt;";
            break;
        case '"':
            reference = attribute ? "&quot;" : nullptr;
            break;
        case '\t':
            reference = attribute ? "&#x9;" : nullptr;
            break;
        case '\n':
            reference = attribute ? "&#xA;" : nullptr;
            break;
        case '\r':
            reference = attribute ? "&#xD;" : nullptr;
            break;
        default:
            break;
        }
        if (reference) {
            out.append(run, s - run);
            out.append(reference);
            run = s + 1;
        }
    }
    out.append(run, s - run);
}

qsizetype escapedSize(const char* s)
{
    std::string out;
    appendEscaped(out, s, true);
    return static_cast<qsizetype>(out.size());
}

// Writes the node, or for an element with children its start tag; true when its children
// follow.
static bool writeStart(std::string& out, XmlNode node)
{
    switch (node.type()) {
    case pugi::node_element: {
        out += '<';
        out += node.name();
        for (const pugi::xml_attribute a : node.attributes()) {
            out += ' ';
            out += a.name();
            out += "=\"";
            appendEscaped(out, a.value(), true);
            out += '"';
        }
        if (!node.first_child()) {
            out += "/>";
            return false;
        }
        out += '>';
        return true;
    }
    case pugi::node_pcdata:
        appendEscaped(out, node.value(), false);
        return false;
    case pugi::node_cdata:
        out += "<![CDATA[";
        out += node.value();
        out += "]]>";
        return false;
    case pugi::node_comment:
        out += "<!--";
        out += node.value();
        out += "-->";
        return false;
    case pugi::node_pi:
        out += "<?";
        out += node.name();
        if (*node.value()) {
            out += ' ';
            out += node.value();
        }
        out += "?>";
        return false;
    case pugi::node_document:
        return static_cast<bool>(node.first_child());
    default:
        return false;
    }
}

// Without recursion: a tree built in memory may be deeper than any file the reader accepts.
void writeNode(std::string& out, XmlNode top)
{
    XmlNode node = top;
    for (;;) {
        if (writeStart(out, node)) {
            node = node.first_child();
            continue;
        }
        while (node != top && !node.next_sibling()) {
            node = node.parent();
            if (node.type() == pugi::node_element) {
                out += "</";
                out += node.name();
                out += '>';
            }
        }
        if (node == top) {
            return;
        }
        node = node.next_sibling();
    }
}

// The refusal of a text holding a character XML forbids: only a change in memory can bring one
// in; a file strict readers refuse is not written, and dropping the character would change the
// figures and the hash.
QString forbiddenCharacterReason(const QString& text)
{
    const qsizetype bad = FirstForbiddenXmlChar(text);
    if (bad < 0) {
        return {};
    }
    return QStringLiteral("Документът съдържа знак, който XML не допуска (U+%1).")
        .arg(QString::number(text[bad].unicode(), 16).toUpper().rightJustified(4, u'0'));
}

} // namespace kvor::xmltext
