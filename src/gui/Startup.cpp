#include "gui/Startup.h"

#include "core/Folders.h"
#include "core/KvorIni.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/SingleInstance.h"
#include "gui/MainWindow.h"
#include "gui/SplashScreen.h"
#include "gui/StartupLock.h"
#include "gui/UserPrompts.h"

#include <QFileInfo>
#include <QTimer>

namespace kvor {

namespace {

void endWith(const QString& text)
{
    prompts().showMessage(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
}

} // namespace

int StartUp(SingleInstance& guard, const QString& reportFile)
{
    if (!TakeOneCopyLock(guard)) {
        return 1;
    }

    const QString ini = UserPath(QString::fromLatin1(kIniFileName));
    if (!QFileInfo::exists(ini)) {
        endWith(msg::kNoIniFile);
        return 1;
    }
    const Result<std::optional<int>> remembered = ReadRememberedMunicipality(ini);
    if (!remembered) {
        endWith(remembered.failure().kind == Failure::Kind::NotFound ? msg::kNoIniFile
                                                                     : msg::kIniUnreadable);
        return 1;
    }

    auto* splash = new SplashScreen;
    splash->start();

    auto* main = new MainWindow(*remembered);
    main->setAttribute(Qt::WA_DeleteOnClose);

    // The event loop shows the splash; the main window takes its place once it may close.
    QObject::connect(splash, &SplashScreen::ready, main, [splash, main, reportFile] {
        main->show();
        splash->close();
        splash->deleteLater();
        // A report given to the program is opened over the main window once it is up.
        if (!reportFile.isEmpty()) {
            QTimer::singleShot(0, main,
                               [main, reportFile] { main->correctReportFile(reportFile); });
        }
    });
    return 0;
}

} // namespace kvor
