#include "core/XmlDom.h"

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/FileRead.h"
#include "core/XmlCheck.h"
#include "core/XmlTextForm.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>
#include <cstring>
#include <string>
#include <unordered_map>

namespace kvor {

using xmltext::appendEscaped;
using xmltext::escapedSize;
using xmltext::forbiddenCharacterReason;
using xmltext::textOf;
using xmltext::writeNode;

namespace {

enum class Codec
{
    Utf8,
    Utf16LE,
    Utf16BE,
    Cp1251,
    Other
};

bool isCp1251Name(const QString& lower)
{
    return lower == u"windows-1251" || lower == u"cp1251" || lower == u"x-cp1251" ||
           lower == u"cp-1251" || lower == u"win-1251";
}

Codec codecOf(const QString& name)
{
    const QString lower = name.trimmed().toLower();
    if (lower.isEmpty() || lower == u"utf-8" || lower == u"utf8") {
        return Codec::Utf8;
    }
    if (isCp1251Name(lower)) {
        return Codec::Cp1251;
    }
    if (lower == u"utf-16" || lower == u"utf-16le" || lower == u"ucs-2") {
        return Codec::Utf16LE;
    }
    if (lower == u"utf-16be") {
        return Codec::Utf16BE;
    }
    return Codec::Other;
}

// The encoding named in an XML declaration at the start of an 8-bit text, or an empty string.
QString declaredEncoding(QByteArrayView bytes)
{
    if (!bytes.startsWith("<?xml")) {
        return {};
    }
    const qsizetype end = QByteArrayView(bytes).indexOf("?>");
    if (end < 0) {
        return {};
    }
    static const QRegularExpression re(
        QStringLiteral(R"(encoding\s*=\s*["']([A-Za-z0-9._:-]+)["'])"));
    const auto m = re.match(QString::fromLatin1(bytes.first(end)));
    return m.hasMatch() ? m.captured(1) : QString();
}

const QString kBadUtf8 = QStringLiteral("Файлът съдържа невалиден UTF-8 текст.");

// False when the bytes are no valid UTF-8.
bool decodeUtf8(QByteArrayView bytes, QString& text)
{
    // The file's own byte-order mark has been taken off; another one is text.
    QStringDecoder dec(QStringDecoder::Utf8,
                       QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    text = dec.decode(bytes);
    return !dec.hasError();
}

// What went wrong in a file that is no well-formed XML, in the user's language.
QString parseProblem(pugi::xml_parse_status status)
{
    switch (status) {
    case pugi::status_unrecognized_tag:
    case pugi::status_bad_start_element:
        return QStringLiteral("неправилно начало на елемент");
    case pugi::status_bad_pi:
        return QStringLiteral("неправилна инструкция за обработка");
    case pugi::status_bad_comment:
        return QStringLiteral("неправилен коментар");
    case pugi::status_bad_cdata:
        return QStringLiteral("неправилна секция CDATA");
    case pugi::status_bad_doctype:
        return QStringLiteral("неправилна декларация на типа на документа");
    case pugi::status_bad_pcdata:
        return QStringLiteral("неправилен текст");
    case pugi::status_bad_attribute:
        return QStringLiteral("неправилен атрибут");
    case pugi::status_bad_end_element:
        return QStringLiteral("неправилен край на елемент");
    case pugi::status_end_element_mismatch:
        return QStringLiteral("краят на елемент не съответства на началото му или липсва");
    case pugi::status_append_invalid_root:
    case pugi::status_no_document_element:
        return QStringLiteral("липсва основен елемент");
    default:
        return QStringLiteral("файлът не може да бъде разчетен");
    }
}

QByteArray encodeOther(const QString& text, const QString& encodingName)
{
    QStringEncoder encoder(encodingName.toLatin1().constData());
    if (!encoder.isValid()) {
        return text.toUtf8();
    }
    // A single-byte codec silently writes 0x1A for what it cannot hold; such characters are
    // written as references instead.
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        const QStringView piece = QStringView(text).mid(i, len);
        QByteArray bytes = encoder.encode(piece);
        const bool lost =
            encoder.hasError() || (bytes.contains('\x1a') && piece != u"\x1a") || bytes.isEmpty();
        if (lost) {
            out += "&#" + QByteArray::number(piece.toUcs4().value(0)) + ';';
            // The error sticks to an encoder, and every later character would be taken as lost
            // too, markup included: a fresh one goes on.
            encoder = QStringEncoder(encodingName.toLatin1().constData());
        } else {
            out += bytes;
        }
        i += len - 1;
    }
    return out;
}

// --- XPath ------------------------------------------------------------------------------

const pugi::xpath_query* compiled(const QString& expr)
{
    static std::unordered_map<std::string, std::unique_ptr<pugi::xpath_query>> cache;
    std::string key = expr.toStdString();
    auto it = cache.find(key);
    if (it != cache.end()) {
        return it->second.get();
    }
    if (cache.size() > 512) {
        cache.clear();
    }
    std::unique_ptr<pugi::xpath_query> query;
    try {
        query = std::make_unique<pugi::xpath_query>(key.c_str());
    } catch (const pugi::xpath_exception&) {
        return nullptr;
    }
    if (!*query) {
        return nullptr;
    }
    return cache.emplace(std::move(key), std::move(query)).first->second.get();
}

} // namespace

// --- DomDocument ------------------------------------------------------------------------

long DomDocument::fail(long code, const QString& reason)
{
    m_doc.reset();
    m_error = code;
    m_reason = reason;
    return code;
}

void DomDocument::clear()
{
    m_doc.reset();
    m_error = kLoadOk;
    m_reason.clear();
}

long DomDocument::load(const QString& path)
{
    ReadResult read = ReadRegularFile(path);
    switch (read.status) {
    case ReadStatus::Ok:
        return loadBytes(read.bytes);
    case ReadStatus::Missing:
        return fail(kLoadMissing, read.reason);
    case ReadStatus::NotRegular:
    case ReadStatus::TooLarge:
    case ReadStatus::Failed:
        break;
    }
    return fail(kLoadUnreadable, read.reason);
}

long DomDocument::loadBytes(QByteArrayView bytes)
{
    if (bytes.size() > kMaxReadBytes) {
        return fail(kLoadUnreadable,
                    QStringLiteral("Файлът е по-голям от %1 MiB и не може да е справка.")
                        .arg(kMaxReadBytes / (1024 * 1024)));
    }
    QString text;
    QString encoding;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding = declaredEncoding(bytes.sliced(3));
        if (encoding.isEmpty()) {
            encoding = QStringLiteral("UTF-8");
        }
        if (!decodeUtf8(bytes.sliced(3), text)) {
            return fail(kLoadEncoding, kBadUtf8);
        }
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
               (bytes.size() >= 2 &&
                ((bytes[0] == 0 && bytes[1] == '<') || (bytes[0] == '<' && bytes[1] == 0)))) {
        const bool big = bytes.startsWith("\xFE\xFF") || bytes[0] == 0;
        QStringDecoder dec(big ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE,
                           QStringDecoder::Flag::Stateless);
        const bool bom = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
        text = dec.decode(bom ? bytes.sliced(2) : bytes);
        if (dec.hasError()) {
            return fail(kLoadEncoding, QStringLiteral("Файлът съдържа невалиден UTF-16 текст."));
        }
        static const QRegularExpression re(
            QStringLiteral(R"(^<\?xml[^>]*encoding\s*=\s*["']([A-Za-z0-9._:-]+)["'])"));
        const auto m = re.match(text);
        encoding = m.hasMatch() ? m.captured(1) : QStringLiteral("UTF-16");
    } else {
        encoding = declaredEncoding(bytes);
        switch (codecOf(encoding)) {
        case Codec::Utf8: {
            if (!decodeUtf8(bytes, text)) {
                return fail(kLoadEncoding, kBadUtf8);
            }
            if (encoding.isEmpty()) {
                encoding = QStringLiteral("UTF-8");
            }
            break;
        }
        case Codec::Cp1251:
            text = Cp1251Decode(bytes);
            break;
        case Codec::Utf16LE:
        case Codec::Utf16BE:
            return fail(kLoadEncoding,
                        QStringLiteral("Кодировката на файла не отговаря на декларацията му."));
        case Codec::Other: {
            QStringDecoder dec(encoding.toLatin1().constData(), QStringDecoder::Flag::Stateless);
            if (!dec.isValid()) {
                return fail(kLoadEncoding,
                            QStringLiteral("Непозната кодировка на файла: %1").arg(encoding));
            }
            text = dec.decode(bytes);
            if (dec.hasError()) {
                return fail(kLoadEncoding,
                            QStringLiteral("Файлът съдържа невалиден текст за кодировка %1.")
                                .arg(encoding));
            }
            break;
        }
        }
    }

