#include "gui/CorrectionDialog.h"

#include "core/Messages.h"
#include "core/ReportName.h"
#include "gui/FailureMessages.h"
#include "gui/FileChoice.h"
#include "gui/HelpWindow.h"
#include "gui/ReportEditor.h"
#include "gui/UserPrompts.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvor {

namespace {

void refuse(const QString& text)
{
    prompts().showMessage(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
}

} // namespace

CorrectionDialog::CorrectionDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("correctionDialog"));
    setWindowTitle(QStringLiteral("Избор на документ за корекция"));

    const FileChoice choice = MakeFileChoice(this, QStringLiteral("Избор на &файл:"));
    QGroupBox* frame = choice.frame;
    QPushButton* browse = choice.browse;
    m_fileName = choice.fileName;

    auto* open = new QPushButton(QStringLiteral("&Отвори файл"), this);
    open->setObjectName(QStringLiteral("openButton"));
    open->setAccessibleName(QStringLiteral("Отвори файл"));
    open->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("От&каз"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAccessibleName(QStringLiteral("Отказ"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(open);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &CorrectionDialog::chooseFile);
    connect(open, &QPushButton::clicked, this, &CorrectionDialog::openReport);
    connect(cancel, &QPushButton::clicked, this, &CorrectionDialog::reject);
    AddHelpKey(this);
}

CorrectionDialog::~CorrectionDialog() = default;

void CorrectionDialog::chooseFile()
{
    EnsureDataFolder();
    OpenFileRequest request;
    request.initialDir = DataFolder();
    request.title = msg::kCopyChooseFileTitle;
    request.nameFilters = msg::kXmlFileFilters;
    request.fileMustExist = true;
    const QString chosen = prompts().chooseFileToOpen(request);
    if (!chosen.isEmpty()) {
        m_fileName->setText(QDir::toNativeSeparators(chosen));
    }
}

void CorrectionDialog::openReport()
{
    if (m_fileName->text().isEmpty()) {
        refuse(msg::kChooseFile);
        return;
    }
    Result<OpenReport> opened = OpenReportForCorrection(m_fileName->text().trimmed());
    if (!opened) {
        // The dialog stays for another file.
        TellFailure(opened.failure());
        return;
    }
    m_opened = std::move(*opened);
    ShowReportEditor(this, *m_opened);
}

} // namespace kvor
