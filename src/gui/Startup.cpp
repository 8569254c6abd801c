#include "gui/Startup.h"

#include "core/CommandLine.h"
#include "core/Folders.h"
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
#include <optional>

namespace kvor {

namespace {

void endWith(const QString& text)
{
    prompts().showMessage(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
}

constexpr int kExitUsage = 2;

// Answers the command line. Before the application exists (strict false) only help and version
// and unknown long options are answered, because Qt's own options are still in the line;
// afterwards whatever is left is refused. An exit status when the program is to end without a
// window.
std::optional<int> AnswerCommandLine(const QStringList& args, bool strict)
{
    const CommandRequest request = ParseCommandLine(args);
    switch (request.action) {
    case CommandAction::ShowHelp:
        PrintText(stdout, KvorUsageText());
        return 0;
    case CommandAction::ShowVersion:
        PrintText(stdout, VersionText(QStringLiteral("kvor")));
        return 0;
    case CommandAction::Refuse:
        // Qt's own options (-platform, -style, ...) take one dash; a long option nobody knows
        // is refused before it could cost a window.
        if (!strict && !request.refused.startsWith(QLatin1String("--"))) {
            return std::nullopt;
        }
        PrintText(stderr, RefusedOptionText(QStringLiteral("kvor"), request.refused));
        return kExitUsage;
    case CommandAction::Run:
        if (strict && !request.operands.isEmpty()) {
            PrintText(stderr, KvorRefusedOperandText(request.operands.constFirst()));
            return kExitUsage;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

int StartUp(SingleInstance& guard)
{
    // A folder where no lock can be made is no sign of another copy: nothing can be written
    // there either, and the steps below say what is missing.
    if (guard.tryAcquire() == SingleInstance::Result::HeldByAnother) {
        endWith(msg::kSecondCopy);
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
    QObject::connect(splash, &SplashScreen::ready, main, [splash, main] {
        main->show();
        splash->close();
        splash->deleteLater();
    });
    return 0;
}

int Main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    if (const auto status = AnswerCommandLine(args, false)) {
        return *status;
    }
    QApplication app(argc, argv);
    if (const auto status = AnswerCommandLine(QCoreApplication::arguments().mid(1), true)) {
        return *status;
    }
    // Creating the application takes the user's numeric locale into C; the XML library and the
    // standard library must keep reading "2.25" as two and a quarter.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("KVOR"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kvor"));
    QApplication::setWindowIcon(SvgIcon(icon::kApp));

    QTranslator qtBase;
    if (qtBase.load(QLocale(QLocale::Bulgarian, QLocale::Bulgaria), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtBase);
    }

    DesktopPlatform desktop;
    setPlatform(&desktop);
    setPrompts(&desktop);
    // Before the lock: it lives in the user's folder, which may not exist yet.
    SeedUserFolder({desktop.InstallFolder(), desktop.UserFolder()});
    SingleInstance guard(desktop.UserFolder());

    const int status = StartUp(guard);
    if (status != 0) {
        return status;
    }
    const int rc = QApplication::exec();
    guard.release();
    return rc;
}

} // namespace kvor
