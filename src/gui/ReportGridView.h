#pragma once
// The report table: one item view over the report with its in-place editor. Typing on a figure
// opens the editor with the typed character, Enter, a blank or a double-click with the cell's
// text; Enter and the arrow and page keys commit it and move on, Esc drops it. A figure that is
// no number, or too large, is refused with "Въведете число!" and the editor stays on its cell
// until it is corrected. With the caption column locked the captions stay in view while the
// figures scroll sideways, and the captions can no longer be made current.

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>
#include <optional>

namespace kvor {

class CellDelegate;
class ReportHeader;
class ReportTableModel;

class ReportGridView final : public QTableView
{
    Q_OBJECT
public:
    explicit ReportGridView(QWidget* parent = nullptr);

    void setReportModel(ReportTableModel* model);
    ReportTableModel* reportModel() const { return m_model; }

    // The open in-place editor, or null.
    QLineEdit* cellEditor() const { return m_editor; }
    // Commits an open editor. False while the editor stays open on a refused figure.
    bool commitEditor();

    void setCaptionLocked(bool locked);
    bool captionLocked() const { return m_locked; }

    // Handlers of the in-place editor's keys and focus.
    bool editorKeyPressed(QKeyEvent* event);
    void editorFocusLost();

signals:
    // A cell was left for another one (after its figure was committed).
    void cellLeft(int row, int column);
    // The user typed or moved over a figure: closing will ask whether to save.
    void edited();
    // The context menu was asked for, by the mouse or the Menu key; `global` is where it opens.
    void contextMenuWanted(const QPoint& global);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    friend class LockedCaptions;
    // Opens the in-place editor on the current cell with `text`, or with the cell's own text.
    void openEditor(std::optional<QString> text = std::nullopt);
    void dropEditor();
    void fitColumns();
    void placeLockedCaptions();
    void paintLockedCaptions(QPainter* painter);

    ReportTableModel* m_model = nullptr;
    ReportHeader* m_header;
    CellDelegate* m_delegate = nullptr;
    QWidget* m_lockedCaptions;
    QPersistentModelIndex m_editing;
    QPointer<QLineEdit> m_editor;
    bool m_locked = false;
    bool m_refusalShown = false; // within the current user action
    bool m_reverting = false;
};

} // namespace kvor
