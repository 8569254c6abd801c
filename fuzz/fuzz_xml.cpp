// Any bytes given as an XML file: loading never crashes, a loaded document serializes, and saves
// to strict Windows-1251 bytes that load again to the same element text form, or its save is
// refused with a reason.

#include "core/XmlDom.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kvor::DomDocument doc;
    if (doc.loadBytes(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))) !=
        kvor::kLoadOk) {
        if (!doc.isEmpty() || doc.errorReason().isEmpty()) {
            std::abort();
        }
        return 0;
    }
    const QString text = kvor::NodeXml(doc.documentElement());
    QString refusal;
    const QByteArray bytes = doc.toBytes(&refusal);
    if (bytes.isEmpty() != !refusal.isEmpty()) {
        std::abort();
    }
    if (bytes.isEmpty()) {
        return 0; // a character that neither XML nor Windows-1251 lets the writer keep
    }
    kvor::DomDocument again;
    if (!bytes.startsWith("<?xml version=\"1.0\" encoding=\"windows-1251\"?>") ||
        bytes.contains('\x98') || again.loadBytes(bytes) != kvor::kLoadOk ||
        kvor::NodeXml(again.documentElement()) != text) {
        std::abort();
    }
    (void)kvor::selectNodes(doc, QStringLiteral("positions/structure//str"));
    return 0;
}
