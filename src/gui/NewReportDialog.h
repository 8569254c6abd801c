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

class NewReportDialog final : public QDialog
{
    Q_OBJECT
public:
    // The report chosen is set up in `state`, which the editor then works on.
    NewReportDialog(QWidget* parent, AppState& state);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void choose();
    void municipalityChosen(int position);
    void loadRegister();
    void fillPeriods();
    void alignPeriodWithFrame();
    // Loads Structure.xml afresh; the dialog closes when the file cannot be used.
    bool loadStructure();

    AppState& m_state;
    DomDocument m_register;
    QComboBox* m_period = nullptr;
    QComboBox* m_municipality = nullptr;
    QLineEdit* m_ebk = nullptr;
    QPushButton* m_choose = nullptr;
    QHBoxLayout* m_periodRow = nullptr;
};

} // namespace kvor
