#pragma once
// The texts of a grid, as the code that stores or prints a report reads them.

#include <QString>
#include <vector>

namespace kvor {

class GridText
{
public:
    virtual ~GridText() = default;
    virtual int Rows() const = 0;
    virtual int Cols() const = 0;
    virtual QString TextMatrix(int row, int col) const = 0;
};

// A grid whose texts can be written.
class EditableGridText : public GridText
{
public:
    virtual void setTextMatrix(int row, int col, const QString& text) = 0;
};

// A grid held in memory, for code that runs without the editor.
class TextTable final : public EditableGridText
{
public:
    TextTable(int rows, int cols) : m_rows(rows), m_cols(cols), m_cells(size_t(rows) * cols) {}
    int Rows() const override { return m_rows; }
    int Cols() const override { return m_cols; }
    QString TextMatrix(int row, int col) const override
    {
        return inside(row, col) ? m_cells[size_t(row) * m_cols + col] : QString();
    }
    void setTextMatrix(int row, int col, const QString& text) override
    {
        if (inside(row, col)) {
            m_cells[size_t(row) * m_cols + col] = text;
        }
    }

private:
    bool inside(int row, int col) const
    {
        return row >= 0 && col >= 0 && row < m_rows && col < m_cols;
    }

    int m_rows;
    int m_cols;
    std::vector<QString> m_cells;
};

} // namespace kvor
