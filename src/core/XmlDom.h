#pragma once
// The XML documents of the program: loading in whatever encoding a file declares, path
// selections, attribute access, the element text form that the integrity hash is computed over,
// and saving, always in Windows-1251, that never leaves a half-written file behind.

#include <QByteArray>
#include <QString>
#include <functional>
#include <initializer_list>
#include <pugixml.hpp>
#include <vector>

namespace kvor {

using XmlNode = pugi::xml_node;

// Error codes of a load; 0 means the document was loaded.
enum LoadError : long
{
    kLoadOk = 0,
    kLoadMissing = 1,
    kLoadUnreadable = 2,
    kLoadEncoding = 3,
    kLoadMalformed = 4,
};

class DomDocument final
{
public:
    DomDocument() = default;
    DomDocument(const DomDocument&) = delete;
    DomDocument& operator=(const DomDocument&) = delete;

    // Reads the whole file and replaces all earlier content. On any failure the document is
    // empty and the error code is non-zero. Only a regular file of a bounded size is read, and
    // only a document that is well-formed XML 1.0 and not nested deeper than kMaxXmlDepth is
    // taken.
    long load(const QString& path);
    long loadBytes(QByteArrayView bytes);
    // As load, and a file in any encoding but Windows-1251 is refused too (kLoadEncoding).
    long loadWindows1251(const QString& path);
    long errorCode() const { return m_error; }
    // A sentence in Bulgarian that says why the last load failed; empty after a good load.
    QString errorReason() const { return m_reason; }

    // Replaces the file at path atomically: on failure the old file is left whole, nothing
    // half-written remains, errorText (when given) receives the reason and errorNumber the
    // system's error number. A document that toBytes refuses is not written.
    bool save(const QString& path, QString* errorText = nullptr, int* errorNumber = nullptr) const;
    // The bytes save writes: a windows-1251 declaration, CR LF, the document element, CR LF, in
    // Windows-1251 whatever the file read declared; characters the code page lacks become
    // character references. Empty, with the reason in refusal (when given), when the document
    // holds a character XML forbids, or one the code page lacks where a reference cannot stand
    // (a name, a comment, an instruction, CDATA).
    QByteArray toBytes(QString* refusal = nullptr) const;
    // The same bytes with the document element's attribute `name` (added when missing) set to
    // what valueOf makes of the element's text form (NodeXml) holding it empty. The text is built
    // once for both; the document keeps the value. Empty, with the reason in refusal (when
    // given), as toBytes.
    QByteArray toBytesWithDerivedAttribute(const QString& name,
                                           const std::function<QString(QStringView)>& valueOf,
                                           QString* refusal = nullptr);

    bool isEmpty() const { return !m_doc.document_element(); }
    void clear();
    XmlNode documentElement() const { return m_doc.document_element(); }
    XmlNode node() const { return m_doc; }
    pugi::xml_document& raw() { return m_doc; }

    // The encoding the last loaded file was read in, as its declaration names it ("cp1251").
    QString encoding() const { return m_encoding; }

private:
    long fail(long code, const QString& reason);
    // The text of a file and the encoding it is read in, decoded by its byte-order mark and its
    // declaration; kLoadOk, or the failure.
    long decode(QByteArrayView bytes, QString& text, QString& encoding);
    QString elementText() const;
    // The declaration, the element text, CR LF, in Windows-1251.
    QByteArray encodeFileText(std::initializer_list<QStringView> element, QString* refusal) const;

    pugi::xml_document m_doc;
    long m_error = kLoadOk;
    QString m_reason;
    QString m_encoding = QStringLiteral("UTF-8");
};

// The first match in document order, or a null node. An expression that starts with "//"
// searches the whole document even from an element; names are matched with their prefixes
// exactly as written.
XmlNode selectSingleNode(XmlNode context, const QString& expr);
XmlNode selectSingleNode(const DomDocument& doc, const QString& expr);
// Every match in document order.
std::vector<XmlNode> selectNodes(XmlNode context, const QString& expr);
std::vector<XmlNode> selectNodes(const DomDocument& doc, const QString& expr);

// The element text form: no declaration, attributes in stored order, childless elements as
// "<name/>", nothing between elements.
QString NodeXml(XmlNode node);

// The attribute's value; "" for a null node or a missing attribute.
QString GetAttribute(XmlNode node, const QString& name);
// An existing attribute keeps its place; a new one is added after the others.
void SetAttribute(XmlNode element, const QString& name, const QString& value);
void RemoveAttribute(XmlNode element, const QString& name);

} // namespace kvor
