#pragma once
// The form of the report as the structure file gives it: its rows with captions, ids and
// restrictions, the totals each row feeds, the code texts, and the headings. Read once; nothing
// in it changes while a report is edited.

#include "core/XmlDom.h"

#include <QString>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

namespace kvor {

// Columns of the report as it is shown and printed.
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
// The heading has three levels: the column groups, the columns, the column numbers.
inline constexpr int kHeadingRows = 3;
inline constexpr int kGroupHeadingRow = 0;
inline constexpr int kTallHeadingRow = 1;
inline constexpr int kNumberHeadingRow = 2;
} // namespace grid

// Row ids drawn on the highlighted background.
bool IsHighlightedId(const QString& id);

class ReportForm final
{
public:
    struct CodeTexts
    {
        QString added;
        QString subtracted;
    };

    // Rows are the "str" elements under the structure's "nomenclatures/structure" element, in
    // document order.
    explicit ReportForm(const DomDocument& structure);

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const QString& caption(int n) const { return m_rows[size_t(n)].caption; }
    const QString& id(int n) const { return m_rows[size_t(n)].id; }
    bool isRestricted(int n) const { return m_rows[size_t(n)].restricted; }
    // The rows an entry in row n feeds, in the order its "sumid" names them, once per mention:
    // the first row with each id; parts that name no row are passed over.
    const std::vector<int>& totalsOf(int n) const { return m_rows[size_t(n)].totals; }

    // The code texts for a stored row id (a 16-bit number, as the report file holds it); -1 when
    // the structure has none for it. codeTexts takes what codesFor gives.
    int codesFor(const char* storedId) const;
    const CodeTexts& codeTexts(int codes) const { return m_codes[size_t(codes)]; }

    // The attributes every row of a new report carries with "0": "col" and the id of each column
    // marked protected, in the order of the column list.
    const std::vector<std::string>& storedColumns() const { return m_storedColumns; }

    // Heading texts by level (the group, the column, the column number) and column.
    const QString& heading(int level, int col) const
    {
        return m_headings[size_t(level)][size_t(col)];
    }

private:
    struct Row
    {
        QString id;
        QString caption;
        bool restricted = false;
        std::vector<int> totals;
    };

    void readRows(const std::vector<XmlNode>& rows);
    void readCodes(const DomDocument& structure);
    void readHeadings(const DomDocument& structure);

    std::vector<Row> m_rows;
    std::vector<std::string> m_storedColumns;
    std::vector<CodeTexts> m_codes;
    // Code texts by the 16-bit row id they are written for, offset by its lowest value.
    std::vector<int> m_codesByRow;
    std::array<std::array<QString, grid::kCols>, grid::kHeadingRows> m_headings;
};

// Every element of the document named `name`, in document order: what "//name" selects, without
// the node set an XPath query builds and sorts.
std::vector<XmlNode> ElementsNamed(XmlNode document, const char* name);

// The rows of the form in the structure, in document order (none without the rows' element).
std::vector<XmlNode> FormRows(const DomDocument& structure);

} // namespace kvor
