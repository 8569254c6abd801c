#include "gui/FlexGrid.h"

#include "gui/Twips.h"
#include "gui/VirtualKeys.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace kvor {

// The body's selection model: every change of the current cell that the view makes on behalf of
// the user (keys, clicks, focus) goes through the grid, which raises LeaveCell and EnterCell.
class FlexSelectionModel final : public QItemSelectionModel
{
public:
    FlexSelectionModel(QAbstractItemModel* model, FlexGrid* grid)
        : QItemSelectionModel(model, grid), m_grid(grid)
    {}

    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override
    {
        if (m_grid->m_syncing || !index.isValid()) {
            QItemSelectionModel::setCurrentIndex(index, command);
            return;
        }
        m_grid->moveCurrent(index.row(), index.column());
    }

private:
    FlexGrid* m_grid;
};

namespace {

constexpr int kDefaultColWidthPx = 64;

// Draws the current cell with a frame instead of a filled selection, so that the colours of its
// figure (red for a figure that disagrees with the previous month) stay visible.
class CurrentCellDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QStyledItemDelegate::paint(painter, plain, index);
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        if (view && view->currentIndex() == index) {
            painter->save();
            const bool focused = view->hasFocus();
            QPen pen(option.palette.color(QPalette::Highlight), focused ? 2 : 1);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
            painter->restore();
        }
    }
};

QTableView* makeView(QWidget* parent, FlexGridModel* model)
{
    auto* v = new QTableView(parent);
    v->setModel(model);
    v->horizontalHeader()->hide();
    v->verticalHeader()->hide();
    v->horizontalHeader()->setMinimumSectionSize(1);
    v->verticalHeader()->setMinimumSectionSize(1);
    v->horizontalHeader()->setDefaultSectionSize(kDefaultColWidthPx);
    v->setFrameShape(QFrame::NoFrame);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionMode(QAbstractItemView::NoSelection);
    v->setTabKeyNavigation(false);
    v->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    v->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setWordWrap(false);
    v->setTextElideMode(Qt::ElideNone);
    v->setCornerButtonEnabled(false);
    return v;
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QFrame(parent), m_model(new FlexGridModel(this))
{
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);

    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    for (int q = 0; q < kQuadrants; ++q) {
        m_views[q] = makeView(this, m_model);
        m_views[q]->verticalHeader()->setDefaultSectionSize(defaultRowHeightPx());
        if (q != kBody) {
            m_views[q]->setFocusPolicy(Qt::NoFocus);
            m_views[q]->viewport()->installEventFilter(this);
        }
    }
    QTableView* body = m_views[kBody];
    body->setSelectionModel(new FlexSelectionModel(m_model, this));
    body->setFocusPolicy(Qt::StrongFocus);
    body->setSelectionMode(QAbstractItemView::NoSelection);
    body->setItemDelegate(new CurrentCellDelegate(body));
    body->installEventFilter(this);
    setFocusProxy(body);

    m_hbar = new QScrollBar(Qt::Horizontal, this);
    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_hbar->setFocusPolicy(Qt::NoFocus);
    m_vbar->setFocusPolicy(Qt::NoFocus);
    m_hbar->hide();
    m_vbar->hide();

    m_layout->addWidget(m_views[kCorner], 0, 0);
    m_layout->addWidget(m_views[kTop], 0, 1);
    m_layout->addWidget(m_views[kLeft], 1, 0);
    m_layout->addWidget(body, 1, 1);
    m_layout->addWidget(m_vbar, 1, 2);
    m_layout->addWidget(m_hbar, 2, 1);
    m_layout->setRowStretch(1, 1);
    m_layout->setColumnStretch(1, 1);

    QScrollBar* bh = body->horizontalScrollBar();
    QScrollBar* bv = body->verticalScrollBar();
    connect(bh, &QScrollBar::rangeChanged, this, &FlexGrid::syncScrollBars);
    connect(bv, &QScrollBar::rangeChanged, this, &FlexGrid::syncScrollBars);
    connect(bh, &QScrollBar::valueChanged, this, [this](int v) {
        m_hbar->setValue(v);
        m_views[kTop]->horizontalScrollBar()->setValue(v);
        emit Scroll();
    });
    connect(bv, &QScrollBar::valueChanged, this, [this](int v) {
        m_vbar->setValue(v);
        m_views[kLeft]->verticalScrollBar()->setValue(v);
        emit Scroll();
    });
    // The fixed parts follow the body also when their own range is recomputed later.
    connect(m_views[kTop]->horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        m_views[kTop]->horizontalScrollBar()->setValue(
            m_views[kBody]->horizontalScrollBar()->value());
    });
    connect(m_views[kLeft]->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        m_views[kLeft]->verticalScrollBar()->setValue(m_views[kBody]->verticalScrollBar()->value());
    });
    connect(m_hbar, &QScrollBar::valueChanged, bh, &QScrollBar::setValue);
    connect(m_vbar, &QScrollBar::valueChanged, bv, &QScrollBar::setValue);
    connect(body, &QAbstractItemView::doubleClicked, this, [this] { emit DblClick(); });

    connect(this, &QObject::objectNameChanged, this, [this](const QString& n) {
        if (m_caption.isEmpty()) {
            nameViews(n);
        }
    });

    // The control's own defaults: two rows and two columns, the first of each fixed.
    setCols(2);
    setRows(2);
    setFixedRows(1);
    setFixedCols(1);
    m_row = 1;
    m_col = 1;
    syncCurrentIndex();
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::setAccessibleCaption(const QString& name)
{
    m_caption = name;
    setAccessibleName(name);
    nameViews(name);
}

