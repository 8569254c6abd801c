#include "gui/Startup.h"

#include "core/KvorIni.h"
#include "core/Messages.h"
#include "core/SingleInstance.h"
#include "gui/DesktopPlatform.h"
#include "gui/Icons.h"
#include "gui/MainWindow.h"
#include "gui/SplashScreen.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>

namespace kvor {

namespace {

void endWith(const QString& text)
{
    platform().MsgBox(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
}

} // namespace

int StartUp(SingleInstance& guard)
{
    if (!guard.tryAcquire()) {
        endWith(msg::kSecondCopy);
        return 1;
    }

    const QString ini = ProgramPath(QString::fromLatin1(kIniFileName));
    if (!QFileInfo::exists(ini)) {
        endWith(msg::kNoIniFile);
        return 1;
    }
    short remembered = 0;
    switch (ReadIni(ini, remembered)) {
    case IniStatus::Ok:
        break;
    case IniStatus::Missing:
        endWith(msg::kNoIniFile);
        return 1;
    case IniStatus::ReadOnly:
    case IniStatus::Failed:
        endWith(msg::kIniUnreadable);
        return 1;
    }

    auto* splash = new SplashScreen;
    splash->start();

    auto* main = new MainWindow(remembered);
    main->setAttribute(Qt::WA_DeleteOnClose);

    while (!splash->readyToClose()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents, 50);
    }

    splash->repaint();
    main->show();
    splash->close();
    delete splash;
    return 0;
}

int Main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Creating the application takes the user's numeric locale into C; the XML library and the
    // standard library must keep reading "2.25" as two and a quarter.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("KVOR"));
    QApplication::setWindowIcon(SvgIcon(icon::kApp));

    QTranslator qtBase;
    if (qtBase.load(QLocale(QLocale::Bulgarian, QLocale::Bulgaria), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtBase);
    }

    DesktopPlatform desktop;
    setPlatform(&desktop);
    SingleInstance guard(desktop.ProgramFolder());
    desktop.setBeforeEnd([&guard] { guard.release(); });

    const int status = StartUp(guard);
    if (status != 0) {
        return status;
    }
    const int rc = QApplication::exec();
    guard.release();
    return rc;
}

} // namespace kvor
