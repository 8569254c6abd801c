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
    switch (doc.load(source)) {
    case kLoadOk:
        break;
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
    const Kind kind = IsDiskFullError(err)      ? Kind::DiskFull
                      : IsWriteDeniedError(err) ? Kind::ReadOnly
                                                : Kind::WriteFailed;
    return Failure::of(kind, target, reason, err).about(Failure::Subject::Copy);
}

} // namespace kvor
