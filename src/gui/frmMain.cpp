#include "gui/frmMain.h"

#include "gui/Icons.h"
#include "gui/frmChooseFile.h"
#include "gui/frmChoosePrm.h"
#include "gui/frmHelp.h"
#include "gui/frmSaveXMLAs.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace kvor {

namespace {

struct ToolbarButton
{
    const char* key;
    const char* tooltip;
    QIcon (*icon)();
};

const ToolbarButton kButtons[] = {
    {"cmdNewDoc", "Въвеждане на отчет", NewDocIcon},
    {"cmdEditDoc", "Редакция на отчет", EditDocIcon},
    {"cmdSave", "Съхраняване на отчет", SaveDiskIcon},
    {"cmdHelp", "Помощ", HelpIcon},
};

} // namespace

frmMain::frmMain(short rememberedMunicipality, QWidget* parent) : QMainWindow(parent)
{
    m_state.iObshtina = rememberedMunicipality;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("KVOR"));
    setWindowIcon(AppIcon());
    resize(760, 420);

    QMenuBar* bar = menuBar();
    QMenu* registers = bar->addMenu(QStringLiteral("Документ"));
    registers->setObjectName(QStringLiteral("mnuRegisters"));
    connect(addCommand(registers, "mnuNewDoc", QStringLiteral("Въвеждане на документи")),
            &QAction::triggered, this, &frmMain::mnuNewDoc_Click);
    connect(addCommand(registers, "mnuDocument_Correct", QStringLiteral("Корекция на документ")),
            &QAction::triggered, this, &frmMain::mnuDocument_Correct_Click);

    QMenu* information = bar->addMenu(QStringLiteral("Изходна информация"));
    information->setObjectName(QStringLiteral("mnuInformation"));
    connect(
        addCommand(information, "mnuSaveToDisc", QStringLiteral("Съхранение на файл на дискета")),
        &QAction::triggered, this, &frmMain::mnuSaveToDisc_Click);

    // Help and exit are commands on the menu bar itself.
    connect(addCommand(nullptr, "mnuHelp", QStringLiteral("Помощ")), &QAction::triggered, this,
            &frmMain::mnuHelp_Click);
    connect(addCommand(nullptr, "mnuExit", QStringLiteral("Изход")), &QAction::triggered, this,
            &frmMain::mnuExit_Click);

    m_tbrMain = addToolBar(QStringLiteral("Команди"));
    m_tbrMain->setObjectName(QStringLiteral("tbrMain"));
    m_tbrMain->setMovable(false);
    m_tbrMain->setIconSize(QSize(32, 32));
    for (const ToolbarButton& b : kButtons) {
        QAction* a = m_tbrMain->addAction(b.icon(), QString::fromUtf8(b.tooltip));
        a->setObjectName(QString::fromLatin1(b.key));
        a->setToolTip(QString::fromUtf8(b.tooltip));
        const QString key = QString::fromLatin1(b.key);
        connect(a, &QAction::triggered, this, [this, key] { tbrMain_ButtonClick(key); });
        if (auto* button = qobject_cast<QToolButton*>(m_tbrMain->widgetForAction(a))) {
            button->setObjectName(key);
            button->setAccessibleName(QString::fromUtf8(b.tooltip));
            button->setAccessibleDescription(QString::fromUtf8(b.tooltip));
        }
    }

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(true);
    const char* names[] = {"pnlText", "pnlDate", "pnlTime"};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QString::fromLatin1(names[i]));
        m_panels[i]->setTextFormat(Qt::PlainText);
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setContentsMargins(6, 0, 6, 0);
    }
    m_panels[0]->setText(QStringLiteral("Справка за структурата и размера на дълга на община"));
    status->addWidget(m_panels[0], 1);
    status->addPermanentWidget(m_panels[1]);
    status->addPermanentWidget(m_panels[2]);

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &frmMain::refreshClock);
    m_clock->start();
    refreshClock();
}

QAction* frmMain::addCommand(QMenu* menu, const char* name, const QString& caption)
{
    QAction* a = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void frmMain::refreshClock()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    m_panels[1]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_panels[2]->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void frmMain::tbrMain_ButtonClick(const QString& key)
{
    if (key == u"cmdNewDoc") {
        mnuNewDoc_Click();
    } else if (key == u"cmdEditDoc") {
        mnuDocument_Correct_Click();
    } else if (key == u"cmdSave") {
        mnuSaveToDisc_Click();
    } else if (key == u"cmdHelp") {
        mnuHelp_Click();
    }
}

void frmMain::mnuNewDoc_Click()
{
    // Created afresh each time, so that the register is read again and the periods follow today.
    frmChoosePrm dialog(this, m_state);
    dialog.exec();
}

void frmMain::mnuDocument_Correct_Click()
{
    frmChooseFile dialog(this, m_state);
    dialog.exec();
}

void frmMain::mnuSaveToDisc_Click()
{
    frmSaveXMLAs dialog(this);
    dialog.exec();
}

void frmMain::mnuHelp_Click()
{
    ShowHelp(this);
}

void frmMain::mnuExit_Click()
{
    // Ends at once: nothing is asked and open windows are not consulted.
    close();
    QApplication::quit();
}

} // namespace kvor
