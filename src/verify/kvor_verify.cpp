// kvor-verify: the check for whoever receives report files. Recomputes each report's hash the
// way the program computes it when saving and says, per file, whether the file is as written.

#include "core/CommandLine.h"
#include "core/VerifyReport.h"

#include "verify/ReportFiles.h"
#include <QCoreApplication>

#include <QList>
#include <cstdio>

using namespace kvor;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitChanged = 1;
constexpr int kExitUsage = 2;

const char* const kUsage = "Употреба: kvor-verify [ОПЦИЯ] ФАЙЛ|ПАПКА...\n"
                           "\n"
                           "Проверява контролната сума (hash) на справки за дълга на община,\n"
                           "записани от KVOR. Във всяка посочена папка се проверяват всички\n"
                           "файлове *.xml, включително тези в подпапките.\n"
                           "\n"
                           "За всеки файл се извежда пътят, табулация и OK или\n"
                           "\"ПРОМЕНЕН: <причина>\" (файлът не може да бъде прочетен, не е\n"
                           "обикновен файл, няма контролна сума, контролната сума не съвпада).\n"
                           "\n"
                           "Код на завършване: 0 само когато всички файлове са OK; 1 когато\n"
                           "някой файл е променен, липсва или папка не съдържа XML файлове;\n"
                           "2 при грешна употреба.\n"
                           "\n"
                           "Опции:\n"
                           "  -h, --help     показва този текст и завършва\n"
                           "  -V, --version  показва версията и завършва\n"
                           "  --             всичко след него е име на файл или папка\n";

// The operands as the system gave them: the arguments without the first "--", which is all
// ParseCommandLine takes away when it lets the files be checked.
QList<QByteArray> NativeOperands(int argc, char* argv[])
{
    QList<QByteArray> operands;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        operands << arg;
    }
    return operands;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const CommandRequest request = ParseCommandLine(QCoreApplication::arguments().mid(1));
    switch (request.action) {
    case CommandAction::ShowHelp:
        PrintText(stdout, QString::fromUtf8(kUsage));
        return kExitOk;
    case CommandAction::ShowVersion:
        PrintText(stdout, VersionText(QStringLiteral("kvor-verify")));
        return kExitOk;
    case CommandAction::Refuse:
        PrintText(stderr, RefusedOptionText(QStringLiteral("kvor-verify"), request.refused));
        return kExitUsage;
    case CommandAction::Run:
        break;
    }
    const QList<QByteArray> arguments = NativeOperands(argc, argv);
    if (arguments.isEmpty()) {
        PrintText(stderr, QString::fromUtf8(kUsage));
        return kExitUsage;
    }
    bool allOk = true;
    for (const QByteArray& argument : arguments) {
        const QList<ReportFileEntry> files = ReportFilesOf(argument);
        if (files.isEmpty()) {
            PrintText(stderr, ShownPath(argument) + QStringLiteral("\tняма XML файлове\n"));
            allOk = false;
        }
        for (const ReportFileEntry& file : files) {
            QString reason = file.problem;
            if (reason.isEmpty()) {
                const VerifyResult result = VerifyReportFile(file.path);
                if (result.status == VerifyStatus::Ok) {
                    PrintText(stdout, file.path + QStringLiteral("\tOK\n"));
                    continue;
                }
                reason = result.reason;
            }
            allOk = false;
            // A folder's files were not checked: said apart from the files' verdicts.
            if (file.folder) {
                PrintText(stderr, file.path + u'\t' + reason + u'\n');
            } else {
                PrintText(stdout, file.path + QStringLiteral("\tПРОМЕНЕН: ") + reason + u'\n');
            }
        }
    }
    return allOk ? kExitOk : kExitChanged;
}
