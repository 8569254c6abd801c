#pragma once
// The printed form kept as the cells its sheet receives, for drawing it without a spreadsheet: the
// same texts in the same places, the looks, the merged blocks and the sizes the form asks for.

#include "printout/PrintedForm.h"

#include <QString>
#include <array>
#include <vector>

namespace kvor {

struct FormCell
{
    QString text; // as the sheet shows it; amounts with two decimals
    Look look = Look::Plain;
    bool number = false;  // written as a number: right-aligned where the look does not say
    bool covered = false; // inside a merged block that another cell opens
    int rowSpan = 1;      // of the merged block this cell opens
    int colSpan = 1;
};

class FormCells final : public FormSheet
{
public:
    static constexpr int kColumns = grid::kCols; // A to G

    explicit FormCells(const PrintoutInput& input) { WriteForm(input, *this); }

    // Sheet rows count from 1; row(r) for 1 <= r <= rowCount().
    int rowCount() const { return int(m_rows.size()); }
    const std::array<FormCell, kColumns>& row(int r) const { return m_rows[size_t(r - 1)]; }
    // In characters of the sheet's standard font.
    double columnWidth(int col) const { return m_widths[size_t(col - 1)]; }
    // A height the form sets, as a multiple of the default row height; 0 where none is set.
    double rowHeightFactor(int r) const;
    const PageLayout& layout() const { return m_layout; }

    // Every text the sheet shows, row by row from left to right.
    QStringList texts() const;

    void page(const PageLayout& layout) override { m_layout = layout; }
    void columnWidth(int col, double characters) override;
    void rowHeight(int row, double points) override;
    void merge(int top, int left, int bottom, int right) override;
    void text(int row, int col, const QString& text, Look look) override;
    void number(int row, int col, double value, Look look) override;
    void blank(int row, int col, Look look) override;

private:
    FormCell& at(int row, int col);

    std::vector<std::array<FormCell, kColumns>> m_rows;
    std::array<double, kColumns> m_widths{};
    std::vector<std::pair<int, double>> m_heights;
    PageLayout m_layout{};
};

// A number as its cell shows it: amounts in the form's format "0.00" and other numbers as they
// are, with the decimal comma of a Bulgarian desktop.
QString SheetNumberText(double value, Look look);

} // namespace kvor
