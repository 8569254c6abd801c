#include "gui/NewReportDialog.h"

#include "core/KvorIni.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/ReportName.h"
#include "gui/FailureMessages.h"
#include "gui/HelpWindow.h"
#include "gui/ReportEditor.h"
#include "gui/UserPrompts.h"

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

NewReportDialog::NewReportDialog(QList<Municipality> municipalities, std::optional<int> remembered,
                                 QWidget* parent)
    : QDialog(parent), m_municipalities(std::move(municipalities))
{
    setObjectName(QStringLiteral("newReportDialog"));
    setWindowTitle(QStringLiteral("Данни за нов документ"));

    m_period = new QComboBox(this);
    m_period->setObjectName(QStringLiteral("periodList"));
    m_period->setAccessibleName(QStringLiteral("Период"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("municipalityFrame"));
    m_municipality = new QComboBox(frame);
    m_municipality->setObjectName(QStringLiteral("municipalityList"));
    m_municipality->setAccessibleName(QStringLiteral("Община"));
    m_municipality->setMinimumContentsLength(kMunicipalityChars);
    m_municipality->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_ebk = new QLineEdit(frame);
    m_ebk->setObjectName(QStringLiteral("ebkField"));
    m_ebk->setAccessibleName(QStringLiteral("ЕБК"));
    // Display only, but in readable ink: the user checks the code before choosing.
    m_ebk->setReadOnly(true);
    m_ebk->setFocusPolicy(Qt::NoFocus);

    m_choose = MakeButton(QStringLiteral("&Избор"), QStringLiteral("Избор"), "chooseButton", this);
    m_choose->setDefault(true);
    QPushButton* cancel =
        MakeButton(QStringLiteral("От&каз"), QStringLiteral("Отказ"), "cancelButton", this);

    QLabel* lblDate = MakeLabel(QStringLiteral("&Период"), "periodLabel", m_period, this);
    QLabel* lblObshtina =
        MakeLabel(QStringLiteral("&Община"), "municipalityLabel", m_municipality, frame);
    QLabel* lblEBK = MakeLabel(QStringLiteral("ЕБК"), "ebkLabel", m_ebk, frame);
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

    fillMunicipalities(remembered);
    fillPeriods();
}

NewReportDialog::~NewReportDialog() = default;

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

void NewReportDialog::fillMunicipalities(std::optional<int> remembered)
{
    {
        const QSignalBlocker quiet(m_municipality);
        for (const Municipality& m : std::as_const(m_municipalities)) {
            m_municipality->addItem(m.name);
        }
        // Filling a list selects its first item; the user has chosen nothing yet.
        m_municipality->setCurrentIndex(-1);
    }
    // A position beyond the list (a shorter register) selects nothing either.
    if (remembered && *remembered >= 0 && *remembered < m_municipality->count()) {
        m_municipality->setCurrentIndex(*remembered);
    }
}

void NewReportDialog::fillPeriods()
{
    const QDate today = platform().Today();
    m_period->clear();
    for (int y = kFirstYearOffset; y <= kLastYearOffset; ++y) {
        for (int m = 1; m <= kMonths; ++m) {
            const Period period(m, today.year() + y);
            m_period->addItem(period.text(), QDate(period.year(), period.month(), 1));
        }
    }
    m_period->setCurrentIndex(-kFirstYearOffset * kMonths + today.month() - 1);
}

void NewReportDialog::municipalityChosen(int position)
{
    m_ebk->setText(m_municipalities.value(position).ebk);
    if (const Status remembered = RememberMunicipality(position); !remembered) {
        TellFailure(remembered.failure());
        return;
    }
    emit municipalityRemembered(position);
}

void NewReportDialog::choose()
{
    const int position = m_municipality->currentIndex();
    const Municipality municipality{m_municipality->currentText().trimmed(),
                                    m_municipalities.value(position).ebk};
    // A name of blanks only counts as none: the report would carry an empty name and could not be
    // chosen for correction later.
    if (municipality.name.isEmpty()) {
        prompts().showMessage(msg::kChooseObshtina, MsgButtons::Ok, MsgIcon::Exclamation,
                              msg::kTitleWarning);
        return;
    }
    // The code becomes part of a file name: it must not lead anywhere outside Data.
    if (!IsSafeEbkCode(municipality.ebk)) {
        prompts().showMessage(msg::kInvalidEbk, MsgButtons::Ok, MsgIcon::Exclamation,
                              msg::kTitleWarning);
        return;
    }
    const QDate month = m_period->currentData().toDate();
    Result<OpenReport> opened =
        OpenOrCreateReport(municipality, Period(month.month(), month.year()));
    if (!opened) {
        TellFailure(opened.failure());
        reject();
        return;
    }
    m_opened = std::move(*opened);
    ShowReportEditor(this, *m_opened);
    // The dialog stays open for another report or "Отказ".
}

} // namespace kvor
