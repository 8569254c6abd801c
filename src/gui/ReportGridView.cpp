#include "gui/ReportGridView.h"

#include "core/Messages.h"
#include "core/Platform.h"
#include "gui/ReportHeader.h"
#include "gui/ReportTableModel.h"
#include "gui/UserPrompts.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

namespace kvor {

namespace {

constexpr int kRowLines = 2; // a caption wraps onto a second line before it is cut
constexpr int kRowPadding = 6;
constexpr int kMinCaptionWidth = 240;
constexpr int kSmallestCaptionWidth = 150;
constexpr int kColumnPadding = 18;
constexpr int kEditorInset = 1;

bool IsKeypadDecimal(const QKeyEvent* e)
{
    if (!(e->modifiers() & Qt::KeypadModifier)) {
        return false;
    }
    const int k = e->key();
    return k == Qt::Key_Period || k == Qt::Key_Comma || k == Qt::Key_Delete;
}

constexpr const char* kFilledProperty = "kvorFilled";

} // namespace

// The in-place editor; its keys and focus are handled by the view, never by Qt's own commit and
// close, so that a refused figure keeps it open.
class CellDelegate final : public QStyledItemDelegate
{
public:
    explicit CellDelegate(ReportGridView* view) : QStyledItemDelegate(view), m_view(view) {}

    // The text the next editor opens with instead of the cell's: the character that opened it.
    void setStartText(std::optional<QString> text) { m_start = std::move(text); }
    // Whether the last figure handed to the model was accepted.
    bool accepted() const { return m_accepted; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override
    {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QStringLiteral("txtEdit"));
        e->setAccessibleName(QStringLiteral("Редактиране на сума"));
        e->setFrame(false);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return e;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        // Filled once when it opens: later changes of the cell (its colour) keep what is typed.
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line || line->property(kFilledProperty).toBool()) {
            return;
        }
        line->setProperty(kFilledProperty, true);
        const QString text = m_start ? *m_start : index.data(Qt::EditRole).toString();
        line->setText(text);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        m_accepted = line && model->setData(index, line->text(), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override
    {
        editor->setGeometry(
            option.rect.adjusted(kEditorInset, kEditorInset, -kEditorInset, -kEditorInset));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!qobject_cast<QLineEdit*>(watched)) {
            return false;
        }
        switch (event->type()) {
        case QEvent::KeyPress:
            return m_view->editorKeyPressed(static_cast<QKeyEvent*>(event));
        case QEvent::FocusOut: {
            // Another application taking the focus, a menu or a message box is no reason to
            // commit.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                m_view->editorFocusLost();
            }
            return false;
        }
        default:
            return false;
        }
    }

private:
    ReportGridView* m_view;
    std::optional<QString> m_start;
    mutable bool m_accepted = false;
};

// The caption column drawn over the scrolled table while it is locked.
class LockedCaptions final : public QWidget
{
public:
    explicit LockedCaptions(ReportGridView* view) : QWidget(view), m_view(view) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        m_view->paintLockedCaptions(&p);
    }
    // The captions cannot be made current while they are locked.
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }

private:
    ReportGridView* m_view;
};

ReportGridView::ReportGridView(QWidget* parent)
    : QTableView(parent), m_header(new ReportHeader(this)),
      m_lockedCaptions(new LockedCaptions(this))
{
    setHorizontalHeader(m_header);
    m_header->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() * kRowLines + kRowPadding);
    m_delegate = new CellDelegate(this);
    setItemDelegate(m_delegate);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    // Shift with the moving keys and mouse drags select a block for copying.
    setSelectionMode(ContiguousSelection);
    setSelectionBehavior(SelectItems);
    setHorizontalScrollMode(ScrollPerPixel);
    setWordWrap(true);
    m_lockedCaptions->hide();
}

void ReportGridView::setReportModel(ReportTableModel* model)
{
    m_model = model;
    setModel(model);
    fitColumns();
}

// --- the in-place editor ------------------------------------------------------------------

void ReportGridView::openEditor(std::optional<QString> text)
{
    m_editing = currentIndex();
    m_model->setEditing(m_editing);
    m_delegate->setStartText(std::move(text));
    openPersistentEditor(m_editing);
    m_delegate->setStartText(std::nullopt);
    m_editor = qobject_cast<QLineEdit*>(indexWidget(m_editing));
    if (!m_editor) {
        m_editing = QPersistentModelIndex();
        m_model->setEditing({});
        return;
    }
    const auto typed = [this] {
        emit edited();
        if (m_editor) {
            QPalette p = m_editor->palette();
            p.setColor(QPalette::Text, ReportTableModel::kRed);
            m_editor->setPalette(p);
        }
    };
    // The view selects an opened editor's text; typing goes on after it instead.
    m_editor->setCursorPosition(static_cast<int>(m_editor->text().size()));
    connect(m_editor, &QLineEdit::textChanged, this, typed);
    if (!m_editor->text().isEmpty()) {
        typed();
    }
    m_editor->setFocus(Qt::OtherFocusReason);
}

