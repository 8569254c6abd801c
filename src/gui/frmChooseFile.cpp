#include "gui/frmChooseFile.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "gui/ReportEditor.h"
#include "core/PrevData.h"
#include "gui/frmChoosePrm.h"
#include "core/ReportName.h"
#include "core/ReportDocument.h"

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
    static const QRegularExpression re(QStringLiteral(R"(^(0[1-9]|1[0-2]) / [0-9]{4}$)"));
    return re.match(period).hasMatch();
}

namespace {

void refuse(const QString& text)
{
    platform().MsgBox(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
}

} // namespace

frmChooseFile::frmChooseFile(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChooseFile"));
    setWindowTitle(QStringLiteral("Избор на документ за корекция"));

    frChooseFile = new QGroupBox(QStringLiteral("Избор на файл:"), this);
    frChooseFile->setObjectName(QStringLiteral("frChooseFile"));
    txtFileName = new QLineEdit(frChooseFile);
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    txtFileName->setAccessibleName(QStringLiteral("Файл"));
    txtFileName->setMinimumWidth(420);
    cmdChooseFile = new QPushButton(QStringLiteral("..."), frChooseFile);
    cmdChooseFile->setObjectName(QStringLiteral("cmdChooseFile"));
    cmdChooseFile->setAccessibleName(QStringLiteral("Избор на файл"));
    cmdChooseFile->setToolTip(QStringLiteral("Избор на файл"));
    cmdChooseFile->setAutoDefault(false);
    auto* fileRow = new QHBoxLayout(frChooseFile);
    fileRow->addWidget(txtFileName, 1);
    fileRow->addWidget(cmdChooseFile);

    cmdOpen = new QPushButton(QStringLiteral("Отвори файл"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Отказ"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOpen);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frChooseFile);
    layout->addLayout(buttons);

    connect(cmdChooseFile, &QPushButton::clicked, this, &frmChooseFile::cmdChooseFile_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmChooseFile::cmdOpen_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmChooseFile::cmdCancel_Click);
}

void frmChooseFile::cmdChooseFile_Click()
{
    EnsureDataFolder();
    OpenFileRequest request;
    request.initialDir = DataFolder();
    request.title = QStringLiteral("Избор на файл");
    request.filter = QStringLiteral("Xml files (*.xml)|*.xml|All files|*.*");
    request.fileMustExist = true;
    request.hideReadOnly = true;
    const QString chosen = platform().ShowOpen(request);
    if (!chosen.isEmpty()) {
        txtFileName->setText(QDir::toNativeSeparators(chosen));
    }
}

void frmChooseFile::cmdOpen_Click()
{
    if (txtFileName->text().isEmpty()) {
        refuse(msg::kChooseFile);
        return;
    }
    AppState& state = State();
    state.sFileName = txtFileName->text().trimmed();
    state.xmlDoc.load(state.sFileName);
    const XmlNode positions = selectSingleNode(state.xmlDoc, QStringLiteral("positions"));
    state.Obshtina.Name = GetAttribute(positions, QStringLiteral("ob_name"));
    if (state.Obshtina.Name.isEmpty()) {
        refuse(msg::kChooseValidXml);
        return;
    }
    // The chosen file may come from anywhere: its period and code name the report in Data, so
    // they must not be able to lead outside it.
    const QString period = GetAttribute(positions, QStringLiteral("period"));
    const QString ebk = GetAttribute(positions, QStringLiteral("ebk"));
    if (!IsValidPeriodText(period) || !IsSafeEbkCode(ebk)) {
        refuse(msg::kChooseValidXml);
        return;
    }
    state.sPeriod = period;
    state.Obshtina.NumEBK = ebk;
    state.sMonth = PeriodMonth(period);
    state.sYear = PeriodYear(period);
    if (!LoadStructure(state.sYear)) {
        return;
    }
    EnsureDataFolder();
    state.sFileName = ReportFilePath(state.Obshtina.NumEBK, state.sYear, state.sMonth);
    if (!OpenDocument(state.sFileName)) {
        return;
    }
    CheckForPrevData();
    // Creating a new report took the captions off the structure in memory.
    if (!LoadStructure(state.sYear)) {
        return;
    }
    ShowReportEditor(this, State());
}

void frmChooseFile::cmdCancel_Click()
{
    reject();
}

} // namespace kvor