void FlexGrid::nameViews(const QString& n)
{
    m_views[kBody]->setAccessibleName(n);
    m_views[kTop]->setAccessibleName(n + QStringLiteral(" – заглавие"));
    m_views[kLeft]->setAccessibleName(n + QStringLiteral(" – заключена колона"));
    m_views[kCorner]->setAccessibleName(n + QStringLiteral(" – ъгъл"));
}

QSize FlexGrid::sizeHint() const
{
    return {400, 200};
}

int FlexGrid::defaultRowHeightPx() const
{
    return fontMetrics().height() + 6;
}

// --- shape ----------------------------------------------------------------------------------

void FlexGrid::setRows(int rows)
{
    rows = std::max(0, rows);
    const int old = Rows();
    if (rows == old) {
        return;
    }
    m_model->setRowCount(rows);
    m_rowHeightPx.resize(rows, -1);
    m_mergeRow.resize(rows, false);
    if (m_fixedRows > rows) {
        m_fixedRows = rows;
        m_model->setFixed(m_fixedRows, m_fixedCols);
    }
    applyQuadrants(std::min(old, rows));
    if (m_row >= rows) {
        m_row = std::max(0, rows - 1);
    }
    syncCurrentIndex();
    applyFixedSizes();
    if (std::min(old, rows) < m_fixedRows || rows < old) {
        spansChanged();
    }
}

void FlexGrid::setCols(int cols)
{
    cols = std::max(0, cols);
    if (cols == Cols()) {
        return;
    }
    m_model->setColumnCount(cols);
    m_colWidthPx.resize(cols, -1);
    m_mergeCol.resize(cols, false);
    if (m_fixedCols > cols) {
        m_fixedCols = cols;
        m_model->setFixed(m_fixedRows, m_fixedCols);
    }
    if (m_col >= cols) {
        m_col = std::max(0, cols - 1);
    }
    // A new column count resets the views: every size and hidden state is put back.
    for (QTableView* v : m_views) {
        for (int r = 0; r < Rows(); ++r) {
            if (m_rowHeightPx[r] >= 0) {
                v->setRowHeight(r, m_rowHeightPx[r]);
            }
        }
        for (int c = 0; c < cols; ++c) {
            v->setColumnWidth(c, m_colWidthPx[c] >= 0 ? m_colWidthPx[c] : kDefaultColWidthPx);
        }
    }
    applyQuadrants(0);
    syncCurrentIndex();
    applyFixedSizes();
    spansChanged();
}

void FlexGrid::setFixedRows(int rows)
{
    rows = std::clamp(rows, 0, Rows());
    if (rows == m_fixedRows) {
        return;
    }
    m_fixedRows = rows;
    m_model->setFixed(m_fixedRows, m_fixedCols);
    applyQuadrants(0);
    syncCurrentIndex();
    applyFixedSizes();
    spansChanged();
}

void FlexGrid::setFixedCols(int cols)
{
    cols = std::clamp(cols, 0, Cols());
    if (cols == m_fixedCols) {
        return;
    }
    m_fixedCols = cols;
    m_model->setFixed(m_fixedRows, m_fixedCols);
    applyQuadrants(0);
    syncCurrentIndex();
    applyFixedSizes();
    spansChanged();
}

