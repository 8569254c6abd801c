#include "gui/MainWindow.h"

#include "gui/AboutDialog.h"
#include "core/Register.h"
#include "gui/CopyToMediaDialog.h"
#include "gui/CorrectionDialog.h"
#include "gui/FailureMessages.h"
#include "gui/HelpWindow.h"
#include "gui/Icons.h"
#include "gui/NewReportDialog.h"
#include "gui/ReportFileArgument.h"

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
#include <algorithm>

namespace kvor {

namespace {

constexpr int kToolbarIconSize = 32;
constexpr int kClockIntervalMs = 1000;
constexpr int kPanelMargin = 6;
// The window has no document area; some room below the toolbar keeps it from opening as a strip.
constexpr int kEmptyLines = 16;
// The gaps between the status bar's panels and its size grip, in line heights.
constexpr int kStatusBarGapLines = 3;

} // namespace

MainWindow::MainWindow(std::optional<int> rememberedMunicipality, QWidget* parent)
    : QMainWindow(parent), m_rememberedMunicipality(rememberedMunicipality)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("KVOR"));
    setWindowIcon(SvgIcon(icon::kApp));

    QMenuBar* bar = menuBar();
    QMenu* document = bar->addMenu(QStringLiteral("&Документ"));
    document->setObjectName(QStringLiteral("documentMenu"));
    QAction* newReport = addCommand(
        document, "newReportAction", QStringLiteral("&Въвеждане на документи"), &MainWindow::newReport);
    QAction* correct =
        addCommand(document, "correctReportAction", QStringLiteral("&Корекция на документ"),
                   &MainWindow::correctReport);

    QMenu* output = bar->addMenu(QStringLiteral("&Изходна информация"));
    output->setObjectName(QStringLiteral("outputMenu"));
    QAction* copy =
        addCommand(output, "copyToMediaAction", QStringLiteral("&Съхранение на файл на дискета"),
                   &MainWindow::copyToMedia);

    QMenu* helpMenu = bar->addMenu(QStringLiteral("&Помощ"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    QAction* help =
        addCommand(helpMenu, "helpAction", QStringLiteral("&Помощ"), &MainWindow::showHelp);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    addCommand(helpMenu, "aboutAction", QStringLiteral("&За програмата"), &MainWindow::showAbout);
    // Exit is a command on the menu bar itself.
    addCommand(nullptr, "exitAction", QStringLiteral("Из&ход"), &MainWindow::exitProgram);

    QToolBar* toolbar = addToolBar(QStringLiteral("Команди"));
    toolbar->setObjectName(QStringLiteral("mainToolBar"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    addToolbarButton(newReport, "newReportButton", icon::kNewReport,
                     QStringLiteral("Въвеждане на отчет"));
    addToolbarButton(correct, "correctReportButton", icon::kEditReport, QStringLiteral("Редакция на отчет"));
    addToolbarButton(copy, "copyToMediaButton", icon::kCopyToMedia, QStringLiteral("Съхраняване на отчет"));
    addToolbarButton(help, "helpButton", icon::kHelp, QStringLiteral("Помощ"));

    buildStatusBar();
    // Without a document area, nothing else asks for the width the menu and the status bar need.
    int panels = fontMetrics().height() * kStatusBarGapLines;
    for (const QLabel* panel : statusBar()->findChildren<QLabel*>()) {
        panels += panel->sizeHint().width();
    }
    const int width = std::max(menuBar()->sizeHint().width(), panels);
    resize(std::max(width, sizeHint().width()),
           sizeHint().height() + fontMetrics().lineSpacing() * kEmptyLines);
}

QAction* MainWindow::addCommand(QMenu* menu, const char* name, const QString& caption,
                                void (MainWindow::*run)())
{
    QAction* a = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, run);
    return a;
}

// A toolbar button is an action of its own, with its own key and tooltip, that runs what the
// menu command runs.
void MainWindow::addToolbarButton(QAction* command, const char* key, const char* icon,
                                  const QString& tooltip)
{
    QToolBar* toolbar = findChild<QToolBar*>(QStringLiteral("mainToolBar"));
    QAction* a = toolbar->addAction(SvgIcon(icon), tooltip);
    a->setObjectName(QString::fromLatin1(key));
    a->setToolTip(tooltip);
    connect(a, &QAction::triggered, command, &QAction::trigger);
    if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(a))) {
        button->setObjectName(QString::fromLatin1(key));
        button->setAccessibleName(tooltip);
        button->setAccessibleDescription(tooltip);
    }
}

void MainWindow::buildStatusBar()
{
    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("statusBar"));
    status->setSizeGripEnabled(true);
    auto panel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(kPanelMargin, 0, kPanelMargin, 0);
        return label;
    };
    QLabel* text = panel("statusText");
    text->setText(QStringLiteral("Справка за структурата и размера на дълга на община"));
    m_date = panel("statusDate");
    m_time = panel("statusTime");
    status->addWidget(text, 1);
    status->addPermanentWidget(m_date);
    status->addPermanentWidget(m_time);

    auto* clock = new QTimer(this);
    clock->setInterval(kClockIntervalMs);
    connect(clock, &QTimer::timeout, this, &MainWindow::refreshClock);
    clock->start();
    refreshClock();
}

void MainWindow::refreshClock()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    m_date->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_time->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void MainWindow::newReport()
{
    // Read afresh each time, and the dialog made afresh, so that the periods follow today.
    const Result<QList<Municipality>> municipalities = ReadRegister();
    if (!municipalities) {
        TellFailure(municipalities.failure());
        return;
    }
    NewReportDialog dialog(*municipalities, m_rememberedMunicipality, this);
    connect(&dialog, &NewReportDialog::municipalityRemembered, this,
            [this](int position) { m_rememberedMunicipality = position; });
    dialog.exec();
}

void MainWindow::correctReport()
{
    CorrectionDialog dialog(this);
    dialog.exec();
}

void MainWindow::copyToMedia()
{
    CopyToMediaDialog dialog(this);
    dialog.exec();
}

void MainWindow::showHelp()
{
    ShowHelp(this);
}

void MainWindow::showAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::correctReportFile(const QString& path)
{
    CorrectReportFile(this, path);
}

void MainWindow::exitProgram()
{
    // Ends at once: nothing is asked and open windows are not consulted.
    close();
    QApplication::quit();
}

} // namespace kvor
