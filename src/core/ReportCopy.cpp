#include "core/ReportCopy.h"

#include "core/AtomicFile.h"
#include "core/XmlDom.h"

#include <QDir>
#include <QFileInfo>

namespace kvor {

Status CopyReport(const QString& source, const QString& targetFolder)
{
    using Kind = Failure::Kind;
    DomDocument doc;
    // A source that cannot be read has nothing worth copying; saving it would leave an empty or
    // broken file on the medium that looks like a report. Only a well-formed Windows-1251 report
    // goes to the receiver.
    switch (doc.loadWindows1251(source)) {
    case kLoadOk:
        break;
    case kLoadEncoding:
    case kLoadMalformed:
        return Failure::of(Kind::NotAReport, source, doc.errorReason())
            .about(Failure::Subject::Copy);
    case kLoadMissing:
        return Failure::of(Kind::NotFound, source, doc.errorReason()).about(Failure::Subject::Copy);
    case kLoadUnreadable:
        return Failure::of(Kind::NotReadable, source, doc.errorReason())
            .about(Failure::Subject::Copy);
    default:
        return Failure::of(Kind::NotWellFormed, source, doc.errorReason())
            .about(Failure::Subject::Copy);
    }
    const QString target = QDir(targetFolder).filePath(QFileInfo(source).fileName());
    QString reason;
    int err = 0;
    if (doc.save(target, &reason, &err)) {
        return {};
    }
    return WriteFailureOf(target, err, reason).about(Failure::Subject::Copy);
}

} // namespace kvor
