#include "core/StructureFile.h"

#include "core/Cp1251.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/XmlDom.h"

#include <QFileInfo>

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
    for (const XmlNode row : selectNodes(structure, QStringLiteral("//str"))) {
        if (!IsShortInteger(GetAttribute(row, QStringLiteral("id")))) {
            return false;
        }
    }
    return true;
}

bool ReadStructure(DomDocument& structure)
{
    const QString path = InstallPath(QString::fromLatin1(kStructureFileName));
    if (!QFileInfo::exists(path)) {
        platform().MsgBox(msg::kNoStructureFile, MsgButtons::Ok, MsgIcon::Critical,
                          msg::kTitleWarning);
        platform().End(1);
        return false;
    }
    if (structure.load(path) != kLoadOk || !IsUsableStructure(structure)) {
        // Nothing of a refused file is left for the reports to be built from.
        structure.clear();
        // No title of its own: the program's.
        platform().MsgBox(msg::kStructureError, MsgButtons::Ok, MsgIcon::None, QString());
        return false;
    }
    return true;
}

} // namespace kvor
