#pragma once
// Opening a report as the dialogs do: the core opens, and what failed is told through the fake
// prompts exactly as a window tells it; and a report made and stamped as the program makes one.

#include "core/OpenReport.h"
#include "core/StructureFile.h"
#include "gui/FailureMessages.h"
#include "support/ReportFixture.h"

#include <QDir>
#include <QFileInfo>

namespace kvor::test {

inline bool OpenAndTell(OpenReport& into, const Municipality& municipality, const Period& period)
{
    Result<OpenReport> opened = OpenOrCreateReport(municipality, period);
    if (!opened) {
        TellFailure(opened.failure());
        return false;
    }
    into = std::move(*opened);
    return true;
}

inline bool CreateAndTell(const DomDocument& structure, const QString& path)
{
    const Result<QByteArray> created = CreateReportFile(structure, path);
    if (!created) {
        TellFailure(created.failure());
    }
    return created.ok();
}

// Structure.xml of the program folder, told as the dialogs tell it; empty when it failed.
inline std::unique_ptr<DomDocument> StructureAndTell()
{
    Result<std::unique_ptr<DomDocument>> read = ReadStructure();
    if (!read) {
        TellFailure(read.failure());
        return std::make_unique<DomDocument>();
    }
    return std::move(*read);
}

// A new report of Пловдив made from Structure.xml and stamped with `period` and `ebk`, with
// `opening` as its first item's opening amount, saved at `path` (its folder made if needed).
inline bool SaveStampedReport(const QString& path, const QString& opening,
                              const QString& period = QStringLiteral("03 / 2005"),
                              const QString& ebk = QStringLiteral("1234"))
{
    const std::unique_ptr<DomDocument> structure = StructureAndTell();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const Result<QByteArray> created = CreateReportFile(*structure, path);
    DomDocument doc;
    if (!created || doc.loadBytes(*created) != kLoadOk) {
        return false;
    }
    SetAttribute(doc.documentElement(), "period", period);
    SetAttribute(doc.documentElement(), "ob_name", QStringLiteral("Пловдив"));
    SetAttribute(doc.documentElement(), "ebk", ebk);
    SetAttribute(DocRow(doc, kFirstEditableRow), "col1", opening);
    return doc.save(path);
}

} // namespace kvor::test
