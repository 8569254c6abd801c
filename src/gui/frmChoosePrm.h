#pragma once
// "Данни за нов документ": the user chooses period and municipality; "Избор" names, creates or
// opens the report in Data, carries the previous month's closing amounts into it and opens the
// editor over the dialog.

#include "core/XmlDom.h"

#include <QDialog>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace kvor {

struct AppState;

class frmChoosePrm final : public QDialog
{
    Q_OBJECT
public:
    // The report chosen is set up in `state`, which the editor then works on.
    frmChoosePrm(QWidget* parent, AppState& state);

    void cmdOk_Click();
    void cmdEsc_Click();
    // The selection of the municipality list became the item at position p.
    void cboObshtina_Click(int p);

    QComboBox* cboDate() const { return m_cboDate; }
    QComboBox* cboObshtina() const { return m_cboObshtina; }
    QLineEdit* txtEBK() const { return m_txtEBK; }
    QPushButton* cmdOk() const { return m_cmdOk; }
    QPushButton* cmdEsc() const { return m_cmdEsc; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void LoadObshtini();
    void FillPeriods();
    void AlignPeriodWithFrame();
    // Loads Structure.xml afresh; the dialog closes when the file cannot be used.
    bool LoadStructure();

    AppState& m_state;
    DomDocument m_register;

    QComboBox* m_cboDate = nullptr;
    QComboBox* m_cboObshtina = nullptr;
    QLineEdit* m_txtEBK = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdEsc = nullptr;
    QHBoxLayout* m_periodRow = nullptr;
};

} // namespace kvor
