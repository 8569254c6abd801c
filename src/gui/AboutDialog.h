#pragma once
// "За програмата": the program's version and licence, the folder where the reports are kept
// (opened in the file manager on request) and the Qt it runs on.

#include <QDialog>

namespace kvor {

class AboutDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);

private:
    void openReportsFolder();
};

// The licence as the About window states it.
extern const QString kLicenceText;

} // namespace kvor