void ReportGridView::dropEditor()
{
    if (!m_editor) {
        return;
    }
    const QPersistentModelIndex index = m_editing;
    const bool focused = m_editor->hasFocus();
    m_editor = nullptr;
    m_editing = QPersistentModelIndex();
    if (focused) {
        // The cursor goes back to the table rather than to whatever follows the editor.
        setFocus(Qt::OtherFocusReason);
    }
    closePersistentEditor(index);
    m_model->setEditing({});
}

bool ReportGridView::commitEditor()
{
    if (!m_editor) {
        return true;
    }
    m_delegate->setModelData(m_editor, m_model, m_editing);
    if (m_delegate->accepted()) {
        dropEditor();
        return true;
    }
    // One action (a click on another cell, a key) may leave the editor twice; the user is told
    // once.
    if (!m_refusalShown) {
        m_refusalShown = true;
        prompts().showMessage(msg::kEnterNumber, MsgButtons::Ok, MsgIcon::Critical,
                              msg::kTitleWarning);
        // The focus change that led here is still under way; the editor takes the focus back
        // once it is over.
        QTimer::singleShot(0, this, [this] {
            m_refusalShown = false;
            if (m_editor) {
                m_editor->setFocus(Qt::OtherFocusReason);
                m_editor->selectAll();
            }
        });
    }
    if (m_editor) {
        m_editor->selectAll();
        m_editor->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

bool ReportGridView::editorKeyPressed(QKeyEvent* event)
{
    const auto moveOn = [this](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        if (commitEditor()) {
            QKeyEvent move(QEvent::KeyPress, key, modifiers);
            QTableView::keyPressEvent(&move);
        }
        return true;
    };
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return moveOn(Qt::Key_Down, Qt::NoModifier);
    case Qt::Key_Escape:
        // The cell keeps its text and colour, the cursor its place.
        dropEditor();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return moveOn(Qt::Key(event->key()), event->modifiers() & ~Qt::KeypadModifier);
    case Qt::Key_Home:
    case Qt::Key_End:
        // Without Ctrl they move the caret in the editor.
        if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            return moveOn(Qt::Key(event->key()), Qt::ControlModifier);
        }
        return false;
    default:
        return false;
    }
}

void ReportGridView::editorFocusLost()
{
    commitEditor();
}

// --- keys and the mouse on the table --------------------------------------------------------

void ReportGridView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    const bool editable = m_model && m_model->isEditable(current);
    const int key = event->key();
    // The Menu key comes back as a context menu event.
    if ((key >= Qt::Key_F2 && key <= Qt::Key_F35) || key == Qt::Key_Menu) {
        event->ignore();
        return;
    }
    // Delete and the keypad's decimal point do nothing on a cell.
    if (key == Qt::Key_Delete || IsKeypadDecimal(event)) {
        event->accept();
        return;
    }
    if (editable) {
        // Any other key on a figure, moving on included, counts as a change when closing.
        emit edited();
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The figure is committed as it stands and the cursor moves down.
        if (editable) {
            openEditor();
            if (commitEditor()) {
                QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
                QTableView::keyPressEvent(&down);
            }
        }
        event->accept();
        return;
    case Qt::Key_Escape:
        event->accept();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        QTableView::keyPressEvent(event);
        return;
    default:
        break;
    }
    event->accept();
    const QString text = event->text();
    if (!editable || text.isEmpty() || event->modifiers() & Qt::ControlModifier) {
        return;
    }
    const char16_t first = text.at(0).unicode();
    if (first == 0x7F) {
        return;
    }
    // A blank or a control character edits the cell's text; a character replaces it.
    if (first <= u' ') {
        openEditor();
    } else {
        openEditor(text);
    }
}

void ReportGridView::mousePressEvent(QMouseEvent* event)
{
    if (m_locked && indexAt(event->position().toPoint()).column() == 0) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void ReportGridView::contextMenuEvent(QContextMenuEvent* event)
{
    QPoint at = event->globalPos();
    if (event->reason() != QContextMenuEvent::Mouse) {
        // From the keyboard the menu opens under the current cell.
        const QRect cell = visualRect(currentIndex());
        at = viewport()->mapToGlobal(cell.isValid() ? cell.bottomLeft() : QPoint());
    }
    emit contextMenuWanted(at);
    event->accept();
}

void ReportGridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (m_model && !m_editor && index == currentIndex() && m_model->isEditable(index)) {
        openEditor();
    }
}

void ReportGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (m_reverting) {
        return;
    }
    if (m_editor && m_editing != current && !commitEditor()) {
        // The refused figure is corrected where it was typed, never in the cell clicked.
        m_reverting = true;
        selectionModel()->setCurrentIndex(m_editing, QItemSelectionModel::ClearAndSelect);
        m_reverting = false;
        return;
    }
    if (previous.isValid()) {
        emit cellLeft(previous.row(), previous.column());
    }
}

QModelIndex ReportGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (m_locked && next.isValid() && next.column() == 0) {
        return next.siblingAtColumn(1);
    }
    return next;
}

// --- the locked caption column ------------------------------------------------------------

void ReportGridView::setCaptionLocked(bool locked)
{
    m_locked = locked;
    if (locked && currentIndex().column() == 0) {
        setCurrentIndex(currentIndex().siblingAtColumn(1));
    }
    placeLockedCaptions();
}

void ReportGridView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    if (m_locked && index.isValid() && index.column() > 0) {
        const int hidden = columnWidth(0) - visualRect(index).left();
        if (hidden > 0) {
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
        }
    }
}

void ReportGridView::placeLockedCaptions()
{
    const bool shown = m_locked && horizontalScrollBar()->value() > 0;
    m_lockedCaptions->setVisible(shown);
    if (!shown) {
        return;
    }
    const QRect body = viewport()->geometry();
    const int top = horizontalHeader()->geometry().top();
    m_lockedCaptions->setGeometry(body.left(), top, columnWidth(0), body.bottom() + 1 - top);
    m_lockedCaptions->raise();
    m_lockedCaptions->update();
}

void ReportGridView::paintLockedCaptions(QPainter* painter)
{
    const int width = columnWidth(0);
    const int headerHeight = horizontalHeader()->height();
    m_header->paintColumnHeading(painter, QRect(0, 0, width, headerHeight), 0);
    if (!m_model) {
        return;
    }
    const int first = rowAt(0);
    const int last = rowAt(viewport()->height() - 1);
    const int end = last < 0 ? m_model->rowCount() - 1 : last;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int r = std::max(first, 0); r <= end && first >= 0; ++r) {
        const QRect cell(0, headerHeight + rowViewportPosition(r), width, rowHeight(r));
        const QModelIndex index = m_model->index(r, 0);
        option.rect = cell;
        painter->fillRect(cell, m_model->data(index, Qt::BackgroundRole).isValid()
                                    ? QBrush(ReportTableModel::kHighlight)
                                    : palette().base());
        itemDelegate()->paint(painter, option, index);
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        painter->drawLine(cell.topRight(), cell.bottomRight());
    }
}

void ReportGridView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    placeLockedCaptions();
}

void ReportGridView::updateGeometries()
{
    QTableView::updateGeometries();
    placeLockedCaptions();
}

// --- sizes --------------------------------------------------------------------------------

void ReportGridView::fitColumns()
{
    if (!m_model) {
        return;
    }
    const QFontMetrics fm = fontMetrics();
    const int wide = fm.horizontalAdvance(QStringLiteral("999 999 999 999,99")) + kColumnPadding;
    const int narrow = fm.horizontalAdvance(QStringLiteral("999 999 999,99")) + kColumnPadding;
    const int code = fm.horizontalAdvance(QStringLiteral("Код по ЕБК")) + kColumnPadding;
    constexpr int kAmountColumns = 4;
    constexpr int kCodeColumns = 2;
    // On a small screen the amounts give up room down to what figures up to billions need, and
    // the captions down to their smallest width, before the table scrolls sideways.
    const int spare = viewport()->width() - kMinCaptionWidth - kCodeColumns * code;
    const int amount = std::clamp(spare / kAmountColumns, narrow, wide);
    const int minCaption = amount < wide ? kSmallestCaptionWidth : kMinCaptionWidth;
    int others = 0;
    for (int c = 1; c < m_model->columnCount(); ++c) {
        const bool isCode = c == grid::kCodeAdded || c == grid::kCodeSubtracted;
        setColumnWidth(c, isCode ? code : amount);
        others += columnWidth(c);
    }
    // The captions take what the figures leave, and scroll sideways below their minimum.
    setColumnWidth(0, std::max(minCaption, viewport()->width() - others));
}

void ReportGridView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitColumns();
}

} // namespace kvor
