#include "core/VerifyReport.h"

#include "core/FileRead.h"
#include "core/ReportHash.h"
#include "core/XmlDom.h"

namespace kvor {

VerifyResult VerifyReportFile(const QString& path)
{
    DomDocument doc;
    return VerifyReportFile(path, doc);
}

VerifyResult VerifyReportFile(const QString& path, DomDocument& doc)
{
    // A pipe, a device or a link to one is reported without being opened: reading it could
    // wait or run on for ever.
    const ReadResult read = ReadRegularFile(path);
    switch (read.status) {
    case ReadStatus::Ok:
        break;
    case ReadStatus::NotRegular:
        return {VerifyStatus::NotRegular, QStringLiteral("не е обикновен файл")};
    case ReadStatus::TooLarge:
        return {VerifyStatus::Unreadable,
                QStringLiteral("файлът е по-голям от %1 MiB и не може да е справка")
                    .arg(kMaxReadBytes / (1024 * 1024))};
    case ReadStatus::Missing:
    case ReadStatus::Failed:
        return {VerifyStatus::Unreadable, read.systemError != 0
                                              ? ReadFailureCause(read.systemError)
                                              : QStringLiteral("файлът не може да бъде прочетен")};
    }
    doc.clear();
    if (doc.loadBytes(read.bytes) != kLoadOk) {
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
