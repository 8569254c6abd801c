#pragma once
// The platform of a real desktop: Qt's message boxes and file dialog, the folders found from the
// executable's place and the user's data folder.

#include "core/Folders.h"
#include "core/Platform.h"
#include "gui/UserPrompts.h"

class QFont;

namespace kvor {

class DesktopPlatform final : public Platform, public UserPrompts
{
public:
    DesktopPlatform();

    MsgAnswer showMessage(const QString& text, MsgButtons buttons, MsgIcon icon,
                          const QString& title) override;
    QString chooseFileToOpen(const OpenFileRequest& request) override;
    void quit(int exitStatus) override;
    QString InstallFolder() const override { return m_folders.install; }
    QString UserFolder() const override { return m_folders.user; }
    QDate Today() const override;
    void SetBusy(bool busy) override;

    // The least width of a message box whose window title is `title`: the title set in a bold
    // `font` (title bars often are), and room for the window's icon and buttons beside it, so that
    // the title bar need not cut it.
    static int MinimumBoxWidth(const QString& title, const QFont& font);

private:
    Folders m_folders;
    QString m_messageLog; // when set, messages are written there and answered with the default
    int m_busy = 0;
};

} // namespace kvor
