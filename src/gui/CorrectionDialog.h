#pragma once
// "Избор на документ за корекция": a saved report is chosen, and the report of the same
// municipality and period in Data is opened in the editor.

#include <QDialog>

class QLineEdit;

namespace kvor {

struct AppState;

class CorrectionDialog final : public QDialog
{
    Q_OBJECT
public:
    // The report chosen is set up in `state`, which the editor then works on.
    CorrectionDialog(QWidget* parent, AppState& state);

private:
    void chooseFile();
    void openReport();

    AppState& m_state;
    QLineEdit* m_fileName = nullptr;
};

// A period as the program writes it: two digits 01-12, " / ", four digits.
bool IsValidPeriodText(const QString& period);

} // namespace kvor
