#include "gui/ReportTableModel.h"

namespace kvor {

const QColor ReportTableModel::kRed(255, 0, 0);
const QColor ReportTableModel::kBlack(0, 0, 0);
const QColor ReportTableModel::kHighlight(191, 217, 236);

namespace {

Qt::Alignment ColumnAlignment(int col)
{
    switch (col) {
    case grid::kCaption:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case grid::kCodeAdded:
    case grid::kCodeSubtracted:
        return Qt::AlignCenter;
    default:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
}

} // namespace

ReportTableModel::ReportTableModel(ReportModel& report, QObject* parent)
    : QAbstractTableModel(parent), m_report(report)
{}

int ReportTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_report.rowCount();
}

int ReportTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : grid::kCols;
}

QVariant ReportTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    const int n = index.row();
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return m_report.text(n, col);
    case Qt::ToolTipRole:
        // A caption too long for its cell is read whole here.
        return col == grid::kCaption ? QVariant(m_report.caption(n)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ColumnAlignment(col));
    case Qt::ForegroundRole: {
        const bool red =
            index == m_editing || (col == grid::kOpening && m_report.openingDiffers(n));
        return red ? kRed : kBlack;
    }
    case Qt::BackgroundRole:
        return m_report.isHighlighted(n) ? QVariant(kHighlight) : QVariant();
    default:
        return {};
    }
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        // Rows are announced by their captions.
        const bool named = role == Qt::DisplayRole || role == Qt::AccessibleTextRole;
        return named && section >= 0 && section < m_report.rowCount()
                   ? QVariant(m_report.caption(section))
                   : QVariant();
    }
    if (section < 0 || section >= grid::kCols) {
        return {};
    }
    const QString& group = m_report.heading(grid::kGroupHeadingRow, section);
    const QString& column = m_report.heading(grid::kTallHeadingRow, section);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        // Both levels, as a person reads them: "Увеличения през месеца, Сума".
        return group == column ? group : group + QStringLiteral(", ") + column;
    case kGroupHeadingRole:
        return group;
    case kColumnHeadingRole:
        return column;
    case kNumberHeadingRole:
        return m_report.heading(grid::kNumberHeadingRow, section);
    default:
        return {};
    }
}

Qt::ItemFlags ReportTableModel::flags(const QModelIndex& index) const
{
    // Cells are entered through the view's own editor, never through Qt's edit triggers.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool ReportTableModel::isEditable(const QModelIndex& index) const
{
    return index.isValid() && m_report.isEditable(index.row(), index.column());
}

ReportModel::Entry ReportTableModel::enter(const QModelIndex& index, const QString& typed)
{
    std::vector<int> touched;
    const ReportModel::Entry result = m_report.enter(index.row(), index.column(), typed, &touched);
    if (result == ReportModel::Entry::Accepted && index.column() == grid::kOpening) {
        m_report.clearOpeningMark(index.row());
    }
    rowsChanged(touched);
    return result;
}

void ReportTableModel::setEditing(const QModelIndex& index)
{
    const QModelIndex before = m_editing;
    m_editing = index;
    for (const QModelIndex& i : {before, index}) {
        if (i.isValid()) {
            emit dataChanged(i, i, {Qt::ForegroundRole});
        }
    }
}

bool ReportTableModel::compareOpening(int row)
{
    const bool equal = m_report.compareOpening(row);
    const QModelIndex i = index(row, grid::kOpening);
    emit dataChanged(i, i, {Qt::ForegroundRole});
    return equal;
}

void ReportTableModel::rowsChanged(const std::vector<int>& rows)
{
    for (const int r : rows) {
        emit dataChanged(index(r, grid::kOpening), index(r, grid::kClosing));
    }
}

} // namespace kvor
