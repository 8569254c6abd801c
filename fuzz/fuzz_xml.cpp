// Any bytes given as an XML file: loading never crashes, a loaded document serializes, saves to
// bytes that load again to the same element text form.

#include "core/XmlDom.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kvor::DomDocument doc;
    if (doc.loadBytes(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))) !=
        kvor::kLoadOk) {
        if (!doc.isEmpty()) {
            std::abort();
        }
        return 0;
    }
    const QString text = kvor::NodeXml(doc.documentElement());
    kvor::DomDocument again;
    if (again.loadBytes(doc.toBytes()) != kvor::kLoadOk ||
        kvor::NodeXml(again.documentElement()) != text) {
        std::abort();
    }
    (void)kvor::selectNodes(doc, QStringLiteral("positions/structure//str"));
    return 0;
}
