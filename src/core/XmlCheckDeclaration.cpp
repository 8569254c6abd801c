// The two parts of XML 1.0 that the parser takes on trust: which characters make a name, and the
// form of the XML declaration.

#include "core/XmlCheck.h"

#include <algorithm>
#include <array>

namespace kvor {

namespace {

constexpr bool asciiNameStart(char32_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u':' || c == u'_';
}

constexpr bool asciiNameChar(char32_t c)
{
    return asciiNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isVersion(QStringView v)
{
    if (!v.startsWith(u"1.") || v.size() < 3) {
        return false;
    }
    for (const QChar c : v.sliced(2)) {
        if (!isDigit(c)) {
            return false;
        }
    }
    return true;
}

bool isEncodingName(QStringView v)
{
    if (v.isEmpty() || !isAsciiLetter(v[0])) {
        return false;
    }
    for (const QChar c : v) {
        if (!isAsciiLetter(c) && !isDigit(c) && c != u'.' && c != u'_' && c != u'-') {
            return false;
        }
    }
    return true;
}

QString declarationReason(const QString& what)
{
    return QStringLiteral("неправилна XML декларация (%1)").arg(what);
}

constexpr std::array<QStringView, 3> kPseudoAttributes = {u"version", u"encoding", u"standalone"};

} // namespace

bool IsXmlNameStartChar(char32_t c)
{
    if (c < 0x80) {
        return asciiNameStart(c);
    }
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsXmlNameChar(char32_t c)
{
    if (c < 0x80) {
        return asciiNameChar(c);
    }
    return IsXmlNameStartChar(c) || c == 0xB7 || (c >= 0x300 && c <= 0x36F) ||
           (c >= 0x203F && c <= 0x2040);
}

bool StartsWithXmlDeclaration(QStringView text)
{
    return text.startsWith(u"<?xml") && text.size() > 5 && (isBlank(text[5]) || text[5] == u'?');
}

std::optional<QString> ReadXmlDeclaration(QStringView text, XmlDeclaration& declaration)
{
    declaration = {};
    qsizetype pos = 5; // past "<?xml"
    int last = -1;     // the pseudo-attribute read last
    const auto skipBlanks = [&] {
        const qsizetype from = pos;
        while (pos < text.size() && isBlank(text[pos])) {
            ++pos;
        }
        return pos > from;
    };
    for (;;) {
        const bool blank = skipBlanks();
        if (text.sliced(pos).startsWith(u"?>")) {
            break;
        }
        if (pos >= text.size()) {
            return declarationReason(QStringLiteral("не е завършена"));
        }
        if (!blank) {
            return declarationReason(QStringLiteral("липсва интервал"));
        }
        const qsizetype nameStart = pos;
        while (pos < text.size() && isAsciiLetter(text[pos])) {
            ++pos;
        }
        const QStringView name = text.sliced(nameStart, pos - nameStart);
        const auto known = std::find(kPseudoAttributes.begin(), kPseudoAttributes.end(), name);
        if (known == kPseudoAttributes.end()) {
            return declarationReason(QStringLiteral("непознат атрибут „%1“").arg(name));
        }
        const int index = static_cast<int>(known - kPseudoAttributes.begin());
        if (last < 0 && index != 0) {
            return declarationReason(QStringLiteral("версията липсва или не е първа"));
        }
        if (index <= last) {
            return declarationReason(QStringLiteral("атрибутите са повторени или не са в реда "
                                                    "version, encoding, standalone"));
        }
        last = index;
        skipBlanks();
        if (pos >= text.size() || text[pos] != u'=') {
            return declarationReason(QStringLiteral("липсва „=“ след %1").arg(name));
        }
        ++pos;
        skipBlanks();
        if (pos >= text.size() || (text[pos] != u'"' && text[pos] != u'\'')) {
            return declarationReason(QStringLiteral("стойността на %1 не е в кавички").arg(name));
        }
        const qsizetype close = text.indexOf(text[pos], pos + 1);
        const qsizetype end = text.indexOf(u"?>", pos + 1);
        if (close < 0 || (end >= 0 && close > end)) {
            return declarationReason(QStringLiteral("незатворени кавички след %1").arg(name));
        }
        const QStringView value = text.sliced(pos + 1, close - pos - 1);
        pos = close + 1;
        if (index == 0 && !isVersion(value)) {
            return declarationReason(QStringLiteral("версия „%1“ вместо 1.0").arg(value));
        }
        if (index == 1 && !isEncodingName(value)) {
            return declarationReason(QStringLiteral("неправилно име на кодировка „%1“").arg(value));
        }
        if (index == 2 && value != u"yes" && value != u"no") {
            return declarationReason(
                QStringLiteral("standalone е „%1“, а може да е само yes или no").arg(value));
        }
        if (index == 1) {
            declaration.encoding = value.toString();
        }
    }
    if (last < 0) {
        return declarationReason(QStringLiteral("версията липсва или не е първа"));
    }
    declaration.length = pos + 2;
    return std::nullopt;
}

} // namespace kvor
