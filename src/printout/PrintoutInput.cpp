#include "printout/PrintoutInput.h"

#include <algorithm>

namespace kvor {

PrintoutInput PrintoutFromGrid(const GridText& grid, const ReportModel& form, QString municipality,
                               QString period, QString footnote)
{
    PrintoutInput in;
    const int rows = std::max(grid.Rows(), grid::kHeadingRows);
    const int cols = std::min(grid.Cols(), grid::kCols);
    in.rows.resize(size_t(rows));
    in.highlighted.resize(size_t(rows), false);
    for (int r = 0; r < rows; ++r) {
        PrintoutInput::Row& row = in.rows[size_t(r)];
        for (int c = 0; r < grid.Rows() && c < cols; ++c) {
            row[size_t(c)] = grid.TextMatrix(r, c);
        }
        in.highlighted[size_t(r)] = r >= grid::kHeadingRows && form.isHighlighted(r - grid::kHeadingRows);
    }
    in.municipality = std::move(municipality);
    in.period = std::move(period);
    in.footnote = std::move(footnote);
    return in;
}

} // namespace kvor
