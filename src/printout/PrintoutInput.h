#pragma once
// What a printout shows: the editor grid's texts as they stand and the words of the title, taken
// as values so that the printout depends on nothing else.

#include "core/GridText.h"
#include "core/ReportModel.h"

#include <QString>
#include <array>
#include <vector>

namespace kvor {

struct PrintoutInput final
{
    using Row = std::array<QString, grid::kCols>;

    // The grid rows, headings first: the three heading rows, then one row per report row.
    std::vector<Row> rows;
    // One flag per grid row: drawn on the grey band, as the editor highlights it.
    std::vector<bool> highlighted;
    QString municipality; // the municipality's name
    QString period;       // "03 / 2004"
    QString footnote;     // the note under the table

    bool isHighlighted(size_t row) const { return row < highlighted.size() && highlighted[row]; }
};

// The input of a printout of the grid: its first seven columns and the rows that the form of the
// structure highlights. A grid without its three heading rows gets empty ones.
PrintoutInput PrintoutFromGrid(const GridText& grid, const ReportModel& form, QString municipality,
                               QString period, QString footnote);

} // namespace kvor
