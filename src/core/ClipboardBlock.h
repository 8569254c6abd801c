#pragma once
// A block of figures as spreadsheets and text editors put it on the clipboard, and back: rows
// ended by LF, CR LF or CR, cells separated by tabs. Reading a block for the report's grid checks
// it whole before anything is entered, so that a paste goes in completely or not at all.

#include "core/Money.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace kvor {

// More text than any grid of figures can take is refused before it is looked at.
inline constexpr qsizetype kMaxClipboardChars = 4 * 1024 * 1024;

struct PastedFigure
{
    int row = 0;
    int column = 0;
    Money amount;
};

// Why a block cannot be pasted; the cell is the first one found at fault.
struct PasteRefusal
{
    enum class Kind
    {
        Empty,       // no text, or only line ends
        TooLarge,    // over kMaxClipboardChars
        PastTheGrid, // the block runs beyond the last row or column; `row`/`column` inside it
        NotANumber,  // the cell at `row`, `column` holds no amount
    };
    Kind kind = Kind::Empty;
    int row = -1;
    int column = -1;
};

// The grid a block is pasted into.
struct PasteGrid
{
    int rows = 0;
    int columns = 0;
    // Cells that take no figure (totals, closing amounts, code texts, restricted rows) are
    // passed over whatever the block holds there.
    std::function<bool(int row, int column)> editable;
};

struct PastePlan
{
    std::vector<PastedFigure> figures; // in the block's order, row by row
    std::optional<PasteRefusal> refusal;
};

// The figures of `text` for the cells from (`row`, `column`) on. Each is read as a typed figure
// is (Money::parse; an empty cell is 0).
PastePlan PlanPaste(QStringView text, int row, int column, const PasteGrid& grid);

// A block of cell texts as tab-separated lines, and as an HTML table.
QString BlockText(const std::vector<std::vector<QString>>& cells);
QString BlockHtml(const std::vector<std::vector<QString>>& cells);

} // namespace kvor
