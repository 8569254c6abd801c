#include "gui/EditorActions.h"
#include "gui/UserPrompts.h"

#include "core/ClipboardBlock.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "gui/ReportGridView.h"
#include "gui/ReportTableModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QUndoStack>

namespace kvor {

namespace {

const QString kPasteStep = QStringLiteral("Поставяне");
const QString kPasteNoNumber =
    QStringLiteral("Нищо не е поставено: на ред „%1“, в колона „%2“ няма число.");
const QString kPasteTooLargeFigure =
    QStringLiteral("Нищо не е поставено: сумата на ред „%1“, в колона „%2“ е твърде голяма.");
const QString kPastePastTheGrid =
    QStringLiteral("Нищо не е поставено: блокът от клетки излиза извън таблицата.");
const QString kPasteTooLarge =
    QStringLiteral("Нищо не е поставено: текстът в буфера е твърде голям.");
const QString kPasteNothing = QStringLiteral("В буфера няма числа за поставяне.");

} // namespace

EditorActions::EditorActions(ReportGridView* grid, ReportTableModel* table, QWidget* window)
    : QObject(window), m_grid(grid), m_table(table), m_window(window), m_undo(new QUndoStack(this)),
      m_menu(new QMenu(grid))
{
    m_menu->setObjectName(QStringLiteral("mnuGrid"));
    m_menu->setAccessibleName(QStringLiteral("Действия с клетките"));
    m_table->setUndoStack(m_undo);

    QAction* undo =
        addAction(QStringLiteral("&Отмени"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, "actUndo");
    QAction* redo = addAction(
        QStringLiteral("&Повтори"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        "actRedo");
    m_menu->addSeparator();
    QAction* copyAction =
        addAction(QStringLiteral("&Копирай"), {QKeySequence(Qt::CTRL | Qt::Key_C)}, "actCopy");
    QAction* pasteAction =
        addAction(QStringLiteral("Пос&тави"), {QKeySequence(Qt::CTRL | Qt::Key_V)}, "actPaste");
    QAction* all = addAction(QStringLiteral("&Избери всички суми"),
                             {QKeySequence(Qt::CTRL | Qt::Key_A)}, "actSelectFigures");

    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(m_undo, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    // A step is not undone under a figure being typed: the editor's own keys undo its text.
    connect(undo, &QAction::triggered, this, [this] {
        if (!m_grid->cellEditor() && m_undo->canUndo()) {
            m_undo->undo();
            emit changed();
        }
    });
    connect(redo, &QAction::triggered, this, [this] {
        if (!m_grid->cellEditor() && m_undo->canRedo()) {
            m_undo->redo();
            emit changed();
        }
    });
    connect(copyAction, &QAction::triggered, this, &EditorActions::copy);
    connect(pasteAction, &QAction::triggered, this, &EditorActions::paste);
    connect(all, &QAction::triggered, this, &EditorActions::selectFigures);
    connect(m_grid, &ReportGridView::contextMenuWanted, this,
            [this](const QPoint& global) { m_menu->popup(global); });
}

QAction* EditorActions::addAction(const QString& text, const QList<QKeySequence>& keys,
                                  const char* name)
{
    auto* action = new QAction(text, m_grid);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setShortcutVisibleInContextMenu(true);
    m_grid->addAction(action);
    m_menu->addAction(action);
    return action;
}

void EditorActions::refuse(const QString& text)
{
    prompts().showMessage(text, MsgButtons::Ok, MsgIcon::Exclamation, msg::kTitleWarning);
}

void EditorActions::copy()
{
    const QModelIndex current = m_grid->currentIndex();
    const QModelIndexList selected = m_grid->selectionModel()->selectedIndexes();
    if (!current.isValid() && selected.isEmpty()) {
        return;
    }
    int top = current.row();
    int bottom = top;
    int left = current.column();
    int right = left;
    if (!selected.isEmpty()) {
        top = left = std::numeric_limits<int>::max();
        bottom = right = -1;
        for (const QItemSelectionRange& range : m_grid->selectionModel()->selection()) {
            top = std::min(top, range.top());
            bottom = std::max(bottom, range.bottom());
            left = std::min(left, range.left());
            right = std::max(right, range.right());
        }
    }
    std::vector<std::vector<QString>> cells;
    cells.reserve(size_t(bottom - top + 1));
    for (int r = top; r <= bottom; ++r) {
        auto& line = cells.emplace_back();
        for (int c = left; c <= right; ++c) {
            line.push_back(m_table->editText(r, c));
        }
    }
    auto* data = new QMimeData;
    data->setText(BlockText(cells));
    data->setHtml(BlockHtml(cells));
    QApplication::clipboard()->setMimeData(data);
}

bool EditorActions::paste()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) {
        // A picture or anything else that is no text holds no figures.
        refuse(kPasteNothing);
        return false;
    }
    return pasteText(data->text());
}

bool EditorActions::pasteText(const QString& text)
{
    if (!m_grid->commitEditor()) {
        return false;
    }
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid()) {
        return false;
    }
    const PasteGrid grid{m_table->rowCount(), m_table->columnCount(),
                         [this](int r, int c) { return m_table->report().isEditable(r, c); }};
    const PastePlan plan = PlanPaste(text, current.row(), current.column(), grid);
    const auto caption = [this](int r) { return m_table->report().caption(r); };
    const auto column = [this](int c) { return m_table->headerData(c, Qt::Horizontal).toString(); };
    if (plan.refusal) {
        switch (plan.refusal->kind) {
        case PasteRefusal::Kind::Empty:
            refuse(kPasteNothing);
            break;
        case PasteRefusal::Kind::TooLarge:
            refuse(kPasteTooLarge);
            break;
        case PasteRefusal::Kind::PastTheGrid:
            refuse(kPastePastTheGrid);
            break;
        case PasteRefusal::Kind::NotANumber:
            refuse(kPasteNoNumber.arg(caption(plan.refusal->row), column(plan.refusal->column)));
            break;
        }
        return false;
    }
    std::vector<CellFigure> figures;
    figures.reserve(plan.figures.size());
    for (const PastedFigure& f : plan.figures) {
        figures.push_back({f.row, f.column, f.amount.text()});
    }
    int refused = -1;
    if (m_table->enterFigures(figures, kPasteStep, true, &refused) !=
        ReportModel::Entry::Accepted) {
        const CellFigure& bad = figures[size_t(refused)];
        refuse(kPasteTooLargeFigure.arg(caption(bad.row), column(bad.column)));
        return false;
    }
    if (!figures.empty()) {
        const QModelIndex first = m_table->index(figures.front().row, figures.front().column);
        const QModelIndex last = m_table->index(figures.back().row, figures.back().column);
        m_grid->selectionModel()->select(QItemSelection(first, last),
                                         QItemSelectionModel::ClearAndSelect);
    }
    emit changed();
    return true;
}

void EditorActions::selectFigures()
{
    if (m_table->rowCount() == 0) {
        return;
    }
    const QItemSelection figures(m_table->index(0, grid::kOpening),
                                 m_table->index(m_table->rowCount() - 1, grid::kClosing));
    m_grid->selectionModel()->select(figures, QItemSelectionModel::ClearAndSelect);
}

} // namespace kvor
