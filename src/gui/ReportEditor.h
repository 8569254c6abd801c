#pragma once
// The report editor: one report in a table laid out from its form, with in-place entry, totals
// that follow every entry, the comparison of the opening amounts with the previous month,
// saving and the printout.

#include "core/InfoPane.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kvor {

struct OpenReport;
class EditorActions;
class EditorJournal;
class ReportGridView;
class ReportModel;
class ReportTableModel;

// Opens the editor over `parent` for `report`, modally; returns when the editor has closed.
void ShowReportEditor(QWidget* parent, OpenReport& report);

class ReportEditor final : public QDialog
{
    Q_OBJECT
public:
    explicit ReportEditor(OpenReport& report, QWidget* parent = nullptr);
    ~ReportEditor() override;

    // The text of the information pane, lines joined by CR LF.
    QString infoText() const { return m_info; }
    // Something was typed since the editor opened or the report was last saved.
    bool hasUnsavedChanges() const { return m_changed && !m_saved; }
    // Undo, redo, copy and paste on the grid.
    EditorActions* actions() const { return m_actions; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildControls();
    void setInfo(const QString& text);
    void openJournal();
    void placeOnScreen();
    void onCellLeft(int row, int column);
    void onEdited();
    // Saves the report; false when it was not saved (the user has been told why).
    bool save();
    void print();
    // True when closing must be cancelled.
    bool keepOpen();

    OpenReport& m_open;
    PaneTexts m_pane;
    std::unique_ptr<ReportModel> m_report;
    ReportTableModel* m_table = nullptr;
    ReportGridView* m_grid = nullptr;
    EditorActions* m_actions = nullptr;
    std::unique_ptr<EditorJournal> m_journal;
    QLineEdit* m_period = nullptr;
    QLineEdit* m_municipality = nullptr;
    QLineEdit* m_ebk = nullptr;
    QCheckBox* m_lock = nullptr;
    QPlainTextEdit* m_infoPane = nullptr;
    QString m_info;
    bool m_changed = false;
    bool m_saved = true;
};

} // namespace kvor
