#pragma once
// "Данни за нов документ": the user chooses period and municipality; "Избор" names, creates or
// opens the report in Data, carries the previous month's closing amounts into it and opens the
// editor over the dialog.

#include "core/PrevData.h" // CheckForPrevData, which the correction of a report uses as well

#include <QDialog>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace kvor {

class frmChoosePrm final : public QDialog
{
    Q_OBJECT
public:
    explicit frmChoosePrm(QWidget* parent = nullptr);
    ~frmChoosePrm() override;

    void cmdOk_Click();
    void cmdEsc_Click();
    // The selection of the municipality list became the item at position p.
    void cboObshtina_Click(int p);

    // The dialog that is open now, if any.
    static frmChoosePrm* OpenInstance();

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

    QComboBox* m_cboDate = nullptr;
    QComboBox* m_cboObshtina = nullptr;
    QLineEdit* m_txtEBK = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdEsc = nullptr;
    QHBoxLayout* m_periodRow = nullptr;
};

// Loads Structure.xml afresh (see ReadStructure); when the file cannot be used, the new-document
// dialog is closed if it is open. The year does not matter: every year has the same form. Used by
// "Избор" and by the correction of a saved report.
bool LoadStructure(const QString& sYear);

} // namespace kvor
