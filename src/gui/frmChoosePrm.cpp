#include "gui/frmChoosePrm.h"

#include "core/AppState.h"
#include "core/KvorIni.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "gui/ReportEditor.h"
#include "core/Register.h"
#include "core/StructureFile.h"
#include "core/ReportName.h"
#include "core/ReportDocument.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace kvor {

namespace {

QPointer<frmChoosePrm> g_open;

// The periods run from January of last year to December of the year after next.
constexpr int kFirstYearOffset = -1;
constexpr int kLastYearOffset = 2;
constexpr int kMonths = 12;

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

} // namespace

frmChoosePrm::frmChoosePrm(QWidget* parent) : QDialog(parent)
{
    g_open = this;
    setObjectName(QStringLiteral("frmChoosePrm"));
    setWindowTitle(QStringLiteral("Данни за нов документ"));

    m_cboDate = new QComboBox(this);
    m_cboDate->setObjectName(QStringLiteral("cboDate"));
    m_cboDate->setAccessibleName(QStringLiteral("Период"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("fraObshtina"));
    m_cboObshtina = new QComboBox(frame);
    m_cboObshtina->setObjectName(QStringLiteral("cboObshtina"));
    m_cboObshtina->setAccessibleName(QStringLiteral("Община"));
    m_cboObshtina->setMinimumContentsLength(28);
    m_cboObshtina->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_txtEBK = new QLineEdit(frame);
    m_txtEBK->setObjectName(QStringLiteral("txtEBK"));
    m_txtEBK->setAccessibleName(QStringLiteral("ЕБК"));
    // Display only, but in readable ink: the user checks the code before choosing.
    m_txtEBK->setReadOnly(true);
    m_txtEBK->setFocusPolicy(Qt::NoFocus);

    m_cmdOk = new QPushButton(QStringLiteral("Избор"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setAccessibleName(QStringLiteral("Избор"));
    m_cmdOk->setDefault(true);
    m_cmdEsc = new QPushButton(QStringLiteral("Отказ"), this);
    m_cmdEsc->setObjectName(QStringLiteral("cmdEsc"));
    m_cmdEsc->setAccessibleName(QStringLiteral("Отказ"));

    QLabel* lblDate = MakeLabel(QStringLiteral("Период"), "lblDate", m_cboDate, this);
    QLabel* lblObshtina = MakeLabel(QStringLiteral("Община"), "lblObshtina", m_cboObshtina, frame);
    QLabel* lblEBK = MakeLabel(QStringLiteral("ЕБК"), "lblEBK", m_txtEBK, frame);
    // The period list lines up with the fields in the frame.
    const int labelWidth = std::max(
        {lblDate->sizeHint().width(), lblObshtina->sizeHint().width(), lblEBK->sizeHint().width()});
    for (QLabel* label : {lblDate, lblObshtina, lblEBK}) {
        label->setFixedWidth(labelWidth);
    }

    constexpr int kFrameMargin = 10;
    auto* frameLayout = new QGridLayout(frame);
    frameLayout->setContentsMargins(kFrameMargin, kFrameMargin, kFrameMargin, kFrameMargin);
    frameLayout->addWidget(lblObshtina, 0, 0);
    frameLayout->addWidget(m_cboObshtina, 0, 1, 1, 2);
    frameLayout->addWidget(lblEBK, 1, 0);
    frameLayout->addWidget(m_txtEBK, 1, 1);
    frameLayout->setColumnStretch(2, 1);

    m_periodRow = new QHBoxLayout;
    m_periodRow->setContentsMargins(kFrameMargin, 0, 0, 0);
    m_periodRow->addWidget(lblDate);
    m_periodRow->addWidget(m_cboDate);
    m_periodRow->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOk);
    buttons->addWidget(m_cmdEsc);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_periodRow);
    layout->addWidget(frame);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(m_cmdOk, m_cmdEsc);
    setTabOrder(m_cmdEsc, m_cboObshtina);
    setTabOrder(m_cboObshtina, m_cboDate);

    connect(m_cmdOk, &QPushButton::clicked, this, &frmChoosePrm::cmdOk_Click);
    connect(m_cmdEsc, &QPushButton::clicked, this, &frmChoosePrm::cmdEsc_Click);
    connect(m_cboObshtina, &QComboBox::currentIndexChanged, this, [this](int p) {
        if (p >= 0) {
            cboObshtina_Click(p);
        }
    });

    Form_Load();
}

frmChoosePrm::~frmChoosePrm()
{
    if (g_open == this) {
        g_open = nullptr;
    }
}

frmChoosePrm* frmChoosePrm::OpenInstance()
{
    return g_open;
}

void frmChoosePrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    AlignPeriodWithFrame();
    m_cmdOk->setFocus();
}

