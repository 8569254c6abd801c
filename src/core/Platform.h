#pragma once
// What the program asks of the desktop: message boxes, file dialogs, ending the program, where
// the program's files are read and written and what day it is. The desktop implementation lives
// with the widgets; tests put in their own so that every path can run without a person in front of
// the screen.

#include <QDate>
#include <QString>

namespace kvor {

enum class MsgIcon
{
    None,
    Critical,
    Question,
    Exclamation,
    Information
};
enum class MsgButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel
};
enum class MsgAnswer
{
    Ok,
    Cancel,
    Yes,
    No
};

// The title used when a message box names none: the program's own.
inline constexpr const char* kDefaultTitle = "KVOR";

struct OpenFileRequest
{
    QString initialDir;
    QString title;
    QString filter; // "Description (*.xml)|*.xml|All files|*.*"
    bool fileMustExist = true;
    bool hideReadOnly = true;
};

class Platform
{
public:
    virtual ~Platform() = default;

    // A modal message box; its first button is the default one.
    virtual MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title) = 0;
    // The full path of the chosen file, or an empty string when the dialog was cancelled.
    virtual QString ShowOpen(const OpenFileRequest& request) = 0;
    // Ends the program at once with the given exit status. Callers return straight after it:
    // a test platform records the call and comes back.
    virtual void End(int exitCode) = 0;
    // Where the distributed files are read: the register, the structure, the help and the
    // kvor.ini a user's first one is made from. No trailing separator.
    virtual QString InstallFolder() const = 0;
    // Where the user's files are written: kvor.ini, Data and the one-copy lock. The install
    // folder itself when it may be written (a portable copy), else the user's data folder.
    virtual QString UserFolder() const = 0;
    virtual QDate Today() const = 0;
    // Shows the busy (hourglass) pointer or takes it away again.
    virtual void SetBusy(bool busy) = 0;
};

Platform& platform();
// Installs the platform; the caller keeps ownership. Passing nullptr restores none.
void setPlatform(Platform* p);

// A path inside the install folder or the user's folder: the folder, a separator and the name.
QString InstallPath(const QString& name);
QString UserPath(const QString& name);

} // namespace kvor
