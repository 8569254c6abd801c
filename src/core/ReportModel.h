#pragma once
// The report as the editor works on it, without widgets: the rows of the form with their captions,
// restrictions and code texts, the figures as texts and as numbers, the closing amounts, the
// totals that follow every entry, and the comparison of the opening amounts with the previous
// month. It also lays the report out as the grid of texts the printout reads.

#include "core/GridText.h"
#include "core/XmlDom.h"

#include <QHash>
#include <QString>
#include <array>
#include <string_view>
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
// The printed grid has three heading rows; report row n is its row n + 3.
inline constexpr int kHeadingRows = 3;
inline constexpr int kGroupHeadingRow = 0;
inline constexpr int kTallHeadingRow = 1;
inline constexpr int kNumberHeadingRow = 2;
} // namespace grid

// Row ids drawn on the highlighted background.
bool IsHighlightedId(const QString& id);

// The largest amount whose cents a double still holds with room to spare for the totals.
inline constexpr double kLargestAmount = 1e13;

class ReportModel final : public GridText
{
public:
    // Rows are the "str" elements under the structure's "nomenclatures/structure" element, in
    // document order; the figures come from the n-th "str" of the document's
    // "positions/structure" (missing ones are empty).
    ReportModel(const DomDocument& structure, const DomDocument& document);

    int rowCount() const { return static_cast<int>(m_rows.size()); }

    const QString& caption(int n) const { return m_rows[size_t(n)].caption; }
    const QString& id(int n) const { return m_rows[size_t(n)].id; }
    bool isRestricted(int n) const { return m_rows[size_t(n)].restricted; }
    bool isHighlighted(int n) const { return IsHighlightedId(id(n)); }
    // The opening amount, the increases and the decreases of a row that is not restricted.
    bool isEditable(int n, int col) const;

    // The cell as it is shown: figures as stored until they are entered, then as amount texts;
    // on every second row (odd n) amounts carry one leading blank, as the printout expects.
    QString text(int n, int col) const;
    // The number a figure column or the closing column stands for.
    double value(int n, int col) const;

    // Heading texts by level (the group, the column, the column number) and column.
    const QString& heading(int level, int col) const
    {
        return m_headings[size_t(level)][size_t(col)];
    }

    // The outcome of an entry.
    enum class Entry
    {
        Accepted,
        NotANumber, // letters or another text that is no amount
        TooLarge,   // the figure or a total it feeds would lose its cents or be no finite number
    };
    // Puts a typed figure into an editable cell: an empty text is 0, blanks around it are
    // ignored. The row's closing amount and every total the row names in "sumid" follow (ids from
    // left to right, once per occurrence; parts that name no row are passed over). `touched`
    // receives the rows that changed. Nothing changes unless the entry is accepted.
    Entry enter(int n, int col, const QString& typed, std::vector<int>* touched = nullptr);

    // The previous month: the opening amount of row n compared with the document's as it was
    // read or last stored. The rows found different are counted, so that whether the whole
    // column agrees is known without a walk.
    bool compareOpening(int n);
    bool openingDiffers(int n) const { return m_rows[size_t(n)].differs; }
    int differingOpenings() const { return m_differing; }
    // An entry in the opening column draws it black until it is compared again.
    void clearOpeningMark(int n) { setDiffers(n, false); }

    // Writes the figures into the rows of the document the model was read from (without the
    // leading blanks of the display), which become the reference of later comparisons. Only
    // what the document does not hold yet is written.
    void store(DomDocument& document);

    // GridText: the printed grid, heading rows first.
    int Rows() const override { return rowCount() + grid::kHeadingRows; }
    int Cols() const override { return grid::kCols; }
    QString TextMatrix(int row, int col) const override;

private:
    static constexpr int kFigures = 3; // opening, added, subtracted
    // A figure's text and, once it is needed, the number it stands for.
    class Figure
    {
    public:
        Figure() = default;
        // As read from the document; `stored` when the document holds exactly this text.
        Figure(QString text, bool stored) : m_text(std::move(text)), m_stored(stored) {}
        // As entered: not yet in the document.
        Figure(QString text, double value) : m_text(std::move(text)), m_value(value), m_known(true)
        {}
        const QString& text() const { return m_text; }
        double value() const;
        bool stored() const { return m_stored; }
        void setStored() { m_stored = true; }

    private:
        QString m_text;
        mutable double m_value = 0;
        mutable bool m_known = false;
        bool m_stored = false;
    };
    struct Row
    {
        QString id;
        QString caption;
        QString sumid;
        bool restricted = false;
        bool differs = false;
        int codes = -1;   // index into m_codes
        Figure reference; // the opening amount of the document, as read or last stored
        std::array<Figure, kFigures> figures;
        mutable QString closingText; // empty until it is first needed after a change
        bool closingStored = false;  // the document holds closingText
    };
    struct Codes
    {
        QString added;
        QString subtracted;
    };

    static int figureIndex(int col);
    double closing(int n) const;
    const QString& closingText(int n) const;
    void figuresChanged(int n);
    void setDiffers(int n, bool on);
    void readHeadings(const DomDocument& structure);
    // Rows by the text of `strid`, valid while the structure is.
    using CodeIndex = std::unordered_map<std::string_view, int>;
    CodeIndex readCodes(const DomDocument& structure);

    std::vector<Row> m_rows;
    QHash<QString, int> m_firstById;
    std::vector<Codes> m_codes;
    std::array<std::array<QString, grid::kCols>, grid::kHeadingRows> m_headings;
    int m_differing = 0;
};

} // namespace kvor
