#include "core/ReportDocument.h"

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/ReportFormat.h"
#include "core/ReportHash.h"
#include "core/XmlCheck.h"
#include "core/XmlDom.h"

#include <cerrno>

namespace kvor {

Status SaveHashedDocument(DomDocument& doc, const QString& path)
{
    QString reason;
    int err = 0;
    if (doc.isEmpty()) {
        (void)doc.save(path, &reason, &err); // says why nothing can be saved
        return Failure::of(Failure::Kind::NotAReport, path, reason, err);
    }
    const QByteArray bytes = doc.toBytesWithDerivedAttribute(
        QString::fromLatin1(xmlname::kReportHash),
        [](QStringView element) { return DocumentHash(element).value_or(QString()); }, &reason);
    if (!reason.isEmpty()) {
        return Failure::of(Failure::Kind::Invalid, path, reason, EINVAL);
    }
    if (!WriteFileAtomically(path, bytes, &reason, &err)) {
        return WriteFailureOf(path, err, reason);
    }
    return {};
}

} // namespace kvor
