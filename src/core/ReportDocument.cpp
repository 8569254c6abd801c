#include "core/ReportDocument.h"

#include "core/AtomicFile.h"
#include "core/GridText.h"
#include "core/ReportHash.h"
#include "core/XmlDom.h"

#include <cerrno>

namespace kvor {

void StoreGridValues(DomDocument& doc, const GridText& grid)
{
    const XmlNode structure = selectSingleNode(doc, QStringLiteral("positions/structure"));
    const auto rows = selectNodes(structure, QStringLiteral("//str"));
    for (int r = kFirstDataRow; r < grid.Rows(); ++r) {
        const size_t n = static_cast<size_t>(r - kFirstDataRow);
        if (n >= rows.size()) {
            break;
        }
        for (const StoredAmount& amount : kStoredAmounts) {
            SetAttribute(rows[n], QString::fromLatin1(amount.attribute),
                         grid.TextMatrix(r, amount.gridCol));
        }
    }
    // The hash covers the element with an empty `hash` in its place.
    const XmlNode root = doc.documentElement();
    SetAttribute(root, QStringLiteral("hash"), QString());
    SetAttribute(root, QStringLiteral("hash"), DocumentHash(NodeXml(root)).value_or(QString()));
}

bool SaveHashedDocument(DomDocument& doc, const QString& path, QString* reason, int* errorNumber)
{
    if (doc.isEmpty()) {
        return doc.save(path, reason, errorNumber); // says why nothing can be saved
    }
    QString refusal;
    const QByteArray bytes = doc.toBytesWithDerivedAttribute(
        QStringLiteral("hash"),
        [](QStringView element) { return DocumentHash(element).value_or(QString()); }, &refusal);
    if (!refusal.isEmpty()) {
        if (reason) {
            *reason = refusal;
        }
        if (errorNumber) {
            *errorNumber = EINVAL;
        }
        return false;
    }
    return WriteFileAtomically(path, bytes, reason, errorNumber);
}

bool SaveDocument(const DomDocument& doc, const QString& path, QString* reason, int* errorNumber)
{
    return doc.save(path, reason, errorNumber);
}

} // namespace kvor