void FlexGrid::applyQuadrants(int fromRow)
{
    for (int q = 0; q < kQuadrants; ++q) {
        QTableView* v = m_views[q];
        const bool fixedRowPart = (q == kCorner || q == kTop);
        const bool fixedColPart = (q == kCorner || q == kLeft);
        for (int r = fromRow; r < Rows(); ++r) {
            const bool hide = fixedRowPart ? r >= m_fixedRows : r < m_fixedRows;
            if (v->isRowHidden(r) != hide) {
                v->setRowHidden(r, hide);
            }
        }
        for (int c = 0; c < Cols(); ++c) {
            const bool hide = fixedColPart ? c >= m_fixedCols : c < m_fixedCols;
            if (v->isColumnHidden(c) != hide) {
                v->setColumnHidden(c, hide);
            }
        }
    }
}

void FlexGrid::applyFixedSizes()
{
    int height = 0;
    for (int r = 0; r < m_fixedRows; ++r) {
        height += m_rowHeightPx[r] >= 0 ? m_rowHeightPx[r] : defaultRowHeightPx();
    }
    int width = 0;
    for (int c = 0; c < m_fixedCols; ++c) {
        width += m_colWidthPx[c] >= 0 ? m_colWidthPx[c] : kDefaultColWidthPx;
    }
    m_views[kTop]->setFixedHeight(height);
    m_views[kCorner]->setFixedSize(width, height);
    m_views[kLeft]->setFixedWidth(width);
    m_views[kTop]->setVisible(height > 0);
    m_views[kCorner]->setVisible(height > 0 && width > 0);
    m_views[kLeft]->setVisible(width > 0);
    // Cell positions are read right after such changes: the layout must not wait for the loop.
    m_layout->activate();
}

// --- current cell -----------------------------------------------------------------------------

void FlexGrid::setRow(int row)
{
    moveCurrent(row, m_col);
}

void FlexGrid::setCol(int col)
{
    moveCurrent(m_row, col);
}

void FlexGrid::moveCurrent(int row, int col)
{
    if (Rows() == 0 || Cols() == 0) {
        return;
    }
    row = std::clamp(row, 0, Rows() - 1);
    col = std::clamp(col, 0, Cols() - 1);
    if (row == m_row && col == m_col) {
        syncCurrentIndex();
        return;
    }
    m_cancelMove = false;
    emit LeaveCell();
    if (m_cancelMove) {
        m_cancelMove = false;
        syncCurrentIndex();
        return;
    }
    // The handler may have changed the shape; the target is checked again.
    if (Rows() == 0 || Cols() == 0) {
        return;
    }
    m_row = std::clamp(row, 0, Rows() - 1);
    m_col = std::clamp(col, 0, Cols() - 1);
    syncCurrentIndex();
    emit EnterCell();
}

void FlexGrid::syncCurrentIndex()
{
    QTableView* body = m_views[kBody];
    QItemSelectionModel* sm = body->selectionModel();
    m_syncing = true;
    if (m_row >= m_fixedRows && m_col >= m_fixedCols && m_row < Rows() && m_col < Cols()) {
        const QModelIndex index = m_model->index(m_row, m_col);
        if (sm->currentIndex() != index) {
            // Walks the program makes with drawing switched off do not scroll the grid.
            const bool autoScroll = body->hasAutoScroll();
            body->setAutoScroll(m_redraw && autoScroll);
            sm->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            body->setAutoScroll(autoScroll);
        }
    } else if (sm->currentIndex().isValid()) {
        sm->clearCurrentIndex();
        sm->clearSelection();
    }
    m_syncing = false;
}

// --- cells ----------------------------------------------------------------------------------

QString FlexGrid::TextMatrix(int row, int col) const
{
    if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) {
        return {};
    }
    return m_model->text(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) {
        return;
    }
    m_model->setText(row, col, text);
    if (row < m_fixedRows && m_mergeCells != 0) {
        spansChanged();
    }
}

void FlexGrid::Clear()
{
    m_model->clearAll();
    spansChanged();
}

void FlexGrid::setCellAlignment(int flexAlign)
{
    m_model->setAlignment(m_row, m_col, flexAlign);
}

void FlexGrid::setCellBackColor(const QColor& color)
{
    m_model->setBackColor(m_row, m_col, color);
}

void FlexGrid::setCellForeColor(const QColor& color)
{
    m_model->setForeColor(m_row, m_col, color);
}

