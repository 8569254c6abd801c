#include "printout/FormCells.h"

#include <QStringList>
#include <cmath>

namespace kvor {

namespace {

// Digits a double holds exactly; the general number format shows no more.
constexpr int kGeneralDigits = 15;

} // namespace

QString SheetNumberText(double value, Look look)
{
    if (value == 0) {
        value = 0; // no "-0,00"
    }
    QString text = kLooks[size_t(look)].amount ? QString::number(value, 'f', 2)
                                               : QString::number(value, 'g', kGeneralDigits);
    return text.replace(u'.', u',');
}

FormCell& FormCells::at(int row, int col)
{
    Q_ASSERT(row >= 1 && col >= 1 && col <= kColumns);
    if (size_t(row) > m_rows.size()) {
        m_rows.resize(size_t(row));
    }
    return m_rows[size_t(row - 1)][size_t(col - 1)];
}

double FormCells::rowHeightFactor(int r) const
{
    for (const auto& [row, points] : m_heights) {
        if (row == r && m_layout.defaultRowHeight > 0) {
            return points / m_layout.defaultRowHeight;
        }
    }
    return 0;
}

QStringList FormCells::texts() const
{
    QStringList all;
    for (const auto& cells : m_rows) {
        for (const FormCell& cell : cells) {
            if (!cell.text.isEmpty()) {
                all << cell.text;
            }
        }
    }
    return all;
}

void FormCells::columnWidth(int col, double characters)
{
    m_widths[size_t(col - 1)] = characters;
}

void FormCells::rowHeight(int row, double points)
{
    m_heights.emplace_back(row, points);
}

void FormCells::merge(int top, int left, int bottom, int right)
{
    at(bottom, right); // the block's rows exist from now on
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            at(r, c).covered = r != top || c != left;
        }
    }
    FormCell& first = at(top, left);
    first.rowSpan = bottom - top + 1;
    first.colSpan = right - left + 1;
}

void FormCells::text(int row, int col, const QString& text, Look look)
{
    FormCell& cell = at(row, col);
    cell.text = text;
    cell.look = look;
    cell.number = false;
}

void FormCells::number(int row, int col, double value, Look look)
{
    FormCell& cell = at(row, col);
    cell.text = SheetNumberText(value, look);
    cell.look = look;
    cell.number = true;
}

void FormCells::blank(int row, int col, Look look)
{
    FormCell& cell = at(row, col);
    cell.text.clear();
    cell.look = look;
    cell.number = false;
}

} // namespace kvor
