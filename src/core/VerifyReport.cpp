#include "core/VerifyReport.h"

#include "core/XmlDom.h"
#include "core/ReportHash.h"

namespace kvor {

VerifyResult VerifyReportFile(const QString& path)
{
    DomDocument doc;
    if (doc.load(path) != kLoadOk) {
        return {
            VerifyStatus::Unreadable,
            QStringLiteral("файлът не може да бъде прочетен като XML (%1)").arg(doc.errorReason())};
    }
    const XmlNode positions = selectSingleNode(doc, QStringLiteral("positions"));
    const QString stored = GetAttribute(positions, QStringLiteral("hash"));
    // A report is hashed only when it is saved from the editor; an empty hash is what a save
    // leaves when the document was too large to hash.
    if (stored.isEmpty()) {
        return {VerifyStatus::NoHash, QStringLiteral("няма контролна сума (hash)")};
    }
    SetAttribute(positions, QStringLiteral("hash"), QString());
    const auto computed = DocumentHash(NodeXml(positions));
    if (!computed || *computed != stored) {
        return {VerifyStatus::HashDiffers,
                QStringLiteral("контролната сума (hash) не съвпада със съдържанието")};
    }
    return {};
}

} // namespace kvor
