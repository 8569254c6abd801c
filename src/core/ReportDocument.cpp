#include "core/ReportDocument.h"

#include "core/AppState.h"
#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/GridText.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/ReportHash.h"
#include "core/XmlDom.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace kvor {

namespace {

// The version goes into a single-quoted attribute; without escaping, a quote, an ampersand or a
// less-than sign in it would make every new report unreadable. Line ends and tabs are written as
// references so that the parser does not turn them into blanks.
QString EscapeSingleQuoted(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar ch : value) {
        switch (ch.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'\'':
            out += u"&apos;";
            break;
        case u'\t':
            out += u"&#9;";
            break;
        case u'\n':
            out += u"&#10;";
            break;
        case u'\r':
            out += u"&#13;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

bool IsAccessError(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOENT:
    case ENOTDIR:
    case EISDIR:
        return true;
    default:
        return false;
    }
}

bool IsDiskFull(int err)
{
#ifdef EDQUOT
    if (err == EDQUOT) {
        return true;
    }
#endif
    return err == ENOSPC;
}

void ShowWriteError(const QString& text)
{
    platform().MsgBox(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWriteError);
}

} // namespace

QString SkeletonText(const QString& version, const QString& structureXml)
{
    return QStringLiteral("<?xml version='1.0' encoding='windows-1251'?><positions version='") +
           EscapeSingleQuoted(version) + QStringLiteral("'>") + structureXml +
           QStringLiteral("</positions>");
}

QString BuildEmptyStructure()
{
    const DomDocument& structureDoc = State().xmlStructure;
    const XmlNode structure =
        selectSingleNode(structureDoc, QStringLiteral("/nomenclatures/structure"));
    const auto rows = selectNodes(structure, QStringLiteral("//str"));
    const auto columns = selectNodes(structureDoc, QStringLiteral("nomenclatures/columns//col"));
    for (const XmlNode row : rows) {
        RemoveAttribute(row, QStringLiteral("name"));
        for (const XmlNode column : columns) {
            if (GetAttribute(column, QStringLiteral("protected")) == u"1") {
                SetAttribute(row,
                             QStringLiteral("col") + GetAttribute(column, QStringLiteral("id")),
                             QStringLiteral("0"));
            }
        }
    }
    return NodeXml(structure);
}

void CreateDocumentFile(const QString& path)
{
    const QString version =
        GetAttribute(State().xmlStructure.documentElement(), QStringLiteral("version"));
    // Characters the code page lacks are kept as references rather than lost.
    const QByteArray bytes = Cp1251EncodeXml(SkeletonText(version, BuildEmptyStructure()));
    QString reason;
    int err = 0;
    if (WriteFileAtomically(path, bytes, &reason, &err)) {
        return;
    }
    if (IsAccessError(err)) {
        ShowWriteError(msg::kWriteDenied + QDir::toNativeSeparators(path));
    } else if (IsDiskFull(err)) {
        ShowWriteError(msg::kDiskFull);
    } else {
        ShowWriteError(reason);
    }
}

bool OpenDocument(const QString& path)
{
    AppState& state = State();
    if (!QFileInfo::exists(path)) {
        // A failure has been shown and makes the load below fail.
        CreateDocumentFile(path);
    }
    if (state.xmlDoc.load(path) != kLoadOk) {
        platform().MsgBox(msg::kXmlTampered, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
        return false;
    }
    // In this order, so that a new report has them in this order after `version`.
    const XmlNode positions = selectSingleNode(state.xmlDoc, QStringLiteral("positions"));
    SetAttribute(positions, QStringLiteral("period"), state.sPeriod);
    SetAttribute(positions, QStringLiteral("ob_name"), state.Obshtina.Name);
    SetAttribute(positions, QStringLiteral("ebk"), state.Obshtina.NumEBK);
    QString reason;
    if (!SaveDocument(path, &reason)) {
        // The report would otherwise be edited while every save of it fails unseen.
        ShowWriteError(msg::kDocumentNotSaved + QDir::toNativeSeparators(path) +
                       QStringLiteral("\r\n") + reason);
        return false;
    }
    return true;
}

void StoreGridValues(const GridText& grid)
{
    DomDocument& doc = State().xmlDoc;
    const XmlNode structure = selectSingleNode(doc, QStringLiteral("positions/structure"));
    const auto rows = selectNodes(structure, QStringLiteral("//str"));
    for (int r = kFirstDataRow; r < grid.Rows(); ++r) {
        const size_t n = static_cast<size_t>(r - kFirstDataRow);
        if (n >= rows.size()) {
            break;
        }
        for (const StoredAmount& amount : kStoredAmounts) {
            SetAttribute(rows[n], QString::fromLatin1(amount.attribute),
                         grid.TextMatrix(r, amount.gridCol));
        }
    }
    // The hash covers the element with an empty `hash` in its place.
    const XmlNode root = doc.documentElement();
    SetAttribute(root, QStringLiteral("hash"), QString());
    SetAttribute(root, QStringLiteral("hash"), DocumentHash(NodeXml(root)).value_or(QString()));
}

bool SaveHashedDocument(DomDocument& doc, const QString& path, QString* reason)
{
    if (doc.isEmpty()) {
        return doc.save(path, reason); // says why nothing can be saved
    }
    const QByteArray bytes =
        doc.toBytesWithDerivedAttribute(QStringLiteral("hash"), [](QStringView element) {
            return DocumentHash(element).value_or(QString());
        });
    return WriteFileAtomically(path, bytes, reason);
}

bool SaveDocument(const QString& path, QString* reason)
{
    return State().xmlDoc.save(path, reason);
}

} // namespace kvor
