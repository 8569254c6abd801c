// Any bytes given to kvor-verify: the file check always answers with a status and says why
// whenever the file is not OK; once a readable report is given its hash and saved (in
// Windows-1251), it checks OK.

#include "FuzzFolder.h"
#include "core/ReportHash.h"
#include "core/VerifyReport.h"
#include "core/XmlDom.h"

using namespace kvor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    f.reset();
    const QString path = f.userPath(QStringLiteral("report.xml"));
    fuzz::FuzzFolder::write(path, fuzz::bytesOf(data, size));

    const VerifyResult first = VerifyReportFile(path);
    fuzz::check((first.status == VerifyStatus::Ok) == first.reason.isEmpty());

    DomDocument doc;
    if (doc.load(path) != kLoadOk) {
        fuzz::check(first.status == VerifyStatus::Unreadable);
        return 0;
    }
    const XmlNode positions = selectSingleNode(doc, QStringLiteral("positions"));
    if (!positions) {
        fuzz::check(first.status == VerifyStatus::NoHash);
        return 0;
    }
    SetAttribute(positions, QStringLiteral("hash"), QString());
    const auto hash = DocumentHash(NodeXml(positions));
    fuzz::check(hash.has_value());
    SetAttribute(positions, QStringLiteral("hash"), *hash);
    // Refused only for a character Windows-1251 lacks where no reference can stand.
    QString refusal;
    if (doc.toBytes(&refusal).isEmpty()) {
        fuzz::check(!refusal.isEmpty() && !doc.save(path));
        return 0;
    }
    fuzz::check(doc.save(path));
    fuzz::check(VerifyReportFile(path).status == VerifyStatus::Ok);
    return 0;
}
