#include "printout/FormPainter.h"

#include "printout/FormCells.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <optional>

namespace kvor {

namespace {

constexpr double kPointsPerInch = 72;
constexpr double kMarginMm = 12;
constexpr double kPaddingPt = 2;           // text from a cell's left and right edges
constexpr double kRowPaddingPt = 1.5;      // and from its top and bottom
constexpr double kLineWidthPt = 0.5;       // the table's lines
constexpr double kLeastOnePageScale = 0.8; // a form just too long for a page is drawn smaller
const QColor kGrey{QRgb(kGreyBand)};
const QString kPageNumber = QStringLiteral("Страница %1 от %2");

bool IsHeadingLook(Look look)
{
    return look == Look::Heading || look == Look::Subheading || look == Look::ColumnNumbers;
}

bool IsBodyLook(Look look)
{
    return look >= Look::Caption && look <= Look::GreyAmount;
}

// Rows drawn one under the other on a page, from first to last.
struct Band
{
    int first;
    int last;
};

using Page = std::vector<Band>;

// Where everything goes, in device units of the form at full size; drawn scaled by `scale`.
class FormLayout final
{
public:
    FormLayout(const FormCells& cells, QPaintDevice& device, QSizeF page);

    const FormCells& cells;
    double unitsPerPoint;
    std::vector<QFont> fonts;
    std::vector<QFontMetricsF> metrics;
    std::array<double, FormCells::kColumns + 1> left{}; // column edges
    std::vector<double> heights;                        // of the rows, index row - 1
    std::vector<std::array<float, FormCells::kColumns>> textWidths;
    std::optional<Band> heading; // repeated at the top of every further page
    int lastTableRow = 0;
    double scale = 1;
    std::vector<Page> pages;