    // Before the parser: it would take these files with another meaning than they have.
    if (const auto problem = XmlTextProblem(text)) {
        return fail(kLoadMalformed, QStringLiteral("Файлът не е валиден XML: %1.").arg(*problem));
    }
    const QByteArray utf8 = text.toUtf8();
    m_doc.reset();
    const unsigned flags = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;
    const pugi::xml_parse_result result = m_doc.load_buffer(
        utf8.constData(), static_cast<size_t>(utf8.size()), flags, pugi::encoding_utf8);
    if (!result) {
        return fail(kLoadMalformed, QStringLiteral("Файлът не е валиден XML: %1 (знак %2).")
                                        .arg(parseProblem(result.status))
                                        .arg(result.offset + 1));
    }
    if (!m_doc.document_element()) {
        return fail(kLoadMalformed, QStringLiteral("Файлът не съдържа XML елемент."));
    }
    m_encoding = encoding;
    m_error = kLoadOk;
    m_reason.clear();
    return kLoadOk;
}

QString DomDocument::elementText() const
{
    std::string element;
    writeNode(element, m_doc.document_element());
    return textOf(element);
}

QByteArray DomDocument::toBytes() const
{
    return encodeFileText({elementText()});
}

QByteArray DomDocument::toBytesWithDerivedAttribute(
    const QString& name, const std::function<QString(QStringView)>& valueOf, QString* refusal)
{
    const XmlNode root = m_doc.document_element();
    SetAttribute(root, name, QString());
    const QByteArray key = name.toUtf8();
    std::string utf8;
    writeNode(utf8, root);
    // Where the attribute's empty value stands in the start tag.
    qsizetype at = 1 + static_cast<qsizetype>(std::strlen(root.name()));
    for (const pugi::xml_attribute a : root.attributes()) {
        at += 1 + static_cast<qsizetype>(std::strlen(a.name())) + 2;
        if (std::strcmp(a.name(), key.constData()) == 0) {
            break;
        }
        at += escapedSize(a.value()) + 1;
    }
    const QString element = textOf(utf8);
    if (const QString reason = forbiddenCharacterReason(element); !reason.isEmpty()) {
        if (refusal) {
            *refusal = reason;
        }
        return {};
    }
    const QString value = valueOf(element);
    std::string escaped;
    appendEscaped(escaped, value.toUtf8().constData(), true);
    const qsizetype split = QString::fromUtf8(utf8.data(), at).size();
    SetAttribute(root, name, value);
    const QString valueText = QString::fromStdString(escaped);
    return encodeFileText(
        {QStringView(element).left(split), valueText, QStringView(element).mid(split)});
}

