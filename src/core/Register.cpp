#include "core/Register.h"

#include "core/Platform.h"
#include "core/XmlDom.h"

#include <QFileInfo>

namespace kvor {

namespace {

// Prefixes are matched as written in the file; no namespace is resolved.
const QString kRowPath = QStringLiteral("xml/rs:data/z:row");

} // namespace

Result<QList<Municipality>> ReadRegister()
{
    const QString path = InstallPath(QString::fromLatin1(kRegisterFileName));
    if (!QFileInfo::exists(path)) {
        return Failure::of(Failure::Kind::NotFound, path).about(Failure::Subject::Register);
    }
    DomDocument reg;
    reg.load(path);
    QList<Municipality> list;
    for (const XmlNode row : selectNodes(reg, kRowPath)) {
        list.append({GetAttribute(row, QStringLiteral("OB_Name")),
                     GetAttribute(row, QStringLiteral("OB_Num"))});
    }
    return list;
}

} // namespace kvor