    double pad() const { return kPaddingPt * unitsPerPoint; }
    double rowPad() const { return kRowPaddingPt * unitsPerPoint; }
    double height(int row) const { return heights[size_t(row - 1)]; }
    double height(const Band& band) const
    {
        double h = 0;
        for (int r = band.first; r <= band.last; ++r) {
            h += height(r);
        }
        return h;
    }
    double footerHeight() const { return metrics[size_t(Look::Plain)].lineSpacing() * 1.5; }

private:
    void measureColumns();
    void measureRows();
    void planPages(QSizeF page);
    double wrappedHeight(const FormCell& cell, double width) const;
};

FormLayout::FormLayout(const FormCells& formCells, QPaintDevice& device, QSizeF page)
    : cells(formCells), unitsPerPoint(device.logicalDpiY() / kPointsPerInch)
{
    for (const LookSpec& look : kLooks) {
        QFont font(QString::fromLatin1(kDrawnFormFont));
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(look.size);
        font.setBold(look.bold);
        font.setUnderline(look.underline);
        fonts.push_back(font);
        metrics.emplace_back(font, &device);
    }
    for (int r = 1; r <= cells.rowCount(); ++r) {
        const Look look = cells.row(r)[0].look;
        if (IsHeadingLook(look)) {
            heading = Band{heading ? heading->first : r, r};
        } else if (IsBodyLook(look)) {
            lastTableRow = r;
        }
    }
    measureColumns();
    measureRows();
    planPages(page);
}

// The sheet's widths in characters of its digits, widened where a table cell's text would not fit.
void FormLayout::measureColumns()
{
    const QFontMetricsF& plain = metrics[size_t(Look::Plain)];
    const double unit = plain.horizontalAdvance(u'0');
    std::array<double, FormCells::kColumns> widths{};
    for (int c = 1; c <= FormCells::kColumns; ++c) {
        widths[size_t(c - 1)] = cells.columnWidth(c) * unit + 2 * pad();
    }
    textWidths.resize(size_t(cells.rowCount()));
    for (int r = 1; r <= cells.rowCount(); ++r) {
        const auto& row = cells.row(r);
        for (int c = 0; c < FormCells::kColumns; ++c) {
            const FormCell& cell = row[size_t(c)];
            const LookSpec& look = kLooks[size_t(cell.look)];
            if (cell.text.isEmpty() || cell.covered || look.wrap) {
                continue;
            }
            const double w = metrics[size_t(cell.look)].horizontalAdvance(cell.text);
            textWidths[size_t(r - 1)][size_t(c)] = float(w);
            if (look.lines && cell.colSpan == 1) {
                widths[size_t(c)] = std::max(widths[size_t(c)], w + 2 * pad());
            }
        }
    }
    for (int c = 0; c < FormCells::kColumns; ++c) {
        left[size_t(c + 1)] = left[size_t(c)] + widths[size_t(c)];
    }
}

double FormLayout::wrappedHeight(const FormCell& cell, double width) const
{
    const QRectF bounds = metrics[size_t(cell.look)].boundingRect(
        QRectF(0, 0, std::max(1.0, width - 2 * pad()), 1e9), Qt::TextWordWrap, cell.text);
    return bounds.height() + 2 * rowPad();
}

// Every row as high as its font, or as the form asks; higher where wrapped text needs it.
void FormLayout::measureRows()
{
    const double plainRow = metrics[size_t(Look::Plain)].height() + 2 * rowPad();
    heights.assign(size_t(cells.rowCount()), plainRow);
    for (int r = 1; r <= cells.rowCount(); ++r) {
        double& h = heights[size_t(r - 1)];
        if (const double factor = cells.rowHeightFactor(r); factor > 0) {
            h = factor * plainRow;
        }
        for (const FormCell& cell : cells.row(r)) {
            h = std::max(h, metrics[size_t(cell.look)].height() + 2 * rowPad());
        }
    }
    // Wrapped texts; a block over several rows grows at its last row.
    for (int r = 1; r <= cells.rowCount(); ++r) {
        for (int c = 0; c < FormCells::kColumns; ++c) {
            const FormCell& cell = cells.row(r)[size_t(c)];
            if (cell.covered || cell.text.isEmpty() || !kLooks[size_t(cell.look)].wrap) {
                continue;
            }
            const double width = left[size_t(c + cell.colSpan)] - left[size_t(c)];
            const double need = wrappedHeight(cell, width);
            const Band block{r, std::min(cells.rowCount(), r + cell.rowSpan - 1)};
            const double have = height(block);
            if (need > have) {
                heights[size_t(block.last - 1)] += need - have;
            }
        }
    }
}

void FormLayout::planPages(QSizeF page)
{
    const int rows = cells.rowCount();
    const double total = height(Band{1, rows});
    scale = std::min(1.0, page.width() / left.back());
    if (total * scale > page.height() && total * scale * kLeastOnePageScale <= page.height()) {
        scale = page.height() / total;
    }
    const double room = page.height() / scale;
    if (total <= room) {
        pages = {{Band{1, rows}}};
        return;
    }
    const double pageRoom = room - footerHeight();
    const double headingHeight = heading ? height(*heading) : 0;
    pages = {{}};
    double y = 0;
    const auto place = [&](int r, bool repeatHeading) {
        if (y + height(r) > pageRoom && !pages.back().empty()) {
            pages.emplace_back();
            y = 0;
            if (repeatHeading && heading) {
                pages.back().push_back(*heading);
                y = headingHeight;
            }
        }
        Page& current = pages.back();
        if (!current.empty() && current.back().last == r - 1) {
            current.back().last = r;
        } else {
            current.push_back(Band{r, r});
        }
        y += height(r);
    };
    for (int r = 1; r <= rows; ++r) {
        // The footnote and the signatures stay together, on a page of their own if need be.
        if (r == lastTableRow + 1 && y + height(Band{r, rows}) > pageRoom) {
            y = pageRoom;
        }
        place(r, r <= lastTableRow);
    }
}

// Draws the rows of a page, cell by cell in the sheet's order, with the table's lines on top.
class PagePainter final
{
public:
    PagePainter(const FormLayout& layout, QPainter& painter) : m_l(layout), m_p(painter) {}

    void band(const Band& band, double top)
    {
        double y = top;
        for (int r = band.first; r <= band.last; ++r) {
            row(r, y);
            y += m_l.height(r);
        }
        finishLines(y);
    }

private:
    void setLook(Look look)
    {
        if (m_look != int(look)) {
            m_look = int(look);
            m_p.setFont(m_l.fonts[size_t(look)]);
        }
    }

