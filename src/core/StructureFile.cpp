#include "core/StructureFile.h"

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

} // namespace

bool IsUsableStructure(const DomDocument& structure)
{
    if (!selectSingleNode(structure, QStringLiteral("nomenclatures/structure")) ||
        !selectSingleNode(structure, QStringLiteral("nomenclatures/columns"))) {
        return false;
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
