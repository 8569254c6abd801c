#include "core/XmlDom.h"

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/FileRead.h"
#include "core/XmlCheck.h"
#include "core/XmlTextForm.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
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

// Enough of an 8-bit file to hold its declaration, which is ASCII in every such encoding.
QString headOf(QByteArrayView bytes)
{
    constexpr qsizetype kLongestHead = 4096;
    const QByteArrayView head = bytes.first(std::min(bytes.size(), kLongestHead));
    const qsizetype end = head.indexOf("?>");
    return QString::fromLatin1(end < 0 ? head : head.first(end + 2));
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
    if (const long failed = decode(bytes, text, encoding); failed != kLoadOk) {
        return failed;
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

long DomDocument::loadWindows1251(const QString& path)
{
    if (load(path) == kLoadOk && codecOf(m_encoding) != Codec::Cp1251) {
        return fail(
            kLoadEncoding,
            QStringLiteral("Файлът не е в кодировка windows-1251, а в %1.").arg(m_encoding));
    }
    return m_error;
}

long DomDocument::decode(QByteArrayView bytes, QString& text, QString& encoding)
{
    // What the declaration says, where it can be read; its syntax is checked before the bytes
    // are decoded by what it names.
    const auto declared = [&](QStringView head) -> std::optional<QString> {
        XmlDeclaration declaration;
        if (StartsWithXmlDeclaration(head)) {
            if (auto problem = ReadXmlDeclaration(head, declaration)) {
                return QStringLiteral("Файлът не е валиден XML: %1.").arg(*problem);
            }
        }
        encoding = declaration.encoding;
        return std::nullopt;
    };
    const auto contradicted = [&](const char* marked) {
        return fail(kLoadEncoding,
                    QStringLiteral("Файлът е в %1 (по началните му байтове), а декларацията "
                                   "му сочи кодировка %2.")
                        .arg(QString::fromLatin1(marked), encoding));
    };
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
        if (const auto problem = declared(headOf(bytes))) {
            return fail(kLoadMalformed, *problem);
        }
        if (codecOf(encoding) != Codec::Utf8) {
            return contradicted("UTF-8");
        }
        if (!decodeUtf8(bytes, text)) {
            return fail(kLoadEncoding, kBadUtf8);
        }
        encoding = QStringLiteral("UTF-8");
        return kLoadOk;
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
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
        if (const auto problem = declared(text)) {
            return fail(kLoadMalformed, *problem);
        }
        const Codec codec = codecOf(encoding);
        if (!encoding.isEmpty() && codec != Codec::Utf16LE && codec != Codec::Utf16BE) {
            return contradicted("UTF-16");
        }
        encoding = QStringLiteral("UTF-16");
        return kLoadOk;
    }
    if (const auto problem = declared(headOf(bytes))) {
        return fail(kLoadMalformed, *problem);
    }
    switch (codecOf(encoding)) {
    case Codec::Utf8:
        if (!decodeUtf8(bytes, text)) {
            return fail(kLoadEncoding, kBadUtf8);
        }
        if (encoding.isEmpty()) {
            encoding = QStringLiteral("UTF-8");
        }
        return kLoadOk;
    case Codec::Cp1251: {
        qsizetype at = 0;
        if (!Cp1251DecodeStrict(bytes, text, &at)) {
            return fail(kLoadEncoding, QStringLiteral("Файлът съдържа байт 0x98, който кодировката "
                                                      "windows-1251 не определя (байт %1).")
                                           .arg(at + 1));
        }
        return kLoadOk;
    }
    case Codec::Utf16LE:
    case Codec::Utf16BE:
        return fail(kLoadEncoding,
                    QStringLiteral("Кодировката на файла не отговаря на декларацията му."));
    case Codec::Other:
        break;
    }
    QStringDecoder dec(encoding.toLatin1().constData(), QStringDecoder::Flag::Stateless);
    if (!dec.isValid()) {
        return fail(kLoadEncoding,
                    QStringLiteral("Непозната кодировка на файла: %1").arg(encoding));
    }
    text = dec.decode(bytes);
    if (dec.hasError()) {
        return fail(
            kLoadEncoding,
            QStringLiteral("Файлът съдържа невалиден текст за кодировка %1.").arg(encoding));
    }
    return kLoadOk;
}

QString DomDocument::elementText() const
{
    std::string element;
    writeNode(element, m_doc.document_element());
    return textOf(element);
}

QByteArray DomDocument::toBytes(QString* refusal) const
{
    if (isEmpty()) {
        return {};
    }
    const QString text = elementText();
    if (const QString reason = forbiddenCharacterReason(text); !reason.isEmpty()) {
        if (refusal) {
            *refusal = reason;
        }
        return {};
    }
    return encodeFileText({text}, refusal);
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
        {QStringView(element).left(split), valueText, QStringView(element).mid(split)}, refusal);
}

QByteArray DomDocument::encodeFileText(std::initializer_list<QStringView> element,
                                       QString* refusal) const
{
    // Whatever the file read declared: the program writes Windows-1251 only.
    static const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n";
    const QByteArray body = Cp1251EncodeXml(element, refusal);
    if (body.isEmpty()) {
        return {};
    }
    QByteArray out;
    out.reserve(kHead.size() + body.size() + 2);
    out += kHead;
    out += body;
    out += "\r\n";
    return out;
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
    QString refusal;
    const QByteArray bytes = toBytes(&refusal);
    if (bytes.isEmpty()) {
        return refuse(refusal);
    }
    return WriteFileAtomically(path, bytes, errorText, errorNumber);
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
