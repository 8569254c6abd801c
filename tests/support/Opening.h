#pragma once
// Opening a report as the dialogs do: the core opens, and what failed is told through the fake
// prompts exactly as a window tells it.

#include "core/OpenReport.h"
#include "core/StructureFile.h"
#include "gui/FailureMessages.h"
#include "support/ReportFixture.h"

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

} // namespace kvor::test
