// The kvor executable: the command line is answered before any window exists, so that a wrong
// option or a file that is no report is told and refused (exit status 2) with or without a
// display; then the windows.

#include "core/AtomicFile.h"
#include "core/CommandLine.h"
#include "core/FileRead.h"
#include "core/Messages.h"
#include "core/OpenReport.h"
#include "core/SingleInstance.h"
#include "gui/CorrectionDialog.h"
#include "gui/DesktopPlatform.h"
#include "gui/Icons.h"
#include "gui/Startup.h"
#include "printout/PdfCommand.h"
#include "printout/PrintReport.h"

#include <kvor/Version.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>

namespace kvor {
namespace {

constexpr int kExitNoWindow = 1;
constexpr int kExitUsage = 2;
const QString kProgram = QStringLiteral("kvor");

// The toolkit's own options, which QApplication takes out of the line itself: passed over with
// their values. One more option of the program is one more row with its own action.
constexpr OptionSpec kOptions[] = {
    {"--pdf", 2, CommandAction::ExportPdf},
    {"-platform", 1, CommandAction::Run},        {"-platformpluginpath", 1, CommandAction::Run},
    {"-platformtheme", 1, CommandAction::Run},   {"-plugin", 1, CommandAction::Run},
    {"-qwindowgeometry", 1, CommandAction::Run}, {"-qwindowicon", 1, CommandAction::Run},
    {"-qwindowtitle", 1, CommandAction::Run},    {"-session", 1, CommandAction::Run},
    {"-display", 1, CommandAction::Run},         {"-geometry", 1, CommandAction::Run},
    {"-style", 1, CommandAction::Run},           {"-stylesheet", 1, CommandAction::Run},
    {"-reverse", 0, CommandAction::Run},         {"-widgetcount", 0, CommandAction::Run},
    {"-nograb", 0, CommandAction::Run},          {"-dograb", 0, CommandAction::Run},
};

QString usageText()
{
    return QStringLiteral(
        "Употреба: kvor [ОПЦИЯ] [--] [СПРАВКА.xml]\n"
        "         kvor --pdf СПРАВКА.xml ИЗХОД.pdf\n"
        "\n"
        "Въвеждане, запис, корекция, печат и копиране на месечната справка за\n"
        "структурата и размера на дълга на община. Без аргументи програмата отваря\n"
        "главния си прозорец; със справка я отваря за корекция. Справка извън папка\n"
        "Data се копира там само след съгласие.\n"
        "\n"
        "Опции:\n"
        "  -h, --help     показва този текст и завършва\n"
        "  -V, --version  показва версията на програмата и завършва\n"
        "  --pdf СПРАВКА.xml ИЗХОД.pdf\n"
        "                 записва официалната форма на справката като PDF, без\n"
        "                 прозорец (структурата е Structure.xml от папката на\n"
        "                 програмата); код на завършване 0 при успех, 2 при грешка\n"
        "  --             следващият аргумент е файл, дори да започва с тире\n"
        "\n"
        "Код на завършване: 0 след нормална работа; 1 когато програмата не може да\n"
        "започне (няма дисплей, работи друго копие, липсва kvor.ini); 2 при грешна\n"
        "употреба или файл, който не е справка.\n"
        "\n"
        "Справките се пазят в папка Data. Когато в папката на програмата може да се\n"
        "пише (преносимо копие), Data и kvor.ini са в нея; иначе са в личната папка\n"
        "с данни на потребителя (обикновено ~/.local/share/KVOR). Правете редовно\n"
        "резервно копие на папка Data.\n");
}

// Whether QApplication will find a screen: a platform that needs none (offscreen, minimal, a
// framebuffer) or the display that the X11 or Wayland platform connects to.
bool HasDisplay(const QStringList& args)
{
    QString platformName = qEnvironmentVariable("QT_QPA_PLATFORM");
    const qsizetype at = args.indexOf(QStringLiteral("-platform"));
    if (at >= 0 && at + 1 < args.size()) {
        platformName = args.at(at + 1);
    }
    platformName = platformName.section(u';', 0, 0).section(u':', 0, 0);
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platformName.isEmpty()) {
        return x11 || wayland;
    }
    if (platformName == u"xcb") {
        return x11 || args.contains(QStringLiteral("-display"));
    }
    if (platformName.startsWith(u"wayland")) {
        return wayland;
    }
    return true;
}

// The file checked as the correction dialog checks a chosen one, without a window. Empty when it
// is a report; else what is printed about it.
QString RefusalOfReport(const QString& path)
{
    const ReadResult read = ReadRegularFile(path);
    DomDocument chosen;
    if (read.status == ReadStatus::Ok && chosen.loadBytes(read.bytes) == kLoadOk &&
        NameReportToCorrect(chosen, path)) {
        return {};
    }
    QString reason = read.status == ReadStatus::Ok ? chosen.errorReason() : read.reason;
    QString text = kProgram + QStringLiteral(": ") + path + QStringLiteral(": ") +
                   msg::kChooseValidXml + u'\n';
    if (!reason.isEmpty()) {
        text += reason + u'\n';
    }
    return text;
}

// The application as the desktop sees it: its name, the desktop entry it was started from (so
// that the window and the menu entry are one program), its icon, Qt's dialogs in Bulgarian.
int RunWindows(int argc, char** argv, const QString& report, bool refuseReport)
{
    QApplication app(argc, argv);
    // Creating the application takes the user's numeric locale into C; the XML library and the
    // standard library must keep reading "2.25" as two and a quarter.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("KVOR"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral(KVOR_APP_ID));
    QApplication::setWindowIcon(SvgIcon(icon::kApp));

    QTranslator qtBase;
    if (qtBase.load(QLocale(QLocale::Bulgarian, QLocale::Bulgaria), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtBase);
    }

    DesktopPlatform desktop;
    setPlatform(&desktop);
    setPrompts(&desktop);
    if (refuseReport) {
        desktop.showMessage(msg::kChooseValidXml, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
        return kExitUsage;
    }
    RemoveOldPrintouts();
    // Before the lock: it lives in the user's folder, which may not exist yet.
    SeedUserFolder({desktop.InstallFolder(), desktop.UserFolder()});
    SingleInstance guard(desktop.UserFolder());

    const int status = StartUp(guard, report);
    if (status != 0) {
        return status;
    }
    const int rc = QApplication::exec();
    guard.release();
    return rc;
}

int Run(int argc, char** argv)
{
    IgnoreFileSizeSignal();
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    const CommandRequest request = ParseCommandLine(args, kOptions);
    switch (request.action) {
    case CommandAction::ShowHelp:
        PrintText(stdout, usageText());
        return 0;
    case CommandAction::ShowVersion:
        PrintText(stdout, VersionText(kProgram));
        return 0;
    case CommandAction::ExportPdf:
        return ExportPdfCommand(request.values);
    case CommandAction::Refuse:
        PrintText(stderr, RefusedText(kProgram, request));
        return kExitUsage;
    case CommandAction::Run:
        break;
    }
    if (request.operands.size() > 1) {
        PrintText(stderr, kProgram + QStringLiteral(": приема се една справка, дадени са ") +
                              QString::number(request.operands.size()) +
                              QStringLiteral("\nВижте „kvor --help“.\n"));
        return kExitUsage;
    }
    const QString report = request.operands.value(0);
    const bool display = HasDisplay(args);
    if (!report.isEmpty()) {
        const QString refusal = RefusalOfReport(report);
        if (!refusal.isEmpty()) {
            PrintText(stderr, refusal);
            return display ? RunWindows(argc, argv, report, true) : kExitUsage;
        }
    }
    if (!display) {
        PrintText(stderr, kProgram + QStringLiteral(": няма графичен дисплей (DISPLAY или "
                                                    "WAYLAND_DISPLAY); програмата работи в "
                                                    "прозорец\n"));
        return kExitNoWindow;
    }
    return RunWindows(argc, argv, report, false);
}

} // namespace
} // namespace kvor

int main(int argc, char** argv)
{
    return kvor::Run(argc, argv);
}
