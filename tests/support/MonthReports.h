#pragma once
// Reports of a municipality for a month made as the editor makes them: the new report created
// from the structure and stamped, every editable figure entered into the report model (which
// carries it to the closing amount and the totals), stored and saved with its hash. The figures
// of a municipality follow on from month to month, so that each month opens with what the month
// before closed.

#include "core/Money.h"
#include "core/OpenReport.h"
#include "core/ReportDocument.h"
#include "core/ReportModel.h"

#include <QDir>
#include <array>
#include <cstdint>
#include <vector>

namespace kvor::test {

// The four stored amounts of a row: opening, increases, decreases, closing.
using RowMoney = std::array<Money, 4>;

struct MadeReport
{
    QString path;
    std::vector<RowMoney> rows; // as the editor's model shows them after the entries
};

// The figures typed into editable row n of a municipality numbered `seed` in month m of a year.
inline std::array<std::int64_t, 3> TypedStotinki(int seed, int n, int month)
{
    const std::int64_t added = std::int64_t(n + 1) * 1025 + seed * 100;
    const std::int64_t subtracted = std::int64_t(550) * (n % 3);
    const std::int64_t opening =
        std::int64_t(seed) * 100000 + n * 3707 + std::int64_t(month - 1) * (added - subtracted);
    return {opening, added, subtracted};
}

inline RowMoney RowOf(const ReportModel& model, int n)
{
    RowMoney row;
    const int cols[] = {grid::kOpening, grid::kAdded, grid::kSubtracted, grid::kClosing};
    for (size_t c = 0; c < row.size(); ++c) {
        row[c] = Money::parse(model.text(n, cols[c])).value_or(Money::fromStotinki(-1));
    }
    return row;
}

// Needs a platform installed (messages of a failed write go there). The file is
// <folder>/mfddd_sd_<ebk>_<year>_<month>.xml.
inline MadeReport MakeReport(const QString& folder, const QString& structurePath,
                             const QString& ebk, const QString& name, int month, int year, int seed)
{
    DomDocument structure;
    structure.load(structurePath);
    const QString mm = QStringLiteral("%1").arg(month, 2, 10, QChar(u'0'));
    const QString yyyy = QString::number(year);
    QDir().mkpath(folder);
    MadeReport made{folder + QStringLiteral("/mfddd_sd_%1_%2_%3.xml").arg(ebk, yyyy, mm), {}};
    // Created from the form and stamped as the program opens a new report.
    const Result<QByteArray> created = CreateReportFile(structure, made.path);
    DomDocument doc;
    if (!created || doc.loadBytes(*created) != kLoadOk) {
        return made;
    }
    const XmlNode positions = doc.documentElement();
    SetAttribute(positions, QStringLiteral("period"), mm + QStringLiteral(" / ") + yyyy);
    SetAttribute(positions, QStringLiteral("ob_name"), name);
    SetAttribute(positions, QStringLiteral("ebk"), ebk);
    ReportModel model(structure, doc);
    const int cols[] = {grid::kOpening, grid::kAdded, grid::kSubtracted};
    for (int n = 0; n < model.rowCount(); ++n) {
        const auto typed = TypedStotinki(seed, n, month);
        for (size_t c = 0; c < 3; ++c) {
            if (model.isEditable(n, cols[c])) {
                model.enter(n, cols[c], Money::fromStotinki(typed[c]).text());
            }
        }
    }
    model.store(doc);
    if (!SaveHashedDocument(doc, made.path)) {
        return made;
    }
    for (int n = 0; n < model.rowCount(); ++n) {
        made.rows.push_back(RowOf(model, n));
    }
    return made;
}

} // namespace kvor::test
