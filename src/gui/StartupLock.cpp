#include "gui/StartupLock.h"

#include "gui/UserPrompts.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/SingleInstance.h"

#include <QDir>

namespace kvor {

namespace {

const QString kTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm");

QString question(const FoundLock& found, const QString& lockPath)
{
    switch (found.kind) {
    case FoundLock::Kind::OtherMachine:
    case FoundLock::Kind::Unknown:
        return msg::kLockOfOtherMachine.arg(
            found.host.isEmpty() ? msg::kLockUnknownMachine : found.host,
            found.since.isValid() ? found.since.toString(kTimeFormat) : msg::kLockUnknownMachine);
    case FoundLock::Kind::None:
    case FoundLock::Kind::NotAFile:
    case FoundLock::Kind::Unreadable:
        break;
    }
    return msg::kLockNotAFile.arg(QDir::toNativeSeparators(lockPath));
}

} // namespace

bool TakeOneCopyLock(SingleInstance& guard)
{
    SingleInstance::Result result = guard.tryAcquire();
    if (result == SingleInstance::Result::AskUser) {
        const QString text = question(guard.found(), guard.path());
        if (prompts().showMessage(text, MsgButtons::YesNo, MsgIcon::Question, msg::kTitleWarning) !=
            MsgAnswer::Yes) {
            return false;
        }
        result = guard.takeOver();
    }
    switch (result) {
    case SingleInstance::Result::Acquired:
    case SingleInstance::Result::CannotLock:
        return true;
    case SingleInstance::Result::HeldByAnother:
    case SingleInstance::Result::AskUser:
        break;
    }
    prompts().showMessage(msg::kSecondCopy, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
    return false;
}

} // namespace kvor
