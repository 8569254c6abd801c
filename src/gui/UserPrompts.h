#pragma once
// What the windows ask of the person at the screen: message boxes, the choice of a file to open,
// and ending the program when it cannot go on. The desktop answers with Qt's dialogs; tests put
// in their own, so that every path can run without a person in front of the screen. Header only:
// the printout, which links no widgets, tells its outcome through it too.

#include <QString>
#include <QtGlobal>

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
    QString nameFilters; // as QFileDialog takes them: "Xml files (*.xml);;All files (*)"
    bool fileMustExist = true;
};

class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    // A modal message box; its first button is the default one.
    virtual MsgAnswer showMessage(const QString& text, MsgButtons buttons, MsgIcon icon,
                                  const QString& title) = 0;
    // The full path of the chosen file, or an empty string when the dialog was cancelled.
    virtual QString chooseFileToOpen(const OpenFileRequest& request) = 0;
    // Ends the program through its event loop with the given exit status: the windows close and
    // start-up returns the status from main.
    virtual void quit(int exitStatus) = 0;
};

namespace detail {
inline UserPrompts* g_prompts = nullptr;
} // namespace detail

inline UserPrompts& prompts()
{
    if (!detail::g_prompts) {
        qFatal("kvor: no user prompts installed");
    }
    return *detail::g_prompts;
}

// Installs the prompts; the caller keeps ownership. Passing nullptr restores none.
inline void setPrompts(UserPrompts* p)
{
    detail::g_prompts = p;
}

} // namespace kvor
