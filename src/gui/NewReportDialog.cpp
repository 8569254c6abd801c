#include "gui/NewReportDialog.h"

#include "core/AppState.h"
#include "core/KvorIni.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/PrevData.h"
#include "core/Register.h"
#include "core/ReportDocument.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"
#include "gui/HelpWindow.h"
#include "gui/ReportEditor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace kvor {

namespace {

// The periods run from January of last year to December of the year after next.
constexpr int kFirstYearOffset = -1;
constexpr int kLastYearOffset = 2;
constexpr int kMonths = 12;
// Wide enough for the longest name of the register.
constexpr int kMunicipalityChars = 28;

QString PeriodText(int month, int year)
{
    return QStringLiteral("%1 / %2").arg(month, 2, 10, QLatin1Char('0')).arg(year);
}

QLabel* MakeLabel(const QString& text, const char* name, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(buddy);
    return label;
}

QPushButton* MakeButton(const QString& caption, const QString& name, const char* objectName,
                        QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(name);
    return button;
}

} // namespace

NewReportDialog::NewReportDialog(QWidget* parent, AppState& state) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmChoosePrm"));
    setWindowTitle(QStringLiteral("Данни за нов документ"));

    m_period = new QComboBox(this);
    m_period->setObjectName(QStringLiteral("cboDate"));
    m_period->setAccessibleName(QStringLiteral("Период"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("fraObshtina"));
    m_municipality = new QComboBox(frame);
    m_municipality->setObjectName(QStringLiteral("cboObshtina"));
    m_municipality->setAccessibleName(QStringLiteral("Община"));
    m_municipality->setMinimumContentsLength(kMunicipalityChars);
    m_municipality->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_ebk = new QLineEdit(frame);
    m_ebk->setObjectName(QStringLiteral("txtEBK"));
    m_ebk->setAccessibleName(QStringLiteral("ЕБК"));
    // Display only, but in readable ink: the user checks the code before choosing.
    m_ebk->setReadOnly(true);
    m_ebk->setFocusPolicy(Qt::NoFocus);

    m_choose = MakeButton(QStringLiteral("&Избор"), QStringLiteral("Избор"), "cmdOk", this);
    m_choose->setDefault(true);
    QPushButton* cancel =
        MakeButton(QStringLiteral("От&каз"), QStringLiteral("Отказ"), "cmdEsc", this);

    QLabel* lblDate = MakeLabel(QStringLiteral("&Период"), "lblDate", m_period, this);
    QLabel* lblObshtina =
        MakeLabel(QStringLiteral("&Община"), "lblObshtina", m_municipality, frame);
    QLabel* lblEBK = MakeLabel(QStringLiteral("ЕБК"), "lblEBK", m_ebk, frame);
    // The period list lines up with the fields in the frame.
    const int labelWidth = std::max(
        {lblDate->sizeHint().width(), lblObshtina->sizeHint().width(), lblEBK->sizeHint().width()});
    for (QLabel* label : {lblDate, lblObshtina, lblEBK}) {
        label->setMinimumWidth(labelWidth);
    }

    auto* frameLayout = new QGridLayout(frame);
    frameLayout->addWidget(lblObshtina, 0, 0);
    frameLayout->addWidget(m_municipality, 0, 1, 1, 2);
    frameLayout->addWidget(lblEBK, 1, 0);
    frameLayout->addWidget(m_ebk, 1, 1);
    frameLayout->setColumnStretch(2, 1);

    m_periodRow = new QHBoxLayout;
    m_periodRow->addWidget(lblDate);
    m_periodRow->addWidget(m_period);
    m_periodRow->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_choose);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_periodRow);
    layout->addWidget(frame);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(m_choose, cancel);
    setTabOrder(cancel, m_municipality);
    setTabOrder(m_municipality, m_period);

    connect(m_choose, &QPushButton::clicked, this, &NewReportDialog::choose);
    connect(cancel, &QPushButton::clicked, this, &NewReportDialog::reject);
    connect(m_municipality, &QComboBox::currentIndexChanged, this, [this](int p) {
        if (p >= 0) {
            municipalityChosen(p);
        }
    });
    AddHelpKey(this);

    loadRegister();
    // -1 and -2 mean none is remembered; a position beyond the list (a shorter register) selects
    // nothing either.
    const short remembered = m_state.iObshtina;
    if (remembered >= 0 && remembered < m_municipality->count()) {
        m_municipality->setCurrentIndex(remembered);
    }
    fillPeriods();
}

void NewReportDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    alignPeriodWithFrame();
    m_choose->setFocus();
}

void NewReportDialog::alignPeriodWithFrame()
{
    // How far the frame's border pushes its fields in depends on the style.
    layout()->activate();
    const int offset =
        m_municipality->mapTo(this, QPoint()).x() - m_period->mapTo(this, QPoint()).x();
    if (offset != 0) {
        QMargins margins = m_periodRow->contentsMargins();
        margins.setLeft(margins.left() + offset);
        m_periodRow->setContentsMargins(margins);
        layout()->activate();
    }
}

void NewReportDialog::loadRegister()
{
    const QSignalBlocker quiet(m_municipality);
    m_municipality->clear();
    if (const auto names = ReadObshtini(m_register)) {
        m_municipality->addItems(*names);
    }
    // Filling a list selects its first item; the user has chosen nothing yet.
    m_municipality->setCurrentIndex(-1);
}

void NewReportDialog::fillPeriods()
{
    const QDate today = platform().Today();
    m_period->clear();
    for (int y = kFirstYearOffset; y <= kLastYearOffset; ++y) {
        for (int m = 1; m <= kMonths; ++m) {
            m_period->addItem(PeriodText(m, today.year() + y));
        }
    }
    m_period->setCurrentIndex(-kFirstYearOffset * kMonths + today.month() - 1);
}

void NewReportDialog::municipalityChosen(int position)
{
    m_state.Obshtina.NumEBK = EbkOfPosition(m_register, position);
    m_ebk->setText(m_state.Obshtina.NumEBK);
    if (RememberMunicipality(static_cast<short>(position))) {
        m_state.iObshtina = static_cast<short>(position);
    }
}

void NewReportDialog::choose()
{
    AppState& state = m_state;
    state.sPeriod = m_period->currentText();
    state.Obshtina.Name = m_municipality->currentText().trimmed();
    // A name of blanks only counts as none: the report would carry an empty name and could not be
    // chosen for correction later.
    if (state.Obshtina.Name.isEmpty()) {
        platform().MsgBox(msg::kChooseObshtina, MsgButtons::Ok, MsgIcon::Exclamation,
                          msg::kTitleWarning);
        return;
    }
    // The code becomes part of a file name: it must not lead anywhere outside Data.
    if (!IsSafeEbkCode(state.Obshtina.NumEBK)) {
        platform().MsgBox(msg::kInvalidEbk, MsgButtons::Ok, MsgIcon::Exclamation,
                          msg::kTitleWarning);
        return;
    }
    state.sMonth = PeriodMonth(state.sPeriod);
    state.sYear = PeriodYear(state.sPeriod);
    if (!loadStructure()) {
        return;
    }
    EnsureDataFolder();
    state.sFileName = ReportFilePath(state.Obshtina.NumEBK, state.sYear, state.sMonth);
    if (!OpenDocument(state, state.sFileName)) {
        reject();
        return;
    }
    CheckForPrevData(state);
    // Creating the report took the captions off the structure in memory.
    if (!loadStructure()) {
        return;
    }
    ShowReportEditor(this, state);
    // The dialog stays open for another report or "Отказ".
}

bool NewReportDialog::loadStructure()
{
    // Every year has the same form.
    if (ReadStructure(m_state.xmlStructure)) {
        return true;
    }
    if (isVisible()) {
        reject();
    }
    return false;
}

} // namespace kvor