int FlexGrid::ColWidth(int col) const
{
    if (col < 0 || col >= Cols()) {
        return 0;
    }
    return PixelsToTwipsX(m_colWidthPx[col] >= 0 ? m_colWidthPx[col] : kDefaultColWidthPx, this);
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= Cols()) {
        return;
    }
    const int px = std::max(0, TwipsToPixelsX(twips, this));
    m_colWidthPx[col] = px;
    for (QTableView* v : m_views) {
        v->setColumnWidth(col, px);
    }
    if (col < m_fixedCols) {
        applyFixedSizes();
    }
}

int FlexGrid::RowHeight(int row) const
{
    if (row < 0 || row >= Rows()) {
        return 0;
    }
    return PixelsToTwipsY(m_rowHeightPx[row] >= 0 ? m_rowHeightPx[row] : defaultRowHeightPx(),
                          this);
}

void FlexGrid::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= Rows()) {
        return;
    }
    const int px = std::max(0, TwipsToPixelsY(twips, this));
    m_rowHeightPx[row] = px;
    for (QTableView* v : m_views) {
        v->setRowHeight(row, px);
    }
    if (row < m_fixedRows) {
        applyFixedSizes();
    }
}

void FlexGrid::setWordWrap(bool on)
{
    m_wordWrap = on;
    for (QTableView* v : m_views) {
        v->setWordWrap(on);
        v->setTextElideMode(on ? Qt::ElideRight : Qt::ElideNone);
    }
}

void FlexGrid::setRedraw(bool on)
{
    if (on == m_redraw) {
        return;
    }
    m_redraw = on;
    setUpdatesEnabled(on);
    if (on) {
        if (m_spansDirty) {
            recomputeSpans();
        }
        update();
    }
}

// --- merging ----------------------------------------------------------------------------------

void FlexGrid::setMergeCells(int mode)
{
    m_mergeCells = mode;
    spansChanged();
}

bool FlexGrid::MergeRow(int row) const
{
    return row >= 0 && row < static_cast<int>(m_mergeRow.size()) && m_mergeRow[row];
}

void FlexGrid::setMergeRow(int row, bool on)
{
    if (row < 0 || row >= Rows()) {
        return;
    }
    m_mergeRow[row] = on;
    spansChanged();
}

bool FlexGrid::MergeCol(int col) const
{
    return col >= 0 && col < static_cast<int>(m_mergeCol.size()) && m_mergeCol[col];
}

void FlexGrid::setMergeCol(int col, bool on)
{
    if (col < 0 || col >= Cols()) {
        return;
    }
    m_mergeCol[col] = on;
    spansChanged();
}

void FlexGrid::spansChanged()
{
    m_spansDirty = true;
    if (m_redraw) {
        recomputeSpans();
    }
}

void FlexGrid::recomputeSpans()
{
    m_spansDirty = false;
    for (QTableView* v : m_views) {
        v->clearSpans();
    }
    if (m_mergeCells == 0) {
        return;
    }
    const int rows = std::min(m_fixedRows, Rows());
    const int cols = Cols();
    std::vector<bool> taken(static_cast<size_t>(rows) * cols, false);
    auto at = [&](int r, int c) { return taken[static_cast<size_t>(r) * cols + c]; };
    auto take = [&](int r, int c) { taken[static_cast<size_t>(r) * cols + c] = true; };
    auto sameSide = [&](int c1, int c2) { return (c1 < m_fixedCols) == (c2 < m_fixedCols); };

    for (int r = 0; r < rows; ++r) {
        if (!MergeRow(r)) {
            continue;
        }
        for (int c = 0; c < cols;) {
            const QString& t = m_model->text(r, c);
            int end = c + 1;
            while (!t.isEmpty() && end < cols && sameSide(c, end) && m_model->text(r, end) == t) {
                ++end;
            }
            if (end - c > 1) {
                viewOf(r, c)->setSpan(r, c, 1, end - c);
                for (int k = c; k < end; ++k) {
                    take(r, k);
                }
            }
            c = end;
        }
    }
    for (int c = 0; c < cols; ++c) {
        if (!MergeCol(c)) {
            continue;
        }
        for (int r = 0; r < rows;) {
            const QString& t = m_model->text(r, c);
            int end = r + 1;
            while (!at(r, c) && !t.isEmpty() && end < rows && !at(end, c) &&
                   m_model->text(end, c) == t) {
                ++end;
            }
            if (end - r > 1) {
                viewOf(r, c)->setSpan(r, c, end - r, 1);
                for (int k = r; k < end; ++k) {
                    take(k, c);
                }
            }
            r = end;
        }
    }
}

