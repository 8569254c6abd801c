#include "printout/PdfCommand.h"

#include "core/CommandLine.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/ReportModel.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"
#include "core/XmlDom.h"
#include "printout/FormPdf.h"
#include "printout/PrintoutInput.h"

#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <clocale>
#include <kvor/InstallDirs.h>
#include <optional>

namespace kvor {

namespace {

constexpr int kExitFailed = 2;

int fail(const QString& text)
{
    PrintText(stderr, QStringLiteral("kvor: ") + text + u'\n');
    return kExitFailed;
}

QString shown(const QString& path)
{
    return QStringLiteral("„") + QDir::toNativeSeparators(path) + QStringLiteral("“");
}

QString structurePath()
{
    const QString exeFolder = QCoreApplication::applicationDirPath();
    const Folders folders =
        ChooseFolders(exeFolder, exeFolder + u'/' + QLatin1String(kInstalledDataFromBin),
                      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return folders.install + u'/' + QLatin1String(kStructureFileName);
}

int exportPdf(const QString& reportPath, const QString& pdfPath)
{
    DomDocument structure;
    const QString structureFile = structurePath();
    if (structure.load(structureFile) != kLoadOk || !IsUsableStructure(structure)) {
        return fail(QStringLiteral("файлът със структурата на справката ") + shown(structureFile) +
                    QStringLiteral(" липсва или е повреден. ") + structure.errorReason());
    }
    DomDocument report;
    if (report.load(reportPath) != kLoadOk) {
        return fail(QStringLiteral("справката ") + shown(reportPath) +
                    QStringLiteral(" не може да бъде прочетена. ") + report.errorReason());
    }
    const XmlNode positions = selectSingleNode(report, QStringLiteral("positions"));
    const QString municipality = GetAttribute(positions, QStringLiteral("ob_name"));
    const QString period = GetAttribute(positions, QStringLiteral("period"));
    if (municipality.isEmpty() || period.isEmpty() ||
        !selectSingleNode(report, QStringLiteral("positions/structure"))) {
        return fail(QStringLiteral("файлът ") + shown(reportPath) +
                    QStringLiteral(" не е справка за дълга на община."));
    }
    const ReportModel model(structure, report);
    const Status saved =
        SaveFormPdf(PrintoutOf(model, municipality, period, msg::kNote), pdfPath);
    if (!saved) {
        return fail(QStringLiteral("PDF файлът ") + shown(pdfPath) +
                    QStringLiteral(" не е записан: ") + saved.failure().reason);
    }
    return 0;
}

} // namespace

int ExportPdfCommand(const QStringList& operands)
{
    // What Qt says on the way (a missing runtime folder and the like) is no concern of a user
    // who asked for a file: only this command's own messages reach stderr.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            PrintText(stderr, text + u'\n');
        }
    });
    if (operands.size() != 2) {
        return fail(QStringLiteral("--pdf иска два аргумента: файла на справката и PDF файла.\n"
                                   "Вижте „kvor --help“."));
    }
    std::optional<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        // No window is shown: the offscreen platform needs no display and finds the fonts
        // through fontconfig like any other.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "kvor";
        static char* argv[] = {name, nullptr};
        app.emplace(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
    }
    return exportPdf(operands[0], operands[1]);
}

} // namespace kvor
