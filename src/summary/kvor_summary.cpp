// kvor-summary: a month's reports of every municipality checked and summed in one step, for
// whoever receives them. Prints a short summary and the findings; writes the workbook on request.

#include "core/CommandLine.h"
#include "core/Folders.h"
#include "core/Register.h"
#include "core/StructureFile.h"
#include "summary/Summary.h"
#include "summary/SummaryWorkbook.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <kvor/InstallDirs.h>

using namespace kvor;
using namespace kvor::summary;

namespace {

constexpr int kExitInOrder = 0;
constexpr int kExitFound = 1;
constexpr int kExitError = 2;
const QString kProgram = QStringLiteral("kvor-summary");

const char* const kUsage =
    "Употреба: kvor-summary [ОПЦИЯ]... ПАПКА...\n"
    "\n"
    "Проверява и сумира справките за дълга на общините за един месец. Чете всички\n"
    "файлове *.xml в посочените папки, включително подпапките, и взема справките за\n"
    "периода (по подразбиране последния намерен). За всяка справка проверява\n"
    "контролната сума (hash), сумите на всеки ред (дълг в края = дълг в началото +\n"
    "увеличения - намаления), общите редове спрямо редовете, които ги съставят, и\n"
    "дълга в началото спрямо дълга в края на предходния месец, когато неговата\n"
    "справка е сред файловете. Общините от регистъра без справка, две различни\n"
    "справки на една община за месеца и файловете от други периоди се отчитат.\n"
    "\n"
    "Опции:\n"
    "  --period ММ/ГГГГ    месецът, който се проверява\n"
    "  --out ФАЙЛ.xlsx     записва обобщението като работна книга: общините,\n"
    "                      сборът по редовете на справката и констатациите\n"
    "  --register ФАЙЛ     регистърът на общините (по подразбиране Obshtini.xml\n"
    "                      на програмата)\n"
    "  --structure ФАЙЛ    формата на справката (по подразбиране Structure.xml\n"
    "                      на програмата)\n"
    "  -q, --quiet         без списъка на констатациите\n"
    "  -h, --help          показва този текст и завършва\n"
    "  -V, --version       показва версията и завършва\n"
    "  --                  всичко след него е име на папка или файл\n"
    "\n"
    "Код на завършване: 0 когато всички справки за периода са цели и верни и нищо\n"
    "друго не е намерено; 1 когато е намерено нещо; 2 при грешна употреба или файл,\n"
    "който не може да бъде използван (папка, регистър, форма, работната книга).\n";

struct Request
{
    CommandAction action = CommandAction::Run;
    QString refusal; // what is said when the command line is refused
    SummaryOptions options;
    QString out;
    bool quiet = false;
};

Request Refused(const QString& text)
{
    Request r;
    r.action = CommandAction::Refuse;
    r.refusal = text + QStringLiteral("Вижте „%1 --help“.\n").arg(kProgram);
    return r;
}

// The options that take a value: "--period 03/2004" or "--period=03/2004".
Request Parse(const QStringList& args)
{
    Request r;
    bool operandsOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (operandsOnly || !arg.startsWith(u'-') || arg == u"-") {
            r.options.folders << arg;
            continue;
        }
        QString value;
        const qsizetype equals = arg.indexOf(u'=');
        const bool takesValue = arg.startsWith(QLatin1String("--period")) ||
                                arg.startsWith(QLatin1String("--out")) ||
                                arg.startsWith(QLatin1String("--register")) ||
                                arg.startsWith(QLatin1String("--structure"));
        if (takesValue && equals > 0) {
            value = arg.mid(equals + 1);
            arg = arg.left(equals);
        } else if (takesValue && i + 1 < args.size()) {
            value = args[++i];
        }
        if (takesValue && value.isEmpty()) {
            return Refused(QStringLiteral("%1: липсва стойност на „%2“\n").arg(kProgram, arg));
        }
        if (arg == u"--") {
            operandsOnly = true;
        } else if (arg == u"-h" || arg == u"--help") {
            r.action = CommandAction::ShowHelp;
            return r;
        } else if (arg == u"-V" || arg == u"--version") {
            r.action = CommandAction::ShowVersion;
            return r;
        } else if (arg == u"-q" || arg == u"--quiet") {
            r.quiet = true;
        } else if (arg == u"--period") {
            r.options.period = Period::parse(value);
            if (!r.options.period) {
                return Refused(
                    QStringLiteral("%1: „%2“ не е период ММ/ГГГГ\n").arg(kProgram, value));
            }
        } else if (arg == u"--out") {
            r.out = value;
        } else if (arg == u"--register") {
            r.options.registerPath = value;
        } else if (arg == u"--structure") {
            r.options.structurePath = value;
        } else {
            r.action = CommandAction::Refuse;
            r.refusal = RefusedOptionText(kProgram, arg);
            return r;
        }
    }
    return r;
}

