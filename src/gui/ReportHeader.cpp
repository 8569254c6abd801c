#include "gui/ReportHeader.h"

#include "gui/ReportTableModel.h"

#include <QPainter>

namespace kvor {

namespace {
// Text lines of each level: the column headings get two, so that they wrap.
constexpr int kGroupLines = 1;
constexpr int kColumnLines = 2;
constexpr int kNumberLines = 1;
constexpr int kCellPadding = 3;
} // namespace

ReportHeader::ReportHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
}

int ReportHeader::lineHeight() const
{
    return fontMetrics().lineSpacing() + 2 * kCellPadding;
}

QSize ReportHeader::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(lineHeight() * (kGroupLines + kColumnLines + kNumberLines));
    return s;
}

std::pair<int, int> ReportHeader::groupOf(int logicalIndex) const
{
    const QAbstractItemModel* m = model();
    const auto group = [&](int section) {
        return m->headerData(section, Qt::Horizontal, ReportTableModel::kGroupHeadingRole)
            .toString();
    };
    const QString own = group(logicalIndex);
    int first = logicalIndex;
    while (first > 0 && group(first - 1) == own) {
        --first;
    }
    int last = logicalIndex;
    while (last + 1 < count() && group(last + 1) == own) {
        ++last;
    }
    return {first, last - first + 1};
}

void ReportHeader::paintCell(QPainter* painter, const QRect& rect, const QString& text) const
{
    painter->fillRect(rect, palette().button());
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(rect.adjusted(kCellPadding, 0, -kCellPadding, 0),
                      Qt::AlignCenter | Qt::TextWordWrap, text);
}

void ReportHeader::paintColumnHeading(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    const QAbstractItemModel* m = model();
    if (!m) {
        return;
    }
    const auto text = [&](int section, int role) {
        return m->headerData(section, Qt::Horizontal, role).toString();
    };
    const int line = lineHeight();
    const int numberTop = rect.bottom() + 1 - line * kNumberLines;
    const QString group = text(logicalIndex, ReportTableModel::kGroupHeadingRole);
    const QString column = text(logicalIndex, ReportTableModel::kColumnHeadingRole);
    if (group == column) {
        // One heading over both levels.
        paintCell(painter, QRect(rect.left(), rect.top(), rect.width(), numberTop - rect.top()),
                  group);
    } else {
        // The group's cell is drawn over all of its columns from each of them alike.
        const auto [first, span] = groupOf(logicalIndex);
        int left = rect.left();
        for (int s = first; s < logicalIndex; ++s) {
            left -= sectionSize(s);
        }
        int width = 0;
        for (int s = first; s < first + span; ++s) {
            width += sectionSize(s);
        }
        const int groupBottom = rect.top() + line * kGroupLines;
        paintCell(painter, QRect(left, rect.top(), width, groupBottom - rect.top()), group);
        paintCell(painter, QRect(rect.left(), groupBottom, rect.width(), numberTop - groupBottom),
                  column);
    }
    paintCell(painter, QRect(rect.left(), numberTop, rect.width(), rect.bottom() + 1 - numberTop),
              text(logicalIndex, ReportTableModel::kNumberHeadingRole));
}

void ReportHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (rect.isValid()) {
        paintColumnHeading(painter, rect, logicalIndex);
    }
}

} // namespace kvor
