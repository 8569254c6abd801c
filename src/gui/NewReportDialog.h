#pragma once
// "Данни за нов документ": the user chooses period and municipality; "Избор" names, creates or
// opens the report in Data, carries the previous month's closing amounts into it and opens the
// editor over the dialog.

#include "core/Municipality.h"
#include "core/OpenReport.h"

#include <QDialog>
#include <QList>
#include <optional>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace kvor {

class NewReportDialog final : public QDialog
{
    Q_OBJECT
public:
    // municipalities: the register, in its order; remembered: the list position chosen last.
    NewReportDialog(QList<Municipality> municipalities, std::optional<int> remembered,
                    QWidget* parent = nullptr);
    ~NewReportDialog() override;

    // The report "Избор" opened last, kept after its editor closed; null before.
    const OpenReport* lastOpened() const { return m_opened ? &*m_opened : nullptr; }

signals:
    // kvor.ini now remembers the municipality at this list position.
    void municipalityRemembered(int position);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void choose();
    void municipalityChosen(int position);
    void fillMunicipalities(std::optional<int> remembered);
    void fillPeriods();
    void alignPeriodWithFrame();

    QList<Municipality> m_municipalities;
    std::optional<OpenReport> m_opened;
    QComboBox* m_period = nullptr;
    QComboBox* m_municipality = nullptr;
    QLineEdit* m_ebk = nullptr;
    QPushButton* m_choose = nullptr;
    QHBoxLayout* m_periodRow = nullptr;
};

} // namespace kvor
