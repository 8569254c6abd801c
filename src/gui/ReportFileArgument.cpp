#include "gui/ReportFileArgument.h"

#include "core/AppState.h"
#include "core/AtomicFile.h"
#include "core/FileRead.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/ReportName.h"
#include "gui/CorrectionDialog.h"

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
    return platform().MsgBox(text, buttons, MsgIcon::Question, msg::kTitleWarning);
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

void CorrectReportFile(QWidget* parent, AppState& state, const QString& path)
{
    auto refuse = [] {
        platform().MsgBox(msg::kChooseValidXml, MsgButtons::Ok, MsgIcon::Critical,
                          msg::kTitleWarning);
    };
    const ReadResult given = ReadRegularFile(path);
    if (given.status != ReadStatus::Ok || !ReadReportToCorrect(state, path)) {
        refuse();
        return;
    }
    const QString target = ReportFilePath(state.Obshtina.NumEBK, state.sYear, state.sMonth);
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
                platform().MsgBox(WriteFailureMessage(target, error, reason), MsgButtons::Ok,
                                  MsgIcon::Critical, msg::kTitleWriteError);
                return;
            }
            break;
        }
        }
    }
    OpenReportInData(parent, state);
}

} // namespace kvor