QString AmountOrDash(const std::optional<Money>& amount)
{
    return amount ? amount->text() : QStringLiteral("-");
}

void PrintFindings(const SummaryResult& s)
{
    for (const Finding& f : s.findings) {
        QString where = f.municipality.isEmpty()
                            ? QString()
                            : f.municipality + QStringLiteral(" (") + f.ebk + QStringLiteral(")");
        QString line = (f.file.isEmpty() ? QStringLiteral("-") : f.file) + u'\t' +
                       (where.isEmpty() ? QStringLiteral("-") : where) + u'\t';
        if (!f.row.isEmpty()) {
            line += QStringLiteral("ред „") + f.row + QStringLiteral("“");
            if (!f.column.isEmpty()) {
                line += QStringLiteral(", колона „") + f.column + QStringLiteral("“");
            }
            if (f.expected || f.found) {
                line += QStringLiteral(": очаквано ") + AmountOrDash(f.expected) +
                        QStringLiteral(", намерено ") + AmountOrDash(f.found);
            }
            line += QStringLiteral(": ");
        }
        PrintText(stdout, line + f.meaning + u'\n');
    }
}

void PrintSummary(const SummaryResult& s)
{
    if (!s.period) {
        PrintText(stdout, QStringLiteral("Няма нито една справка.\n"));
        return;
    }
    QString text = QStringLiteral("Период %1: %2 общини, %3 справки сумирани.\n")
                       .arg(s.period->text())
                       .arg(s.lines.size())
                       .arg(s.summed);
    for (int st = 0; st < kStatusCount; ++st) {
        text += QStringLiteral("  %1: %2\n").arg(StatusText(summary::Status(st))).arg(s.count(summary::Status(st)));
    }
    text +=
        QStringLiteral("Файлове от други периоди, оставени настрана: %1\n").arg(s.otherPeriodFiles);
    text += QStringLiteral("Констатации: %1\n").arg(s.findings.size());
    PrintText(stdout, text);
}

} // namespace

int main(int argc, char* argv[])
{
    // A file-size limit makes writing the workbook fail with a reason instead of ending the run.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    Request request = Parse(QCoreApplication::arguments().mid(1));
    switch (request.action) {
    case CommandAction::ShowHelp:
        PrintText(stdout, QString::fromUtf8(kUsage));
        return kExitInOrder;
    case CommandAction::ShowVersion:
        PrintText(stdout, VersionText(kProgram));
        return kExitInOrder;
    case CommandAction::Refuse:
        PrintText(stderr, request.refusal);
        return kExitError;
    case CommandAction::Run:
        break;
    }
    SummaryOptions& options = request.options;
    if (options.folders.isEmpty()) {
        PrintText(stderr, QString::fromUtf8(kUsage));
        return kExitError;
    }
    const QString exeFolder = QCoreApplication::applicationDirPath();
    const QString install =
        ChooseFolders(exeFolder, exeFolder + u'/' + QLatin1String(kInstalledDataFromBin), exeFolder)
            .install;
    if (options.registerPath.isEmpty()) {
        options.registerPath = install + u'/' + QLatin1String(kRegisterFileName);
    }
    if (options.structurePath.isEmpty()) {
        options.structurePath = install + u'/' + QLatin1String(kStructureFileName);
    }

    const SummaryResult summary = Summarize(options);
    for (const QString& problem : summary.problems) {
        PrintText(stderr, problem + u'\n');
    }
    PrintSummary(summary);
    if (!request.quiet) {
        PrintFindings(summary);
    }
    bool fileError = !summary.problems.isEmpty();
    if (!request.out.isEmpty()) {
        if (const auto failed = WriteSummaryWorkbook(summary, request.out)) {
            PrintText(stderr, QStringLiteral("%1: работната книга не е записана (%2)\n")
                                  .arg(request.out, *failed));
            fileError = true;
        }
    }
    return fileError ? kExitError : summary.allInOrder() ? kExitInOrder : kExitFound;
}
