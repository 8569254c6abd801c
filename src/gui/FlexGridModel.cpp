#include "gui/FlexGridModel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <QTextDocument>

namespace kvor {

const QColor FlexGridModel::kDefaultFore = QColor(0, 0, 0);

Qt::Alignment ToQtAlignment(int a, const QString& text)
{
    if (a == flexAlignGeneral || a < 0 || a > flexAlignGeneral) {
        bool number = false;
        text.trimmed().toDouble(&number);
        return Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft);
    }
    Qt::Alignment h = a < 3 ? Qt::AlignLeft : (a < 6 ? Qt::AlignHCenter : Qt::AlignRight);
    Qt::Alignment v =
        (a % 3 == 0) ? Qt::AlignTop : (a % 3 == 1 ? Qt::AlignVCenter : Qt::AlignBottom);
    return h | v;
}

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_cols) {
        return {};
    }
    const int r = index.row();
    const int c = index.column();
    const Cell& x = cell(r, c);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return x.text;
    case Qt::ForegroundRole:
        return QBrush(x.fore.isValid() ? x.fore : kDefaultFore);
    case Qt::BackgroundRole:
        if (x.back.isValid()) {
            return QBrush(x.back);
        }
        if (r < m_fixedRows || c < m_fixedCols) {
            return QBrush(QGuiApplication::palette().color(QPalette::Button));
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ToQtAlignment(alignment(r, c), x.text));
    case Qt::ToolTipRole:
        // The whole text of a cell too narrow for it; escaped, as a tooltip would read a text
        // from a file as markup.
        return x.text.trimmed().isEmpty() ? QVariant()
                                          : QVariant(Qt::convertFromPlainText(x.text.trimmed()));
    default:
        return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole) {
        return QString::number(section);
    }
    return {};
}

void FlexGridModel::setRowCount(int rows)
{
    rows = std::max(0, rows);
    if (rows == m_rows) {
        return;
    }
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_cells.resize(static_cast<size_t>(rows) * m_cols);
        m_rows = rows;
        endInsertRows();
    } else {
        beginRemoveRows({}, rows, m_rows - 1);
        m_cells.resize(static_cast<size_t>(rows) * m_cols);
        m_rows = rows;
        endRemoveRows();
    }
}

void FlexGridModel::setColumnCount(int cols)
{
    cols = std::max(0, cols);
    if (cols == m_cols) {
        return;
    }
    beginResetModel();
    std::vector<Cell> cells(static_cast<size_t>(m_rows) * cols);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < std::min(cols, m_cols); ++c) {
            cells[static_cast<size_t>(r) * cols + c] = std::move(cell(r, c));
        }
    }
    m_cells = std::move(cells);
    m_cols = cols;
    m_colAlign.resize(cols, flexAlignGeneral);
    endResetModel();
}

void FlexGridModel::setFixed(int rows, int cols)
{
    m_fixedRows = rows;
    m_fixedCols = cols;
    if (m_rows > 0 && m_cols > 0) {
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1), {Qt::BackgroundRole});
    }
}

void FlexGridModel::changed(int r, int c, const QList<int>& roles)
{
    const QModelIndex i = index(r, c);
    emit dataChanged(i, i, roles);
}

void FlexGridModel::setText(int r, int c, const QString& text)
{
    Cell& x = cell(r, c);
    if (x.text == text) {
        return;
    }
    x.text = text;
    changed(r, c, {Qt::DisplayRole, Qt::EditRole, Qt::AccessibleTextRole, Qt::TextAlignmentRole});
}

void FlexGridModel::clearAll()
{
    for (Cell& x : m_cells) {
        x = Cell{};
    }
    if (m_rows > 0 && m_cols > 0) {
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
    }
}

QColor FlexGridModel::foreColor(int r, int c) const
{
    const Cell& x = cell(r, c);
    return x.fore.isValid() ? x.fore : kDefaultFore;
}

void FlexGridModel::setForeColor(int r, int c, const QColor& color)
{
    cell(r, c).fore = color;
    changed(r, c, {Qt::ForegroundRole});
}

QColor FlexGridModel::backColor(int r, int c) const
{
    const Cell& x = cell(r, c);
    if (x.back.isValid()) {
        return x.back;
    }
    return (r < m_fixedRows || c < m_fixedCols) ? QGuiApplication::palette().color(QPalette::Button)
                                                : QColor(255, 255, 255);
}

void FlexGridModel::setBackColor(int r, int c, const QColor& color)
{
    cell(r, c).back = color;
    changed(r, c, {Qt::BackgroundRole});
}

int FlexGridModel::alignment(int r, int c) const
{
    const Cell& x = cell(r, c);
    return x.align >= 0 ? x.align : columnAlignment(c);
}

void FlexGridModel::setAlignment(int r, int c, int flexAlign)
{
    cell(r, c).align = static_cast<signed char>(flexAlign);
    changed(r, c, {Qt::TextAlignmentRole});
}

int FlexGridModel::columnAlignment(int c) const
{
    return c >= 0 && c < static_cast<int>(m_colAlign.size()) ? m_colAlign[c] : flexAlignGeneral;
}

void FlexGridModel::setColumnAlignment(int c, int flexAlign)
{
    m_colAlign[c] = flexAlign;
    if (m_rows > 0) {
        emit dataChanged(index(0, c), index(m_rows - 1, c), {Qt::TextAlignmentRole});
    }
}

} // namespace kvor
