#pragma once
// The platform of a real desktop: Qt's message boxes and file dialog, the folders found from the
// executable's place and the user's data folder.

#include "core/Folders.h"
#include "core/Platform.h"

#include <functional>

class QFont;

namespace kvor {

class DesktopPlatform final : public Platform
{
public:
    DesktopPlatform();

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override;
    QString ShowOpen(const OpenFileRequest& request) override;
    void End(int exitCode) override;
    QString InstallFolder() const override { return m_folders.install; }
    QString UserFolder() const override { return m_folders.user; }
    QDate Today() const override;
    void SetBusy(bool busy) override;

    // Runs just before the program ends at once (releases the single-copy lock).
    void setBeforeEnd(std::function<void()> fn) { m_beforeEnd = std::move(fn); }

    // "Xml files (*.xml)|*.xml|All files|*.*" in the form Qt's file dialog takes.
    static QString QtFilter(const QString& filter);

    // The least width of a message box whose window title is `title`: the title set in a bold
    // `font` (title bars often are), and room for the window's icon and buttons beside it, so that
    // the title bar need not cut it.
    static int MinimumBoxWidth(const QString& title, const QFont& font);

private:
    std::function<void()> m_beforeEnd;
    Folders m_folders;
    QString m_messageLog; // when set, messages are written there and answered with the default
    int m_busy = 0;
};

} // namespace kvor
