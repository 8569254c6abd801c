#pragma once
// The cells of the grid control: text, colours and alignment of every cell.

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

namespace kvor {

// Cell alignments as the grid numbers them: 0-2 left (top, centre, bottom), 3-5 centre,
// 6-8 right, 9 general (text left, numbers right); all of ours are vertically centred.
enum FlexAlign : int
{
    flexAlignLeftTop = 0,
    flexAlignLeftCenter = 1,
    flexAlignLeftBottom = 2,
    flexAlignCenterTop = 3,
    flexAlignCenterCenter = 4,
    flexAlignCenterBottom = 5,
    flexAlignRightTop = 6,
    flexAlignRightCenter = 7,
    flexAlignRightBottom = 8,
    flexAlignGeneral = 9,
};

Qt::Alignment ToQtAlignment(int flexAlign, const QString& text);

class FlexGridModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit FlexGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setRowCount(int rows);
    void setColumnCount(int cols);
    void setFixed(int rows, int cols);

    const QString& text(int r, int c) const { return cell(r, c).text; }
    void setText(int r, int c, const QString& text);
    void clearAll();

    QColor foreColor(int r, int c) const;
    void setForeColor(int r, int c, const QColor& color);
    QColor backColor(int r, int c) const;
    void setBackColor(int r, int c, const QColor& color);
    int alignment(int r, int c) const; // the cell's own, else its column's
    void setAlignment(int r, int c, int flexAlign);
    int columnAlignment(int c) const;
    void setColumnAlignment(int c, int flexAlign);

    static const QColor kDefaultFore;

private:
    struct Cell
    {
        QString text;
        QColor fore; // invalid: the grid's default
        QColor back;
        signed char align = -1;
    };

    Cell& cell(int r, int c) { return m_cells[static_cast<size_t>(r) * m_cols + c]; }
    const Cell& cell(int r, int c) const { return m_cells[static_cast<size_t>(r) * m_cols + c]; }
    void changed(int r, int c, const QList<int>& roles);

    std::vector<Cell> m_cells;
    std::vector<int> m_colAlign;
    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
};

} // namespace kvor
