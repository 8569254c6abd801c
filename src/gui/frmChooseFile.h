#pragma once
// "Избор на документ за корекция": a saved report is chosen, and the report of the same
// municipality and period in Data is opened in the editor.

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kvor {

struct AppState;

class frmChooseFile final : public QDialog
{
    Q_OBJECT
public:
    // The report chosen is set up in `state`, which the editor then works on.
    frmChooseFile(QWidget* parent, AppState& state);

    void cmdChooseFile_Click();
    void cmdOpen_Click();
    void cmdCancel_Click();

    QGroupBox* frChooseFile;
    QLineEdit* txtFileName;
    QPushButton* cmdChooseFile;
    QPushButton* cmdOpen;
    QPushButton* cmdCancel;

private:
    AppState& m_state;
};

// A period as the program writes it: two digits 01-12, " / ", four digits.
bool IsValidPeriodText(const QString& period);

} // namespace kvor