    void row(int r, double y)
    {
        const auto& cells = m_l.cells.row(r);
        bool plainTableRow = true;
        for (int c = 0; c < FormCells::kColumns; ++c) {
            const FormCell& cell = cells[size_t(c)];
            plainTableRow = plainTableRow && kLooks[size_t(cell.look)].lines && !cell.covered &&
                            cell.rowSpan == 1 && cell.colSpan == 1;
        }
        if (!plainTableRow) {
            finishLines(y);
        } else if (!m_inRun) {
            m_inRun = true;
            m_runTop = y;
        }
        for (int c = 0; c < FormCells::kColumns; ++c) {
            const FormCell& cell = cells[size_t(c)];
            if (cell.covered) {
                continue;
            }
            double h = 0;
            for (int k = 0; k < cell.rowSpan && r + k <= m_l.cells.rowCount(); ++k) {
                h += m_l.height(r + k);
            }
            const QRectF rect(m_l.left[size_t(c)], y,
                              m_l.left[size_t(c + cell.colSpan)] - m_l.left[size_t(c)], h);
            const LookSpec& look = kLooks[size_t(cell.look)];
            if (look.grey) {
                m_p.fillRect(rect, kGrey);
            }
            text(cell, rect, m_l.textWidths[size_t(r - 1)][size_t(c)]);
            if (look.lines && !plainTableRow) {
                m_p.drawRect(rect);
            }
        }
        if (plainTableRow) {
            const double bottom = y + m_l.height(r);
            m_p.drawLine(QPointF(m_l.left.front(), y), QPointF(m_l.left.back(), y));
            m_p.drawLine(QPointF(m_l.left.front(), bottom), QPointF(m_l.left.back(), bottom));
        }
    }

    void text(const FormCell& cell, const QRectF& rect, double width)
    {
        if (cell.text.isEmpty()) {
            return;
        }
        setLook(cell.look);
        const LookSpec& look = kLooks[size_t(cell.look)];
        const QRectF inner = rect.adjusted(m_l.pad(), m_l.rowPad(), -m_l.pad(), -m_l.rowPad());
        Qt::Alignment align = look.verticalCenter ? Qt::AlignVCenter : Qt::AlignBottom;
        if (look.horizontal == HAlign::Center) {
            align |= Qt::AlignHCenter;
        } else if (look.horizontal == HAlign::Right || cell.number) {
            align |= Qt::AlignRight;
        } else {
            align |= Qt::AlignLeft;
        }
        if (look.wrap) {
            m_p.drawText(inner, int(align) | Qt::TextWordWrap, cell.text);
            return;
        }
        // One line, placed by hand: much quicker than laying it out, and a text wider than its
        // cell runs on to the right as it does on the sheet.
        const QFontMetricsF& fm = m_l.metrics[size_t(cell.look)];
        double x = inner.left();
        if (align & Qt::AlignRight) {
            x = inner.right() - width;
        } else if (align & Qt::AlignHCenter) {
            x = inner.center().x() - width / 2;
        }
        const double baseline = (align & Qt::AlignVCenter)
                                    ? inner.center().y() - fm.height() / 2 + fm.ascent()
                                    : inner.bottom() - fm.descent();
        m_p.drawText(QPointF(x, baseline), cell.text);
    }

    // The vertical lines of the plain table rows drawn since the last one that was not.
    void finishLines(double bottom)
    {
        if (m_inRun) {
            for (const double x : m_l.left) {
                m_p.drawLine(QPointF(x, m_runTop), QPointF(x, bottom));
            }
            m_inRun = false;
        }
    }

    const FormLayout& m_l;
    QPainter& m_p;
    int m_look = -1; // the font set last
    bool m_inRun = false;
    double m_runTop = 0;
};

} // namespace

QPageLayout FormPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                       QPageLayout::Millimeter);
}

int PaintForm(const PrintoutInput& input, QPagedPaintDevice& device)
{
    const FormCells cells(input);
    QPainter painter;
    if (!painter.begin(&device)) {
        return 0;
    }
    const QSizeF page(device.width(), device.height());
    const FormLayout layout(cells, device, page);
    QPen pen(Qt::black);
    pen.setWidthF(kLineWidthPt * layout.unitsPerPoint);
    const int count = int(layout.pages.size());
    for (int n = 0; n < count; ++n) {
        if (n > 0) {
            device.newPage();
        }
        painter.resetTransform();
        painter.scale(layout.scale, layout.scale);
        painter.setPen(pen);
        PagePainter pagePainter(layout, painter);
        double y = 0;
        for (const Band& band : layout.pages[size_t(n)]) {
            pagePainter.band(band, y);
            y += layout.height(band);
        }
        if (count > 1) {
            painter.setFont(layout.fonts[size_t(Look::Plain)]);
            const QRectF footer(0, page.height() / layout.scale - layout.footerHeight(),
                                layout.left.back(), layout.footerHeight());
            painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                             kPageNumber.arg(n + 1).arg(count));
        }
    }
    painter.end();
    return count;
}

} // namespace kvor
