#include "gui/ReportFileArgument.h"

#include "core/AtomicFile.h"
#include "core/FileRead.h"
#include "core/Messages.h"
#include "core/OpenReport.h"
#include "core/ReportName.h"
#include "gui/FailureMessages.h"
#include "gui/ReportEditor.h"
#include "gui/UserPrompts.h"

#include <QDir>
#include <QFileInfo>

namespace kvor {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

MsgAnswer ask(const QString& text, MsgButtons buttons)
{
    return prompts().showMessage(text, buttons, MsgIcon::Question, msg::kTitleWarning);
}

// What becomes of a report given from outside before the one in Data is opened.
enum class Arrival
{
    OpenDataCopy,
    Copy,
    Nothing
};

Arrival askHowItArrives(const QString& path, const QByteArray& bytes, const QString& target)
{
    if (!QFileInfo::exists(target)) {
        const QString text = QStringLiteral("Справката\n") + shown(path) +
                             QStringLiteral("\nне е в папка Data. Да бъде ли копирана като\n") +
                             shown(target) + QStringLiteral("\nи отворена за корекция?");
        return ask(text, MsgButtons::YesNo) == MsgAnswer::Yes ? Arrival::Copy : Arrival::Nothing;
    }
    const ReadResult there = ReadRegularFile(target);
    if (there.status == ReadStatus::Ok && there.bytes == bytes) {
        return Arrival::OpenDataCopy;
    }
    const QString text =
        QStringLiteral("В папка Data вече има справка за същата община и период:\n") +
        shown(target) + QStringLiteral("\n\nДа бъде ли заменена със справката\n") + shown(path) +
        QStringLiteral("?\n\n„Не“ отваря справката от папка Data без промяна.");
    switch (ask(text, MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        return Arrival::Copy;
    case MsgAnswer::No:
        return Arrival::OpenDataCopy;
    default:
        return Arrival::Nothing;
    }
}

} // namespace

void CorrectReportFile(QWidget* parent, const QString& path)
{
    auto refuse = [] {
        prompts().showMessage(msg::kChooseValidXml, MsgButtons::Ok, MsgIcon::Critical,
                              msg::kTitleWarning);
    };
    const ReadResult given = ReadRegularFile(path);
    DomDocument chosen;
    if (given.status != ReadStatus::Ok || chosen.loadBytes(given.bytes) != kLoadOk) {
        refuse();
        return;
    }
    const Result<ChosenReport> named = NameReportToCorrect(chosen, path);
    if (!named) {
        refuse();
        return;
    }
    const QString target = named->dataPath;
    const QFileInfo info(path);
    if (info.canonicalFilePath() != QFileInfo(target).canonicalFilePath()) {
        switch (askHowItArrives(path, given.bytes, target)) {
        case Arrival::Nothing:
            return;
        case Arrival::OpenDataCopy:
            break;
        case Arrival::Copy: {
            EnsureDataFolder();
            QString reason;
            int error = 0;
            if (!WriteFileAtomically(target, given.bytes, &reason, &error)) {
                prompts().showMessage(WriteFailureMessage(target, error, reason), MsgButtons::Ok,
                                      MsgIcon::Critical, msg::kTitleWriteError);
                return;
            }
            break;
        }
        }
    }
    Result<OpenReport> opened = OpenReportForCorrection(target);
    if (!opened) {
        TellFailure(opened.failure());
        return;
    }
    ShowReportEditor(parent, *opened);
}

} // namespace kvor
