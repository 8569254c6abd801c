#include "core/ReportDocument.h"

#include "core/AppState.h"
#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/ReportFormat.h"
#include "core/ReportHash.h"
#include "core/XmlCheck.h"
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

QString BuildEmptyStructure(DomDocument& structureDoc)
{
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

bool CreateDocumentFile(DomDocument& structure, const QString& path)
{
    const QString version = GetAttribute(structure.documentElement(), QStringLiteral("version"));
    // Characters the code page lacks are kept as references rather than lost.
    const QString text = SkeletonText(version, BuildEmptyStructure(structure));
    QString reason;
    int err = 0;
    if (FirstForbiddenXmlChar(text) >= 0) {
        // Only a structure changed in memory gets here; the file would be refused when read.
        err = EINVAL;
        reason = QStringLiteral("Структурата съдържа знак, който XML не допуска.");
    } else if (WriteFileAtomically(path, Cp1251EncodeXml(text), &reason, &err)) {
        return true;
    }
    ShowWriteError(WriteFailureMessage(path, err, reason));
    return false;
}

bool OpenDocument(AppState& state, const QString& path)
{
    // The write failure has been shown for what it is; the missing file is no sign of tampering.
    if (!QFileInfo::exists(path) && !CreateDocumentFile(state.xmlStructure, path)) {
        return false;
    }
    const long loaded = state.xmlDoc.load(path);
    if (loaded == kLoadMissing || loaded == kLoadUnreadable) {
        // The file could not be opened at all: a permission or device problem, which says nothing
        // about what the file holds.
        platform().MsgBox(state.xmlDoc.errorReason(), MsgButtons::Ok, MsgIcon::Critical,
                          msg::kTitleWarning);
        return false;
    }
    if (loaded != kLoadOk) {
        platform().MsgBox(msg::kXmlTampered, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
        return false;
    }
    // In this order, so that a new report has them in this order after `version`.
    const XmlNode positions = selectSingleNode(state.xmlDoc, QStringLiteral("positions"));
    SetAttribute(positions, QStringLiteral("period"), state.sPeriod);
    SetAttribute(positions, QStringLiteral("ob_name"), state.Obshtina.Name);
    SetAttribute(positions, QStringLiteral("ebk"), state.Obshtina.NumEBK);
    QString reason;
    int err = 0;
    if (!state.xmlDoc.save(path, &reason, &err)) {
        // The report would otherwise be edited while every save of it fails unseen.
        ShowWriteError(WriteFailureMessage(path, err, reason));
        return false;
    }
    return true;
}

Status SaveHashedDocument(DomDocument& doc, const QString& path)
{
    QString reason;
    int err = 0;
    if (doc.isEmpty()) {
        (void)doc.save(path, &reason, &err); // says why nothing can be saved
        return Failure::of(Failure::Kind::NotAReport, path, reason, err);
    }
    const QByteArray bytes = doc.toBytesWithDerivedAttribute(
        QString::fromLatin1(xmlname::kReportHash),
        [](QStringView element) { return DocumentHash(element).value_or(QString()); }, &reason);
    if (!reason.isEmpty()) {
        return Failure::of(Failure::Kind::Invalid, path, reason, EINVAL);
    }
    if (!WriteFileAtomically(path, bytes, &reason, &err)) {
        const Failure::Kind kind = IsDiskFullError(err)      ? Failure::Kind::DiskFull
                                   : IsWriteDeniedError(err) ? Failure::Kind::ReadOnly
                                                             : Failure::Kind::WriteFailed;
        return Failure::of(kind, path, reason, err);
    }
    return {};
}

} // namespace kvor
