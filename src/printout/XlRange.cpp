#include "printout/XlModel.h"

#include "core/Amount.h"
#include "core/Messages.h"

#include <tuple>

namespace kvor::xl {

namespace {

[[noreturn]] void refuse(long number, const QString& description)
{
    throw XlError(number, description);
}

[[noreturn]] void refuseGone()
{
    refuse(kErrDisconnected, msg::kXlDisconnected);
}

// What a cell holds after a value is put in it, as the spreadsheet reads what is typed.
QVariant cellValue(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString) {
        return value.isValid() ? QVariant(value.toDouble()) : QVariant();
    }
    const QString text = value.toString();
    if (text.isEmpty()) {
        return {};
    }
    if (const auto number = ParseAmount(text)) {
        return *number;
    }
    return text;
}

} // namespace

// ---- formats

bool CellFormat::operator<(const CellFormat& o) const
{
    return std::tie(NumberFormat, Bold, Size, Underline, HorizontalAlignment, VerticalAlignment,
                    WrapText, Border, Fill) < std::tie(o.NumberFormat, o.Bold, o.Size, o.Underline,
                                                       o.HorizontalAlignment, o.VerticalAlignment,
                                                       o.WrapText, o.Border, o.Fill);
}

int PaletteColor(int colorIndex)
{
    // The default palette of the spreadsheet, indexes 1 to 56.
    static constexpr std::array<int, 56> kPalette{
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
    if (colorIndex < 1 || colorIndex > int(kPalette.size())) {
        return kNoFill;
    }
    return kPalette[size_t(colorIndex - 1)];
}

// ---- Range

Range::Range(std::shared_ptr<xl::Worksheet> sheet, const Area& area)
    : m_sheet(std::move(sheet)), m_area(area)
{}

xl::Worksheet& Range::live() const
{
    if (!m_sheet || !m_sheet->isLive()) {
        refuseGone();
    }
    return *m_sheet;
}

xl::Font Range::Font() const
{
    return xl::Font(*this);
}

xl::Border Range::Borders(int edge) const
{
    if (edge < xlEdgeLeft || edge > xlInsideHorizontal) {
        refuse(kErrNoPrinter, msg::kXlBadValue);
    }
    return xl::Border(*this, edge);
}

xl::Interior Range::Interior() const
{
    return xl::Interior(*this);
}

QVariant Range::Value() const
{
    const Cell* c = live().cell(m_area.top, m_area.left);
    return c ? c->Value : QVariant();
}

void Range::setValue(const QVariant& value)
{
    xl::Worksheet& ws = live();
    const QVariant stored = cellValue(value);
    for (int r = m_area.top; r <= m_area.bottom; ++r) {
        for (int c = m_area.left; c <= m_area.right; ++c) {
            const Area* merged = ws.mergeAt(r, c);
            if (merged && (merged->top != r || merged->left != c)) {
                continue;
            }
            ws.cellAt(r, c).Value = stored;
        }
    }
}

void Range::setValue(const VariantArray& values)
{
    xl::Worksheet& ws = live();
    const bool column = values.Dimensions() < 2;
    for (int r = m_area.top; r <= m_area.bottom; ++r) {
        for (int c = m_area.left; c <= m_area.right; ++c) {
            const int i = r - m_area.top;
            const int j = c - m_area.left;
            ws.cellAt(r, c).Value = cellValue(column ? values.at(i) : values.at(i, j));
        }
    }
}

void Range::ClearContents()
{
    xl::Worksheet& ws = live();
    for (int r = m_area.top; r <= m_area.bottom; ++r) {
        for (int c = m_area.left; c <= m_area.right; ++c) {
            if (ws.cell(r, c)) {
                ws.cellAt(r, c).Value = QVariant();
            }
        }
    }
}

void Range::Select()
{
    xl::Worksheet& ws = live();
    Application* app = ws.workbook()->application();
    if (app->ActiveWorkbook().get() != ws.workbook() || ws.workbook()->activeSheet().get() != &ws) {
        refuse(kErrNoPrinter, msg::kXlSelectFailed);
    }
    ws.m_selection = m_area;
}

bool Range::MergeCells() const
{
    const Area* merged = live().mergeAt(m_area.top, m_area.left);
    return merged && merged->contains(m_area.bottom, m_area.right);
}

void Range::setMergeCells(bool on)
{
    xl::Worksheet& ws = live();
    auto& merges = ws.m_merges;
    std::erase_if(merges, [this](const Area& a) { return a.intersects(m_area); });
    if (!on || (m_area.top == m_area.bottom && m_area.left == m_area.right)) {
        return;
    }
    merges.push_back(m_area);
    // The merged cell shows the first value met in reading order, wherever it stood.
    QVariant kept;
    for (int r = m_area.top; r <= m_area.bottom; ++r) {
        for (int c = m_area.left; c <= m_area.right; ++c) {
            if (const Cell* cell = ws.cell(r, c); cell && cell->Value.isValid()) {
                if (!kept.isValid()) {
                    kept = cell->Value;
                }
                ws.cellAt(r, c).Value = QVariant();
            }
        }
    }
    if (kept.isValid()) {
        ws.cellAt(m_area.top, m_area.left).Value = kept;
    }
}

void Range::formatCells(const std::function<void(CellFormat&)>& fn) const
{
    formatCellsAt([&fn](int, int, CellFormat& f) { fn(f); });
}

void Range::formatCellsAt(const std::function<void(int, int, CellFormat&)>& fn) const
{
    xl::Worksheet& ws = live();
    for (int r = m_area.top; r <= m_area.bottom; ++r) {
        for (int c = m_area.left; c <= m_area.right; ++c) {
            fn(r, c, ws.cellAt(r, c).Format);
        }
    }
}

const CellFormat& Range::firstFormat() const
{
    static const CellFormat kDefault;
    const Cell* c = live().cell(m_area.top, m_area.left);
    return c ? c->Format : kDefault;
}

void Range::setWrapText(bool on)
{
    formatCells([on](CellFormat& f) { f.WrapText = on; });
}

void Range::setHorizontalAlignment(int alignment)
{
    formatCells([alignment](CellFormat& f) { f.HorizontalAlignment = alignment; });
}

void Range::setVerticalAlignment(int alignment)
{
    formatCells([alignment](CellFormat& f) { f.VerticalAlignment = alignment; });
}

void Range::setNumberFormat(const QString& format)
{
    formatCells([&format](CellFormat& f) { f.NumberFormat = format; });
}

double Range::RowHeight() const
{
    return live().rowHeight(m_area.top);
}

void Range::setRowHeight(double points)
{
    xl::Worksheet& ws = live();
    if (points < 0 || points > 409) {
        refuse(kErrNoPrinter, msg::kXlBadValue);
    }
    for (int r = m_area.top; r <= m_area.bottom; ++r) {
        ws.m_rowHeights[r] = points;
    }
}

double Range::ColumnWidth() const
{
    return live().columnWidth(m_area.left);
}

void Range::setColumnWidth(double characters)
{
    xl::Worksheet& ws = live();
    if (characters < 0 || characters > 255) {
        refuse(kErrNoPrinter, msg::kXlBadValue);
    }
    for (int c = m_area.left; c <= m_area.right; ++c) {
        ws.m_colWidths[c] = characters;
    }
}

// ---- Font, Border, Interior

bool Font::Bold() const
{
    return m_range.firstFormat().Bold;
}

void Font::setBold(bool on)
{
    m_range.formatCells([on](CellFormat& f) { f.Bold = on; });
}

double Font::Size() const
{
    return m_range.firstFormat().Size;
}

void Font::setSize(double points)
{
    if (points < 1 || points > 409) {
        refuse(kErrNoPrinter, msg::kXlBadValue);
    }
    m_range.formatCells([points](CellFormat& f) { f.Size = points; });
}

bool Font::Underline() const
{
    return m_range.firstFormat().Underline;
}

void Font::setUnderline(bool on)
{
    m_range.formatCells([on](CellFormat& f) { f.Underline = on; });
}

void Border::setLineStyle(int style)
{
    const Area a = m_range.area();
    const int edge = m_edge;
    // A line between two cells belongs to both, so that each cell reads it on its own side.
    m_range.formatCellsAt([&](int r, int c, CellFormat& f) {
        switch (edge) {
        case xlEdgeLeft:
            if (c == a.left) {
                f.Border[kEdgeLeft] = style;
            }
            break;
        case xlEdgeTop:
            if (r == a.top) {
                f.Border[kEdgeTop] = style;
            }
            break;
        case xlEdgeBottom:
            if (r == a.bottom) {
                f.Border[kEdgeBottom] = style;
            }
            break;
        case xlEdgeRight:
            if (c == a.right) {
                f.Border[kEdgeRight] = style;
            }
            break;
        case xlInsideVertical:
            if (c > a.left) {
                f.Border[kEdgeLeft] = style;
            }
            if (c < a.right) {
                f.Border[kEdgeRight] = style;
            }
            break;
        case xlInsideHorizontal:
            if (r > a.top) {
                f.Border[kEdgeTop] = style;
            }
            if (r < a.bottom) {
                f.Border[kEdgeBottom] = style;
            }
            break;
        default:
            break;
        }
    });
}

void Interior::setColorIndex(int index)
{
    int rgb = kNoFill;
    if (index != xlColorIndexNone) {
        rgb = PaletteColor(index);
        if (rgb == kNoFill) {
            refuse(kErrNoPrinter, msg::kXlBadValue);
        }
    }
    m_range.formatCells([rgb](CellFormat& f) { f.Fill = rgb; });
}

} // namespace kvor::xl
