#pragma once
// The report model as a Qt table: one row per report row, the seven columns, the two-level
// heading as header data, the captions as row headers (what screen readers announce), the
// colours of highlighted rows, of opening amounts that disagree with the previous month and of
// the cell under the in-place editor. Figures are edited through setData; with an undo stack set,
// every accepted entry or paste becomes one step of it.

#include "core/ReportModel.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPersistentModelIndex>

#include <functional>
#include <vector>

class QUndoStack;

namespace kvor {

// A figure for one cell, as typed or pasted.
struct CellFigure
{
    int row = 0;
    int column = 0;
    QString text;
};

class ReportTableModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Header data roles of the horizontal heading, one per level.
    enum HeadingRole : int
    {
        kGroupHeadingRole = Qt::UserRole + 1, // the group over two columns, or the column itself
        kColumnHeadingRole,                   // the column within its group
        kNumberHeadingRole,                   // the column's number, 1 to 7
    };

    static const QColor kRed;
    static const QColor kBlack;
    static const QColor kHighlight;
    // Told to screen readers on an opening amount drawn red.
    static const QString kDiffersDescription;

    ReportTableModel(ReportModel& report, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A typed figure (EditRole) for an editable cell; false when it is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const ReportModel& report() const { return m_report; }
    bool isEditable(const QModelIndex& index) const;

    // Accepted entries and pastes are pushed here as steps that can be undone; null: none.
    void setUndoStack(QUndoStack* stack) { m_undo = stack; }
    // With a previous month, opening amounts changed by a paste, an undo or a redo are compared
    // with it at once, as leaving a typed cell compares it.
    void setComparingOpenings(bool on) { m_comparing = on; }
    // Called with each accepted entry, for the crash journal.
    void setEntryObserver(std::function<void(const CellFigure&)> observer)
    {
        m_observer = std::move(observer);
    }

    // Figures for several cells as one step named `step`: all are accepted or nothing changes;
    // cells that take no figure are passed over. `compare`: opening amounts are compared with the
    // previous month at once. `refused` receives the index of the first figure refused.
    ReportModel::Entry enterFigures(const std::vector<CellFigure>& figures, const QString& step,
                                    bool compare = false, int* refused = nullptr);
    // One entry; the cells it changes are redrawn. An entry in the opening column draws it black.
    ReportModel::Entry enter(const QModelIndex& index, const QString& typed);
    // The figures as they were before or after a step: applied again without a new step.
    void restoreFigures(const std::vector<CellFigure>& figures, bool backwards);
    // The text a cell is edited from: its figure without the blank of every second row.
    QString editText(int row, int column) const;

    // The cell under the in-place editor is drawn red while it is open; an invalid index: none.
    void setEditing(const QModelIndex& index);
    // Compares the opening amount of a row with the previous month and colours it.
    bool compareOpening(int row);
    [[nodiscard]] Status store(DomDocument& document) { return m_report.store(document); }

private:
    ReportModel::Entry apply(const CellFigure& figure, std::vector<int>* touched);
    void rollBack(const std::vector<CellFigure>& before, const std::vector<bool>& differed);
    void rowsChanged(const std::vector<int>& rows);

    ReportModel& m_report;
    QPersistentModelIndex m_editing;
    QUndoStack* m_undo = nullptr;
    bool m_comparing = false;
    std::function<void(const CellFigure&)> m_observer;
};

} // namespace kvor
