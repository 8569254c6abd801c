#pragma once
// The report editor: one report in a grid built from the structure and the document, with
// in-place editing, totals that follow every entry, the comparison of the opening amounts with the
// previous month, saving and the printout.

#include "core/ReportForm.h"
#include "core/ReportRules.h"

#include <QColor>
#include <QDialog>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kvor {

struct AppState;
class FlexGrid;

class frmSpravka final : public QDialog
{
    Q_OBJECT
public:
    frmSpravka(QWidget* parent, AppState& state);
    ~frmSpravka() override;

    // Controls, by their names on the form.
    QLabel* lblPeriod;
    QLineEdit* txtPeriod;
    QLabel* lblObshtina;
    QLineEdit* txtObshtina;
    QLabel* lblEBK;
    QLineEdit* txtEBK;
    FlexGrid* grdDocEnter;
    QLineEdit* txtEdit;
    QGroupBox* frmLock;
    QCheckBox* chkLock;
    QGroupBox* frmInfo;
    QPlainTextEdit* txtInfo;
    QGroupBox* frmCommands;
    QPushButton* cmdPrint;
    QPushButton* cmdSave;
    QPushButton* cmdExit;

    // State of the form.
    bool bChanged = false;
    bool bSaved = true;
    bool FlagInit = false;
    int iRow = 0;
    int iCol = 0;
    QString sValuePrev;

    // The text of the information pane, lines joined by CR LF.
    QString InfoText() const { return m_info; }

    void Form_Activate();
    void Form_Resize();
    // True when closing must be cancelled.
    bool Form_Unload();
    void chkLock_Click();
    void cmdExit_Click();
    void cmdSave_Click();
    void cmdPrint_Click();

    void BuildGridHeader();
    void FillGrid();
    void AddGridRow(const QString& caption, const QString& opening, const QString& added,
                    const QString& subtracted, const QString& closing, int rowId, bool rowIdValid,
                    int n);
    bool IsHighlightedRow(int r) const;
    bool IsRestrictedRow(int r) const;

    void MSFlexGridEdit(int keyAscii);
    void EditKeyCode(int keyCode, int shift);
    void grdDocEnter_EnterCell();
    void grdDocEnter_LeaveCell();
    void grdDocEnter_KeyPress(int& keyAscii);
    void grdDocEnter_KeyDown(int& keyCode, int shift);
    void grdDocEnter_DblClick();
    void grdDocEnter_GotFocus();
    void grdDocEnter_Scroll();
    void txtEdit_Change();
    void txtEdit_LostFocus();

    void CheckCol(int r);
    bool ColumnAllBlack(int r);
    void SetLeavePane(int r);

    static const QColor kRed;
    static const QColor kBlack;
    static const QColor kHighlight;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void setInfo(const QString& text);
    bool isCurrentCellEditable() const;
    void recomputeClosing(int r);
    PaneTexts paneTexts() const;

    AppState& m_state;
    std::unique_ptr<ReportForm> m_form;
    QString m_info;
    bool m_activated = false;
    QColor m_colorBeforeEdit;
    bool m_refusalShown = false; // within the current user action
};

} // namespace kvor
