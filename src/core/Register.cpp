#include "core/Register.h"

#include "core/Messages.h"
#include "core/Platform.h"
#include "core/XmlDom.h"

#include <QFileInfo>

namespace kvor {

namespace {

// Prefixes are matched as written in the file; no namespace is resolved.
const QString kRowPath = QStringLiteral("xml/rs:data/z:row");

} // namespace

std::optional<QStringList> ReadObshtini(DomDocument& reg)
{
    const QString path = InstallPath(QString::fromLatin1(kObshtiniFileName));
    if (!QFileInfo::exists(path)) {
        platform().MsgBox(msg::kNoObshtiniFile, MsgButtons::Ok, MsgIcon::Critical,
                          msg::kTitleWarning);
        platform().End(1);
        return std::nullopt;
    }
    // A register that cannot be parsed leaves the list empty; choosing then asks for a
    // municipality.
    reg.load(path);
    QStringList names;
    for (const XmlNode row : selectNodes(reg, kRowPath)) {
        names << GetAttribute(row, QStringLiteral("OB_Name"));
    }
    return names;
}

QString EbkOfPosition(const DomDocument& reg, int p)
{
    const auto rows = selectNodes(reg, kRowPath);
    if (p < 0 || static_cast<size_t>(p) >= rows.size()) {
        return {};
    }
    return GetAttribute(rows[static_cast<size_t>(p)], QStringLiteral("OB_Num"));
}

} // namespace kvor
