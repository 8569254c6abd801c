#include "core/StructureFile.h"

#include "core/Cp1251.h"
#include "core/Platform.h"
#include "core/XmlDom.h"

#include <QFileInfo>
#include <QSet>

namespace kvor {

namespace {

bool IsShortInteger(const QString& text)
{
    bool ok = false;
    text.trimmed().toShort(&ok, 10);
    return ok;
}

// New reports are written in Windows-1251, where a character the code page lacks becomes a
// character reference; in a name that makes the report unreadable.
bool IsWindows1251Name(const char* utf8)
{
    for (const QChar ch : QString::fromUtf8(utf8)) {
        if (Cp1251Code(ch.unicode()) < 0) {
            return false;
        }
    }
    return true;
}

// Every element and attribute of the structure is copied into a new report.
bool HasWindows1251Names(XmlNode structure)
{
    bool ok = true;
    const auto visit = [&ok](XmlNode node) {
        ok = ok && IsWindows1251Name(node.name());
        for (const pugi::xml_attribute attribute : node.attributes()) {
            ok = ok && IsWindows1251Name(attribute.name());
        }
    };
    visit(structure);
    for (const XmlNode node : selectNodes(structure, QStringLiteral(".//*"))) {
        visit(node);
    }
    return ok;
}

// A column id becomes part of an attribute name ("col" + id) in every row of a new report.
bool IsNamePart(const QString& id)
{
    for (const QChar ch : id) {
        const bool nameChar = ch.isLetterOrNumber() || ch == u'-' || ch == u'_' || ch == u'.';
        if (!nameChar || Cp1251Code(ch.unicode()) < 0) {
            return false;
        }
    }
    return true;
}

// Every total a row feeds ("sumid": row ids joined by '-') must be a row of the form; a total
// that names none would leave the figures it should add up uncounted without a word.
bool TotalsNameRows(const std::vector<XmlNode>& rows)
{
    QSet<QString> ids;
    for (const XmlNode row : rows) {
        ids.insert(GetAttribute(row, QStringLiteral("id")));
    }
    for (const XmlNode row : rows) {
        const QString sumid = GetAttribute(row, QStringLiteral("sumid"));
        for (const QString& id : sumid.split(u'-', Qt::SkipEmptyParts)) {
            if (!ids.contains(id)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool IsUsableStructure(const DomDocument& structure)
{
    const XmlNode rows = selectSingleNode(structure, QStringLiteral("nomenclatures/structure"));
    if (!rows || !selectSingleNode(structure, QStringLiteral("nomenclatures/columns")) ||
        !HasWindows1251Names(rows)) {
        return false;
    }
    for (const XmlNode column :
         selectNodes(structure, QStringLiteral("nomenclatures/columns//col"))) {
        if (!IsNamePart(GetAttribute(column, QStringLiteral("id")))) {
            return false;
        }
    }
    const auto formRows = selectNodes(structure, QStringLiteral("//str"));
    for (const XmlNode row : formRows) {
        if (!IsShortInteger(GetAttribute(row, QStringLiteral("id")))) {
            return false;
        }
    }
    return TotalsNameRows(formRows);
}

Result<std::unique_ptr<DomDocument>> ReadStructure()
{
    const QString path = InstallPath(QString::fromLatin1(kStructureFileName));
    if (!QFileInfo::exists(path)) {
        return Failure::of(Failure::Kind::NotFound, path).about(Failure::Subject::Structure);
    }
    auto structure = std::make_unique<DomDocument>();
    if (structure->load(path) != kLoadOk) {
        return Failure::of(Failure::Kind::NotWellFormed, path, structure->errorReason())
            .about(Failure::Subject::Structure);
    }
    if (!IsUsableStructure(*structure)) {
        return Failure::of(Failure::Kind::NotAReport, path).about(Failure::Subject::Structure);
    }
    return structure;
}

} // namespace kvor