QTableView* FlexGrid::viewOf(int row, int col) const
{
    const bool fixedRow = row < m_fixedRows;
    const bool fixedCol = col < m_fixedCols;
    if (fixedRow) {
        return fixedCol ? m_views[kCorner] : m_views[kTop];
    }
    return fixedCol ? m_views[kLeft] : m_views[kBody];
}

// --- geometry ---------------------------------------------------------------------------------

QRect FlexGrid::currentRect() const
{
    if (m_row >= Rows() || m_col >= Cols()) {
        return {};
    }
    QTableView* v = viewOf(m_row, m_col);
    const QRect r = v->visualRect(m_model->index(m_row, m_col));
    return QRect(v->viewport()->mapTo(this, r.topLeft()), r.size());
}

int FlexGrid::CellLeft() const
{
    return PixelsToTwipsX(currentRect().left(), this);
}

int FlexGrid::CellTop() const
{
    return PixelsToTwipsY(currentRect().top(), this);
}

int FlexGrid::CellWidth() const
{
    return PixelsToTwipsX(currentRect().width(), this);
}

int FlexGrid::CellHeight() const
{
    return PixelsToTwipsY(currentRect().height(), this);
}

int FlexGrid::Left() const
{
    return PixelsToTwipsX(x(), this);
}

int FlexGrid::Top() const
{
    return PixelsToTwipsY(y(), this);
}

int FlexGrid::Width() const
{
    return PixelsToTwipsX(width(), this);
}

int FlexGrid::Height() const
{
    return PixelsToTwipsY(height(), this);
}

void FlexGrid::Move(int left, int top, int width, int height)
{
    MoveTwips(this, left, top, width, height);
}

void FlexGrid::SetFocus()
{
    m_views[kBody]->setFocus(Qt::OtherFocusReason);
}

void FlexGrid::PostKeyDown(int keyCode, int shift)
{
    const Qt::Key key = vk::QtKey(keyCode);
    if (key == Qt::Key_unknown) {
        return;
    }
    QString text;
    if (keyCode == vk::Return) {
        text = QStringLiteral("\r");
    } else if (keyCode == vk::Space || (keyCode >= '0' && keyCode <= '9')) {
        text = QChar(keyCode);
    }
    QCoreApplication::postEvent(m_views[kBody],
                                new QKeyEvent(QEvent::KeyPress, key, vk::QtModifiers(shift), text));
}

// --- events -----------------------------------------------------------------------------------

bool FlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    QTableView* body = m_views[kBody];
    if (watched == body) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(event);
            if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
                return false;
            }
            int keyCode = vk::KeyCode(ke);
            emit KeyDown(keyCode, vk::ShiftState(ke->modifiers()));
            if (keyCode == 0) {
                return true;
            }
            int keyAscii = vk::KeyAscii(ke);
            if (keyAscii >= 0) {
                emit KeyPress(keyAscii);
            }
            // Only the navigation keys reach the view, which moves the current cell.
            return !vk::IsNavigation(keyCode);
        }
        case QEvent::FocusIn:
            emit GotFocus();
            return false;
        case QEvent::Resize:
            syncScrollBars();
            return false;
        default:
            return false;
        }
    }
    // The fixed parts only show the headings: clicks and the wheel there change nothing.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

void FlexGrid::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    syncScrollBars();
}

void FlexGrid::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        for (QTableView* v : m_views) {
            v->setFont(font());
            v->verticalHeader()->setDefaultSectionSize(defaultRowHeightPx());
        }
        applyFixedSizes();
    }
}

void FlexGrid::syncScrollBars()
{
    QTableView* body = m_views[kBody];
    auto mirror = [](QScrollBar* to, const QScrollBar* from) {
        const QSignalBlocker block(to);
        to->setRange(from->minimum(), from->maximum());
        to->setPageStep(from->pageStep());
        to->setSingleStep(from->singleStep());
        to->setValue(from->value());
        to->setVisible(from->maximum() > from->minimum());
    };
    mirror(m_hbar, body->horizontalScrollBar());
    mirror(m_vbar, body->verticalScrollBar());
    m_views[kTop]->horizontalScrollBar()->setValue(body->horizontalScrollBar()->value());
    m_views[kLeft]->verticalScrollBar()->setValue(body->verticalScrollBar()->value());
}

} // namespace kvor
