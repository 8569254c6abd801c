#include "gui/FailureMessages.h"

#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "gui/UserPrompts.h"

namespace kvor {

namespace {

using Kind = Failure::Kind;
using Subject = Failure::Subject;

// The program was installed without the file: nothing can be done with it.
constexpr int kExitMissingFile = 1;

bool IsWriteFailure(Kind kind)
{
    return kind == Kind::DiskFull || kind == Kind::ReadOnly || kind == Kind::WriteFailed;
}

void Show(const QString& text, MsgIcon icon, const QString& title)
{
    prompts().showMessage(text, MsgButtons::Ok, icon, title);
}

void ShowMissingInstallFile(const QString& text)
{
    Show(text, MsgIcon::Critical, msg::kTitleWarning);
    prompts().quit(kExitMissingFile);
}

void TellSettingsFailure(const Failure& f)
{
    switch (f.kind) {
    case Kind::NotFound:
        ShowMissingInstallFile(msg::kNoIniFile);
        break;
    case Kind::ReadOnly:
        Show(msg::kIniReadOnly, MsgIcon::Exclamation, msg::kTitleWarning);
        break;
    case Kind::NotReadable:
        Show(msg::kIniUnreadable, MsgIcon::Critical, msg::kTitleWarning);
        break;
    default:
        // The choice is not remembered; the user learns why rather than finding it gone later.
        Show(WriteFailureMessage(f.path, f.systemError, f.reason), MsgIcon::Critical,
             msg::kTitleWriteError);
        break;
    }
}

void TellReportFailure(const Failure& f)
{
    if (IsWriteFailure(f.kind)) {
        Show(WriteFailureMessage(f.path, f.systemError, f.reason), MsgIcon::Critical,
             msg::kTitleWriteError);
    } else if (f.kind == Kind::NotReadable || f.kind == Kind::NotFound) {
        // A permission or device problem, which says nothing about what the file holds.
        Show(f.reason, MsgIcon::Critical, msg::kTitleWarning);
    } else {
        Show(msg::kXmlTampered, MsgIcon::Critical, msg::kTitleWarning);
    }
}

} // namespace

void TellFailure(const Failure& f)
{
    switch (f.subject) {
    case Subject::Register:
        ShowMissingInstallFile(msg::kNoObshtiniFile);
        return;
    case Subject::Structure:
        if (f.kind == Kind::NotFound) {
            ShowMissingInstallFile(msg::kNoStructureFile);
        } else {
            // No title of its own: the program's.
            Show(msg::kStructureError, MsgIcon::None, QString());
        }
        return;
    case Subject::Settings:
        TellSettingsFailure(f);
        return;
    case Subject::Report:
        TellReportFailure(f);
        return;
    case Subject::ChosenFile:
        Show(msg::kChooseValidXml, MsgIcon::Critical, msg::kTitleWarning);
        return;
    case Subject::Copy:
        Show(IsWriteFailure(f.kind)              ? WriteFailureMessage(f.path, f.systemError, f.reason)
             : f.kind == Failure::Kind::NotAReport ? msg::kChooseValidXml + QStringLiteral("\r\n") + f.reason
                                                   : f.reason,
             MsgIcon::Critical, msg::kTitleWarning);
        return;
    case Subject::Unspecified:
        Show(msg::kInvalidEbk, MsgIcon::Exclamation, msg::kTitleWarning);
        return;
    }
}

} // namespace kvor
