#pragma once
// The summary as a spreadsheet file for the receiver to go on computing with: the municipalities
// with their status and the four amounts of each report's first total row, the form's rows summed
// over the intact reports laid out as the printed form, and every finding. Amounts are numbers
// in the form's number format.

#include <QString>
#include <optional>

namespace kvor::summary {

struct SummaryResult;

inline const QString kMunicipalitiesSheet = QStringLiteral("Общини");
inline const QString kSumsSheet = QStringLiteral("Сбор");
inline const QString kFindingsSheet = QStringLiteral("Констатации");

// Writes the workbook to path through the atomic writer; the reason when it was not written.
std::optional<QString> WriteSummaryWorkbook(const SummaryResult& summary, const QString& path);

} // namespace kvor::summary
