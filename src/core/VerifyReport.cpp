#include "core/VerifyReport.h"

#include "core/FileRead.h"
#include "core/ReportHash.h"
#include "core/XmlDom.h"

#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

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
    if (read.status == ReadStatus::NotRegular) {
        return {VerifyStatus::NotRegular, QStringLiteral("не е обикновен файл")};
    }
    if (read.status == ReadStatus::TooLarge) {
        return {VerifyStatus::Unreadable,
                QStringLiteral("файлът е по-голям от %1 MiB и не може да е справка")
                    .arg(kMaxReadBytes / (1024 * 1024))};
    }
    doc.clear();
    if (read.status == ReadStatus::Ok) {
        doc.loadBytes(read.bytes);
    }
    if (read.status != ReadStatus::Ok || doc.errorCode() != kLoadOk) {
        const QString why = read.status == ReadStatus::Ok ? doc.errorReason() : read.reason;
        return {VerifyStatus::Unreadable,
                QStringLiteral("файлът не може да бъде прочетен като XML (%1)").arg(why)};
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

QStringList ReportFilesOf(const QString& argument, QStringList* unreadable)
{
    const QFileInfo info(argument);
    if (!info.isDir()) {
        return {argument};
    }
    const auto noteIfUnreadable = [unreadable](const QFileInfo& folder) {
        if (unreadable && (!folder.isReadable() || !folder.isExecutable())) {
            *unreadable << folder.filePath();
        }
    };
    noteIfUnreadable(info);
    QStringList files;
    // System entries too: a pipe or a device named like a report is reported, not passed over.
    // Folders are listed only to see whether they can be read; links to folders are not followed.
    QDirIterator it(argument, {QStringLiteral("*.xml")},
                    QDir::Files | QDir::System | QDir::Hidden | QDir::AllDirs |
                        QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo entry = it.fileInfo();
        if (entry.isDir() && !entry.isSymLink()) {
            noteIfUnreadable(entry);
        } else if (!entry.isDir()) {
            files << path;
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace kvor
