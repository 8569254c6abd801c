#pragma once
// "Избор на документ за корекция": a saved report is chosen, and the report of the same
// municipality and period in Data is opened in the editor.

#include "core/OpenReport.h"

#include <QDialog>
#include <optional>

class QLineEdit;

namespace kvor {

class CorrectionDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit CorrectionDialog(QWidget* parent = nullptr);
    ~CorrectionDialog() override;

    // The report opened last, kept after its editor closed; null before.
    const OpenReport* lastOpened() const { return m_opened ? &*m_opened : nullptr; }

private:
    void chooseFile();
    void openReport();

    std::optional<OpenReport> m_opened;
    QLineEdit* m_fileName = nullptr;
};

} // namespace kvor
