#pragma once
// Steps of the editor's undo history: an accepted entry or a paste, with the figures of its cells
// before and after it.

#include "gui/ReportTableModel.h"

#include <QUndoCommand>
#include <vector>

namespace kvor {

class FiguresCommand final : public QUndoCommand
{
public:
    // The figures are already in place when the step is pushed.
    FiguresCommand(ReportTableModel* model, std::vector<CellFigure> before,
                   std::vector<CellFigure> after, const QString& text);

    void undo() override;
    void redo() override;

private:
    ReportTableModel* m_model;
    std::vector<CellFigure> m_before;
    std::vector<CellFigure> m_after;
    bool m_done = true;
};

} // namespace kvor
