#pragma once
// A platform and user prompts for tests: message boxes are recorded and answered from a script,
// the folders and today are whatever the test says, and ending the program is only noted.

#include "core/Platform.h"
#include "gui/UserPrompts.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace kvor::test {

struct ShownMessage
{
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
};

class FakePlatform final : public Platform, public UserPrompts
{
public:
    FakePlatform()
    {
        setPlatform(this);
        setPrompts(this);
    }
    ~FakePlatform() override
    {
        setPrompts(nullptr);
        setPlatform(nullptr);
    }

    MsgAnswer showMessage(const QString& text, MsgButtons buttons, MsgIcon icon,
                          const QString& title) override
    {
        messages.append({text, buttons, icon, title});
        if (onMessage) {
            onMessage(messages.last());
        }
        if (!answers.isEmpty()) {
            return answers.takeFirst();
        }
        switch (buttons) {
        case MsgButtons::Ok:
        case MsgButtons::OkCancel:
            return MsgAnswer::Ok;
        default:
            return MsgAnswer::Yes;
        }
    }
    QString chooseFileToOpen(const OpenFileRequest& request) override
    {
        openRequests.append(request);
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    void quit(int exitStatus) override
    {
        ended = true;
        endCode = exitStatus;
    }
    QString InstallFolder() const override { return folder; }
    QString UserFolder() const override { return userFolder.isEmpty() ? folder : userFolder; }
    QDate Today() const override { return today; }
    void SetBusy(bool busy) override { busyDepth += busy ? 1 : -1; }

    QStringList texts() const
    {
        QStringList out;
        for (const auto& m : messages) {
            out << m.text;
        }
        return out;
    }

    QString folder;
    // Empty: the user's files are written in `folder` too, as in a portable copy.
    QString userFolder;
    QDate today{2004, 3, 15};
    QList<ShownMessage> messages;
    QList<MsgAnswer> answers;
    QList<OpenFileRequest> openRequests;
    QStringList openAnswers;
    std::function<void(const ShownMessage&)> onMessage;
    bool ended = false;
    int endCode = 0;
    int busyDepth = 0;
};

} // namespace kvor::test
