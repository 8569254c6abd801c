#include "gui/UndoCommands.h"

namespace kvor {

FiguresCommand::FiguresCommand(ReportTableModel* model, std::vector<CellFigure> before,
                               std::vector<CellFigure> after, const QString& text)
    : QUndoCommand(text), m_model(model), m_before(std::move(before)), m_after(std::move(after))
{}

void FiguresCommand::undo()
{
    m_model->restoreFigures(m_before, true);
    m_done = false;
}

void FiguresCommand::redo()
{
    // QUndoStack::push calls redo once; the figures went in when the step was made.
    if (!m_done) {
        m_model->restoreFigures(m_after, false);
        m_done = true;
    }
}

} // namespace kvor
