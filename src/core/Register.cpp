#include "core/Register.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/XmlDom.h"

#include <QFileInfo>

namespace kvor {

namespace {

// Prefixes are matched as written in the file; no namespace is resolved.
const QString kRowPath = QStringLiteral("xml/rs:data/z:row");

} // namespace

std::optional<QStringList> ReadObshtini()
{
    const QString path = InstallPath(QString::fromLatin1(kObshtiniFileName));
    if (!QFileInfo::exists(path)) {
        platform().MsgBox(msg::kNoObshtiniFile, MsgButtons::Ok, MsgIcon::Critical,
                          msg::kTitleWarning);
        platform().End(1);
        return std::nullopt;
    }
    AppState& state = State();
    // A register that cannot be parsed leaves the list empty; choosing then asks for a
    // municipality.
    state.xmlObshtini.load(path);
    QStringList names;
    for (const XmlNode row : selectNodes(state.xmlObshtini, kRowPath)) {
        names << GetAttribute(row, QStringLiteral("OB_Name"));
    }
    return names;
}

QString EbkOfPosition(int p)
{
    const auto rows = selectNodes(State().xmlObshtini, kRowPath);
    if (p < 0 || static_cast<size_t>(p) >= rows.size()) {
        return {};
    }
    return GetAttribute(rows[static_cast<size_t>(p)], QStringLiteral("OB_Num"));
}

} // namespace kvor
