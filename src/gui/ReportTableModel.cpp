#include "gui/ReportTableModel.h"

#include "gui/UndoCommands.h"

#include <QUndoStack>
#include <algorithm>

namespace kvor {

const QColor ReportTableModel::kRed(255, 0, 0);
const QColor ReportTableModel::kBlack(0, 0, 0);
const QColor ReportTableModel::kHighlight(191, 217, 236);
const QString ReportTableModel::kDiffersDescription =
    QStringLiteral("различава се от предходния месец");

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
    case Qt::EditRole:
        return editText(n, col);
    case Qt::AccessibleDescriptionRole:
        return col == grid::kOpening && m_report.openingDiffers(n) ? QVariant(kDiffersDescription)
                                                                   : QVariant();
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
    case Qt::ToolTipRole: // the whole heading, where the column is too narrow for it
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
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return isEditable(index) ? base | Qt::ItemIsEditable : base;
}

bool ReportTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !isEditable(index)) {
        return false;
    }
    return enter(index, value.toString()) == ReportModel::Entry::Accepted;
}

bool ReportTableModel::isEditable(const QModelIndex& index) const
{
    return index.isValid() && m_report.isEditable(index.row(), index.column());
}

QString ReportTableModel::editText(int row, int column) const
{
    QString text = m_report.text(row, column);
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == u' ') {
        ++blanks;
    }
    return text.mid(blanks);
}

ReportModel::Entry ReportTableModel::apply(const CellFigure& figure, std::vector<int>* touched)
{
    const ReportModel::Entry result =
        m_report.enter(figure.row, figure.column, figure.text, touched);
    if (result != ReportModel::Entry::Accepted) {
        return result;
    }
    if (figure.column == grid::kOpening) {
        m_report.clearOpeningMark(figure.row);
    }
    if (m_observer) {
        m_observer(figure);
    }
    return result;
}

ReportModel::Entry ReportTableModel::enterFigures(const std::vector<CellFigure>& figures,
                                                  const QString& step, bool compare, int* refused)
{
    std::vector<CellFigure> before;
    std::vector<CellFigure> after;
    std::vector<bool> differed;
    before.reserve(figures.size());
    after.reserve(figures.size());
    std::vector<int> touched;
    for (size_t i = 0; i < figures.size(); ++i) {
        const CellFigure& f = figures[i];
        if (!m_report.isEditable(f.row, f.column)) {
            continue;
        }
        before.push_back({f.row, f.column, editText(f.row, f.column)});
        differed.push_back(f.column == grid::kOpening && m_report.openingDiffers(f.row));
        const ReportModel::Entry result = apply(f, &touched);
        if (result != ReportModel::Entry::Accepted) {
            before.pop_back();
            differed.pop_back();
            rollBack(before, differed);
            if (refused) {
                *refused = static_cast<int>(i);
            }
            return result;
        }
        after.push_back({f.row, f.column, editText(f.row, f.column)});
    }
    if (m_comparing && compare) {
        for (const CellFigure& f : after) {
            if (f.column == grid::kOpening) {
                m_report.compareOpening(f.row);
            }
        }
    }
    rowsChanged(touched);
    // Enter on a cell commits its figure as it stands: no step to undo.
    const bool changed =
        !std::equal(before.begin(), before.end(), after.begin(), after.end(),
                    [](const CellFigure& a, const CellFigure& b) { return a.text == b.text; });
    if (m_undo && changed) {
        m_undo->push(new FiguresCommand(this, std::move(before), std::move(after), step));
    }
    return ReportModel::Entry::Accepted;
}

void ReportTableModel::rollBack(const std::vector<CellFigure>& before,
                                const std::vector<bool>& differed)
{
    // Nothing of a refused step stays: what went in is taken out again, marks included.
    std::vector<int> touched;
    for (size_t i = before.size(); i-- > 0;) {
        const CellFigure& f = before[i];
        apply(f, &touched);
        if (differed[i]) {
            m_report.compareOpening(f.row);
        }
    }
    rowsChanged(touched);
}

void ReportTableModel::restoreFigures(const std::vector<CellFigure>& figures, bool backwards)
{
    std::vector<int> touched;
    const auto restore = [&](const CellFigure& f) {
        apply(f, &touched);
        if (m_comparing && f.column == grid::kOpening) {
            m_report.compareOpening(f.row);
        }
    };
    if (backwards) {
        std::for_each(figures.rbegin(), figures.rend(), restore);
    } else {
        std::for_each(figures.begin(), figures.end(), restore);
    }
    rowsChanged(touched);
}

ReportModel::Entry ReportTableModel::enter(const QModelIndex& index, const QString& typed)
{
    const std::vector<CellFigure> one{{index.row(), index.column(), typed}};
    return enterFigures(one, QStringLiteral("Въвеждане"));
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
    // One ranged signal, however many rows: a screen reader's bridge answers each signal with
    // work over the cells it names.
    if (rows.empty()) {
        return;
    }
    const auto [low, high] = std::minmax_element(rows.begin(), rows.end());
    emit dataChanged(index(*low, grid::kOpening), index(*high, grid::kClosing));
}

} // namespace kvor
