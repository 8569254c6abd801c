#pragma once
// The report form as the editor lays it out: which structure row stands on which grid row, its
// caption, totals and restrictions, the heading texts and the code texts.

#include "core/XmlDom.h"

#include <QHash>
#include <QString>
#include <array>
#include <vector>

namespace kvor {

// Grid columns of the report.
namespace grid {
enum Col : int
{
    kCaption = 0,        // the row's name
    kOpening = 1,        // debt at the start of the month (stored as col1)
    kCodeAdded = 2,      // code text of the increases
    kAdded = 3,          // increases (col6)
    kCodeSubtracted = 4, // code text of the decreases
    kSubtracted = 5,     // decreases (col8)
    kClosing = 6,        // debt at the end of the month (col4), always computed
};
inline constexpr int kCols = 7;
inline constexpr int kHeadingRows = 3; // grid rows 0-2; report row n is grid row n + 3
inline constexpr int kMergedHeadingRow = 0;
inline constexpr int kTallHeadingRow = 1;
} // namespace grid

// Row ids drawn on the highlighted background.
bool IsHighlightedId(const QString& id);

class ReportForm final
{
public:
    struct Row
    {
        QString id;
        QString caption;
        QString sumid;
        bool restricted = false;
    };

    // Reads the rows from the structure as it is now: all "str" elements that "//str" finds from
    // the "nomenclatures/structure" element, in document order.
    explicit ReportForm(const DomDocument& structure);

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    // Report row n; an empty row for a position the form does not have.
    const Row& row(int n) const;
    const Row& gridRow(int r) const { return row(r - grid::kHeadingRows); }

    bool IsHighlightedRow(int gridRow) const { return IsHighlightedId(this->gridRow(gridRow).id); }
    bool IsRestrictedRow(int gridRow) const { return this->gridRow(gridRow).restricted; }
    // A data cell the user may type into: the opening amount, the increases or the decreases of a
    // row that is not restricted.
    bool IsEditableCell(int gridRow, int col) const;

    // The grid row of the first row with this id (compared as text), or -1.
    int TotalGridRow(const QString& id) const;

    // The texts of heading rows 0 to 2.
    using Headings = std::array<std::array<QString, grid::kCols>, grid::kHeadingRows>;
    const Headings& headings() const { return m_headings; }

    // The code texts of grid columns 2 and 4 for a row id of the document. Both are empty when
    // the structure has no code for the row.
    std::pair<QString, QString> CodeTexts(int rowId) const;

private:
    const DomDocument& m_structure;
    std::vector<Row> m_rows;
    QHash<QString, int> m_firstById;
    Headings m_headings;
};

} // namespace kvor
