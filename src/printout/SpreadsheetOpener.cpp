#include "printout/SpreadsheetOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kvor {

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
constexpr const char* kXlsxMimeType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

// On Linux the desktop's helper starts even when nothing is registered for the file type, and then
// fails where the user cannot see it. The program asks first, and falls back to the spreadsheet
// programs it knows by name.
bool desktopHasProgramFor(const char* mimeType)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return false;
    }
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                          QString::fromLatin1(mimeType)});
    if (!query.waitForFinished(5000) || query.exitCode() != 0) {
        return false;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

bool startKnownProgram(const QString& path)
{
    struct Program
    {
        const char* name;
        const char* option;
    };
    static const Program kPrograms[] = {
        {"localc", nullptr},   {"libreoffice", "--calc"}, {"soffice", "--calc"},
        {"gnumeric", nullptr}, {"et", nullptr},
    };
    for (const Program& p : kPrograms) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(p.name));
        if (exe.isEmpty()) {
            continue;
        }
        QStringList args;
        if (p.option) {
            args << QString::fromLatin1(p.option);
        }
        args << path;
        if (QProcess::startDetached(exe, args)) {
            return true;
        }
    }
    return false;
}
#endif

} // namespace

FileOpener& SpreadsheetOpener()
{
    static FileOpener opener = [](const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
        if (!desktopHasProgramFor(kXlsxMimeType)) {
            return startKnownProgram(path);
        }
#endif
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return opener;
}

} // namespace kvor