void frmChoosePrm::AlignPeriodWithFrame()
{
    // How far the frame's border pushes its fields in depends on the style.
    layout()->activate();
    const int offset =
        m_cboObshtina->mapTo(this, QPoint()).x() - m_cboDate->mapTo(this, QPoint()).x();
    if (offset != 0) {
        QMargins margins = m_periodRow->contentsMargins();
        margins.setLeft(margins.left() + offset);
        m_periodRow->setContentsMargins(margins);
        layout()->activate();
    }
}

void frmChoosePrm::Form_Load()
{
    LoadObshtini();
    // -1 and -2 mean none is remembered; a position beyond the list (a shorter register) selects
    // nothing either.
    const short remembered = State().iObshtina;
    if (remembered >= 0 && remembered < m_cboObshtina->count()) {
        m_cboObshtina->setCurrentIndex(remembered);
    }
    FillPeriods();
}

void frmChoosePrm::LoadObshtini()
{
    const QSignalBlocker quiet(m_cboObshtina);
    m_cboObshtina->clear();
    if (const auto names = ReadObshtini()) {
        m_cboObshtina->addItems(*names);
    }
    // Filling a list selects its first item; the user has chosen nothing yet.
    m_cboObshtina->setCurrentIndex(-1);
}

void frmChoosePrm::FillPeriods()
{
    const QDate today = platform().Today();
    m_cboDate->clear();
    for (int y = kFirstYearOffset; y <= kLastYearOffset; ++y) {
        for (int m = 1; m <= kMonths; ++m) {
            m_cboDate->addItem(PeriodText(m, today.year() + y));
        }
    }
    m_cboDate->setCurrentIndex(-kFirstYearOffset * kMonths + today.month() - 1);
}

void frmChoosePrm::cboObshtina_Click(int p)
{
    AppState& state = State();
    state.Obshtina.NumEBK = EbkOfPosition(p);
    m_txtEBK->setText(state.Obshtina.NumEBK);
    RememberMunicipality(static_cast<short>(p));
}

void frmChoosePrm::cmdOk_Click()
{
    AppState& state = State();
    state.sPeriod = m_cboDate->currentText();
    state.Obshtina.Name = m_cboObshtina->currentText().trimmed();
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
    if (!LoadStructure(state.sYear)) {
        return;
    }
    EnsureDataFolder();
    state.sFileName = ReportFilePath(state.Obshtina.NumEBK, state.sYear, state.sMonth);
    if (!OpenDocument(state.sFileName)) {
        reject();
        return;
    }
    CheckForPrevData();
    // Creating the report took the captions off the structure in memory.
    if (!LoadStructure(state.sYear)) {
        return;
    }
    ShowReportEditor(this, State());
    // The dialog stays open for another report or "Отказ".
}

void frmChoosePrm::cmdEsc_Click()
{
    reject();
}

bool LoadStructure(const QString& /*sYear*/)
{
    if (ReadStructure()) {
        return true;
    }
    if (frmChoosePrm* open = frmChoosePrm::OpenInstance(); open && open->isVisible()) {
        open->reject();
    }
    return false;
}

} // namespace kvor