QByteArray DomDocument::encodeFileText(std::initializer_list<QStringView> element) const
{
    // A name no encoder knows (a file may declare anything) is written as UTF-8, and says so.
    Codec codec = codecOf(m_encoding);
    QString encoding = m_encoding;
    if (codec == Codec::Other && !QStringEncoder(m_encoding.toLatin1().constData()).isValid()) {
        codec = Codec::Utf8;
        encoding = QStringLiteral("UTF-8");
    }
    const QString head =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\r\n").arg(encoding);
    const QString tail = QStringLiteral("\r\n");
    // The two usual encodings take the pieces one by one, without joining a large text first.
    if (codec == Codec::Utf8 || codec == Codec::Cp1251) {
        const auto encode = [codec](QStringView piece) {
            return codec == Codec::Utf8 ? piece.toUtf8() : Cp1251EncodeXml(piece);
        };
        QByteArray out = encode(head);
        for (const QStringView piece : element) {
            out += encode(piece);
        }
        out += encode(tail);
        return out;
    }
    QString text = head;
    for (const QStringView piece : element) {
        text += piece;
    }
    text += tail;
    switch (codec) {
    case Codec::Utf8:
    case Codec::Cp1251:
        break;
    case Codec::Utf16LE: {
        QByteArray out("\xFF\xFE", 2);
        for (const QChar ch : text) {
            out += static_cast<char>(ch.unicode() & 0xFF);
            out += static_cast<char>(ch.unicode() >> 8);
        }
        return out;
    }
    case Codec::Utf16BE: {
        QByteArray out("\xFE\xFF", 2);
        for (const QChar ch : text) {
            out += static_cast<char>(ch.unicode() >> 8);
            out += static_cast<char>(ch.unicode() & 0xFF);
        }
        return out;
    }
    case Codec::Other:
        return encodeOther(text, m_encoding);
    }
    return {};
}

