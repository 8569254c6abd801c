#pragma once
// The report model as a Qt table: one row per report row, the seven columns, the two-level
// heading as header data, the captions as row headers (what screen readers announce), the
// colours of highlighted rows, of opening amounts that disagree with the previous month and of
// the cell under the in-place editor.

#include "core/ReportModel.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPersistentModelIndex>

namespace kvor {

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

    ReportTableModel(ReportModel& report, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const ReportModel& report() const { return m_report; }
    bool isEditable(const QModelIndex& index) const;

    // An entry typed into a cell; the cells it changes are redrawn. An entry in the opening
    // column draws it black.
    ReportModel::Entry enter(const QModelIndex& index, const QString& typed);
    // The cell under the in-place editor is drawn red while it is open; an invalid index: none.
    void setEditing(const QModelIndex& index);
    // Compares the opening amount of a row with the previous month and colours it.
    bool compareOpening(int row);
    [[nodiscard]] Status store(DomDocument& document) { return m_report.store(document); }

private:
    void rowsChanged(const std::vector<int>& rows);

    ReportModel& m_report;
    QPersistentModelIndex m_editing;
};

} // namespace kvor
