#pragma once
// The grid control of the report editor. Its members and events keep the names and the order
// the editor's handlers were written against: setting Row or Col raises LeaveCell while the old
// cell is still current and then EnterCell, before returning; a key posted to the grid is handled
// after the running handler returns and moves the current cell like a real key.
//
// Fixed rows and columns stay in view while the rest scrolls and can never be made current by the
// user. The grid is four table views over one model (the fixed corner, the fixed rows, the fixed
// columns and the scrolling body), so that screen readers see every cell.
//
// Sizes and positions are in twips; colours are RGB values.

#include "gui/FlexGridModel.h"
#include "core/GridText.h"

#include <QFrame>
#include <QTableView>
#include <array>
#include <vector>

class QScrollBar;
class QGridLayout;

namespace kvor {

class FlexGrid final : public QFrame, public EditableGridText
{
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    int Rows() const override { return m_model->rowCount(); }
    void setRows(int rows);
    int Cols() const override { return m_model->columnCount(); }
    void setCols(int cols);
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int rows);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int cols);

    int Row() const { return m_row; }
    void setRow(int row);
    int Col() const { return m_col; }
    void setCol(int col);

    QString TextMatrix(int row, int col) const override;
    void setTextMatrix(int row, int col, const QString& text) override;
    QString Text() const { return TextMatrix(m_row, m_col); }
    void setText(const QString& text) { setTextMatrix(m_row, m_col, text); }
    void Clear();

    int ColAlignment(int col) const { return m_model->columnAlignment(col); }
    void setColAlignment(int col, int flexAlign) { m_model->setColumnAlignment(col, flexAlign); }
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    int RowHeight(int row) const;
    void setRowHeight(int row, int twips);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // Merging of equal texts: only ever in the fixed rows, so figures of different rows are
    // never drawn as one cell. Horizontally in rows whose MergeRow is set, vertically in columns
    // whose MergeCol is set; nothing at all while MergeCells is 0.
    int MergeCells() const { return m_mergeCells; }
    void setMergeCells(int mode);
    bool MergeRow(int row) const;
    void setMergeRow(int row, bool on);
    bool MergeCol(int col) const;
    void setMergeCol(int col, bool on);

    // The current cell's own properties.
    int CellAlignment() const { return m_model->alignment(m_row, m_col); }
    void setCellAlignment(int flexAlign);
    QColor CellBackColor() const { return m_model->backColor(m_row, m_col); }
    void setCellBackColor(const QColor& color);
    QColor CellForeColor() const { return m_model->foreColor(m_row, m_col); }
    void setCellForeColor(const QColor& color);
    // The current cell's rectangle inside the control.
    int CellLeft() const;
    int CellTop() const;
    int CellWidth() const;
    int CellHeight() const;

    // The control as a window, relative to its parent.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Move(int left, int top, int width, int height);
    void SetFocus();

    // Called from a LeaveCell handler: the current cell stays where it is and no EnterCell
    // follows. The editor uses it while a figure it refused is still being corrected.
    void CancelPendingMove() { m_cancelMove = true; }

    // Posts a key-down to the grid: handled after the running handler returns.
    void PostKeyDown(int keyCode, int shift = 0);

    // The name screen readers give the grid; its fixed parts are named after it. Until it is set
    // the object name is used.
    void setAccessibleCaption(const QString& name);

    FlexGridModel* model() const { return m_model; }
    // The scrolling part, which holds the keyboard focus and the current cell.
    QTableView* body() const { return m_views[kBody]; }
    QTableView* fixedRowsView() const { return m_views[kTop]; }

    QSize sizeHint() const override;

signals:
    void EnterCell();
    void LeaveCell();
    void KeyPress(int& keyAscii);
    void KeyDown(int& keyCode, int shift);
    void DblClick();
    void GotFocus();
    void Scroll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class FlexSelectionModel;
    enum Quadrant
    {
        kCorner,
        kTop,
        kLeft,
        kBody,
        kQuadrants
    };

    void moveCurrent(int row, int col);
    void syncCurrentIndex();
    void applyQuadrants(int fromRow);
    void applyFixedSizes();
    void recomputeSpans();
    void spansChanged();
    void syncScrollBars();
    QTableView* viewOf(int row, int col) const;
    QRect currentRect() const;
    int defaultRowHeightPx() const;
    void nameViews(const QString& n);

    FlexGridModel* m_model;
    std::array<QTableView*, kQuadrants> m_views{};
    QScrollBar* m_hbar = nullptr;
    QScrollBar* m_vbar = nullptr;
    QGridLayout* m_layout = nullptr;

    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_row = 0;
    int m_col = 0;
    bool m_redraw = true;
    bool m_wordWrap = false;
    bool m_syncing = false;
    bool m_cancelMove = false;
    QString m_caption;
    bool m_spansDirty = false;
    int m_mergeCells = 0;
    std::vector<bool> m_mergeRow;
    std::vector<bool> m_mergeCol;
    std::vector<int> m_rowHeightPx; // -1: default
    std::vector<int> m_colWidthPx;
};

} // namespace kvor