bool DomDocument::save(const QString& path, QString* errorText, int* errorNumber) const
{
    const auto refuse = [&](const QString& reason) {
        if (errorText) {
            *errorText = reason;
        }
        if (errorNumber) {
            *errorNumber = EINVAL;
        }
        return false;
    };
    if (isEmpty()) {
        return refuse(QStringLiteral("Няма документ за записване."));
    }
    const QString text = elementText();
    if (const QString reason = forbiddenCharacterReason(text); !reason.isEmpty()) {
        return refuse(reason);
    }
    return WriteFileAtomically(path, encodeFileText({text}), errorText, errorNumber);
}

// --- selections and attributes ----------------------------------------------------------

std::vector<XmlNode> selectNodes(XmlNode context, const QString& expr)
{
    std::vector<XmlNode> out;
    if (!context) {
        return out;
    }
    const pugi::xpath_query* query = compiled(expr);
    if (!query || query->return_type() != pugi::xpath_type_node_set) {
        return out;
    }
    pugi::xpath_node_set set = query->evaluate_node_set(context);
    set.sort();
    out.reserve(set.size());
    for (const pugi::xpath_node& n : set) {
        if (n.node()) {
            out.push_back(n.node());
        }
    }
    return out;
}

std::vector<XmlNode> selectNodes(const DomDocument& doc, const QString& expr)
{
    return selectNodes(doc.node(), expr);
}

XmlNode selectSingleNode(XmlNode context, const QString& expr)
{
    if (!context) {
        return {};
    }
    const pugi::xpath_query* query = compiled(expr);
    if (!query || query->return_type() != pugi::xpath_type_node_set) {
        return {};
    }
    // evaluate_node gives the first node in document order.
    return query->evaluate_node(context).node();
}

XmlNode selectSingleNode(const DomDocument& doc, const QString& expr)
{
    return selectSingleNode(doc.node(), expr);
}

QString NodeXml(XmlNode node)
{
    std::string out;
    writeNode(out, node);
    return textOf(out);
}

QString GetAttribute(XmlNode node, const QString& name)
{
    if (!node) {
        return {};
    }
    const pugi::xml_attribute a = node.attribute(name.toUtf8().constData());
    return a ? textOf(a.value()) : QString();
}

void SetAttribute(XmlNode element, const QString& name, const QString& value)
{
    if (!element || element.type() != pugi::node_element) {
        return;
    }
    const QByteArray key = name.toUtf8();
    pugi::xml_attribute a = element.attribute(key.constData());
    if (!a) {
        a = element.append_attribute(key.constData());
    }
    a.set_value(value.toUtf8().constData());
}

void RemoveAttribute(XmlNode element, const QString& name)
{
    if (element) {
        element.remove_attribute(name.toUtf8().constData());
    }
}

} // namespace kvor
