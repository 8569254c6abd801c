#include "printout/PrintoutInput.h"

namespace kvor {

PrintoutInput PrintoutOf(const ReportModel& report, QString municipality, QString period,
                         QString footnote)
{
    PrintoutInput in;
    const size_t rows = size_t(grid::kHeadingRows + report.rowCount());
    in.rows.resize(rows);
    in.highlighted.resize(rows, false);
    for (int level = 0; level < grid::kHeadingRows; ++level) {
        for (int c = 0; c < grid::kCols; ++c) {
            in.rows[size_t(level)][size_t(c)] = report.heading(level, c);
        }
    }
    for (int n = 0; n < report.rowCount(); ++n) {
        const size_t r = size_t(n + grid::kHeadingRows);
        for (int c = 0; c < grid::kCols; ++c) {
            if (const auto amount = report.shownAmount(n, c)) {
                in.rows[r][size_t(c)] = *amount;
            } else {
                in.rows[r][size_t(c)] = report.text(n, c);
            }
        }
        in.highlighted[r] = report.isHighlighted(n);
    }
    in.municipality = std::move(municipality);
    in.period = std::move(period);
    in.footnote = std::move(footnote);
    return in;
}

} // namespace kvor
