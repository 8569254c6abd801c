#pragma once
// The editor's commands on the grid beyond typing: undo and redo of entries and pastes, copying
// the selected block, pasting a block from the clipboard, selecting the figures; on their keys
// and in the grid's context menu (the right button or the Menu key).

#include <QObject>
#include <QPoint>

class QAction;
class QMenu;
class QUndoStack;

namespace kvor {

class ReportGridView;
class ReportTableModel;

class EditorActions final : public QObject
{
    Q_OBJECT
public:
    EditorActions(ReportGridView* grid, ReportTableModel* table, QWidget* window);

    QUndoStack* undoStack() const { return m_undo; }
    QMenu* contextMenu() const { return m_menu; }

    // The selected block (or the current cell) onto the clipboard.
    void copy();
    // The clipboard's block from the current cell on; false when nothing changed (the user has
    // been told why, unless the clipboard held nothing).
    bool paste();
    bool pasteText(const QString& text);
    void selectFigures();

signals:
    // Figures changed by a paste, an undo or a redo.
    void changed();

private:
    QAction* addAction(const QString& text, const QList<QKeySequence>& keys, const char* name);
    void refuse(const QString& text);

    ReportGridView* m_grid;
    ReportTableModel* m_table;
    QWidget* m_window;
    QUndoStack* m_undo;
    QMenu* m_menu;
};

} // namespace kvor
