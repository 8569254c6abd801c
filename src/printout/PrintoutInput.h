#pragma once
// What a printout shows: the report's headings, texts and amounts as they stand and the words of
// the title, taken as values so that the printout depends on nothing else.

#include "core/Money.h"
#include "core/ReportModel.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace kvor {

// One cell of the printed table: an amount, or a text (empty for a blank cell).
struct PrintoutCell final
{
    PrintoutCell() = default;
    PrintoutCell(QString t) : text(std::move(t)) {}
    PrintoutCell(Money m) : amount(m) {}

    QString text;
    std::optional<Money> amount;
};

struct PrintoutInput final
{
    using Row = std::array<PrintoutCell, grid::kCols>;

    // The table's rows, headings first: the three heading rows, then one row per report row.
    std::vector<Row> rows;
    // One flag per row: drawn on the grey band, as the editor highlights it.
    std::vector<bool> highlighted;
    QString municipality; // the municipality's name
    QString period;       // "03 / 2004"
    QString footnote;     // the note under the table

    bool isHighlighted(size_t row) const { return row < highlighted.size() && highlighted[row]; }
};

// The input of a printout of the report: the form's headings, each row's caption and code texts,
// its amounts as the editor shows them (a cell that shows no amount keeps its text), and the rows
// the form highlights.
PrintoutInput PrintoutOf(const ReportModel& report, QString municipality, QString period,
                         QString footnote);

} // namespace kvor
