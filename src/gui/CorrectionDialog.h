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

// Reads the report chosen for correction at path into state: its municipality, code and period,
// which name the report in Data. False when the file is no report that can be corrected (not
// readable as XML, no municipality, a period or code that cannot name a file in Data).
bool ReadReportToCorrect(AppState& state, const QString& path);
// Opens the report in Data that state's code and period name (a new one when there is none) in
// the editor over parent, as the correction dialog does after ReadReportToCorrect.
void OpenReportInData(QWidget* parent, AppState& state);

// A period as the program writes it: two digits 01-12, " / ", four digits.
bool IsValidPeriodText(const QString& period);

} // namespace kvor
