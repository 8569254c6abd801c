#include "gui/CorrectionDialog.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/PrevData.h"
#include "core/ReportDocument.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"
#include "gui/FileChoice.h"
#include "gui/HelpWindow.h"
#include "gui/ReportEditor.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace kvor {

bool IsValidPeriodText(const QString& period)
{
    // \z, not $: a dollar also matches before a final line break.
    static const QRegularExpression re(QStringLiteral(R"(^(0[1-9]|1[0-2]) / [0-9]{4}\z)"));
    return re.match(period).hasMatch();
}

namespace {

// Room for a full path of the Data folder.

void refuse(const QString& text)
{
    platform().MsgBox(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
}

} // namespace

CorrectionDialog::CorrectionDialog(QWidget* parent, AppState& state)
    : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmChooseFile"));
    setWindowTitle(QStringLiteral("Избор на документ за корекция"));

    const FileChoice choice = MakeFileChoice(this, QStringLiteral("Избор на &файл:"));
    QGroupBox* frame = choice.frame;
    QPushButton* browse = choice.browse;
    m_fileName = choice.fileName;

    auto* open = new QPushButton(QStringLiteral("&Отвори файл"), this);
    open->setObjectName(QStringLiteral("cmdOpen"));
    open->setAccessibleName(QStringLiteral("Отвори файл"));
    open->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("От&каз"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
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

void CorrectionDialog::chooseFile()
{
    EnsureDataFolder();
    OpenFileRequest request;
    request.initialDir = DataFolder();
    request.title = msg::kCopyChooseFileTitle;
    request.filter = msg::kCopyFileFilter;
    request.fileMustExist = true;
    request.hideReadOnly = true;
    const QString chosen = platform().ShowOpen(request);
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
    if (!ReadReportToCorrect(m_state, m_fileName->text().trimmed())) {
        refuse(msg::kChooseValidXml);
        return;
    }
    OpenReportInData(this, m_state);
}

bool ReadReportToCorrect(AppState& state, const QString& path)
{
    state.sFileName = path;
    state.xmlDoc.load(state.sFileName);
    const XmlNode positions = selectSingleNode(state.xmlDoc, QStringLiteral("positions"));
    state.Obshtina.Name = GetAttribute(positions, QStringLiteral("ob_name"));
    if (state.Obshtina.Name.isEmpty()) {
        return false;
    }
    // The chosen file may come from anywhere: its period and code name the report in Data, so
    // they must not be able to lead outside it.
    const QString period = GetAttribute(positions, QStringLiteral("period"));
    const QString ebk = GetAttribute(positions, QStringLiteral("ebk"));
    if (!IsValidPeriodText(period) || !IsSafeEbkCode(ebk)) {
        return false;
    }
    state.sPeriod = period;
    state.Obshtina.NumEBK = ebk;
    state.sMonth = PeriodMonth(period);
    state.sYear = PeriodYear(period);
    return true;
}

void OpenReportInData(QWidget* parent, AppState& state)
{
    if (!ReadStructure(state.xmlStructure)) {
        return;
    }
    EnsureDataFolder();
    state.sFileName = ReportFilePath(state.Obshtina.NumEBK, state.sYear, state.sMonth);
    if (!OpenDocument(state, state.sFileName)) {
        return;
    }
    CheckForPrevData(state);
    // Creating a new report took the captions off the structure in memory.
    if (!ReadStructure(state.xmlStructure)) {
        return;
    }
    ShowReportEditor(parent, state);
}

} // namespace kvor
