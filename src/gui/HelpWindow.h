#pragma once
// The user guide: help.html from the program folder with its table of contents.

#include <QWidget>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace kvor {

inline constexpr const char* kHelpFileName = "help.html";

class HelpWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner);

    // Loads the guide; false when the file cannot be read.
    bool loadFile(const QString& path);
    // Shows the section whose heading has this text; false when there is none.
    bool showSection(const QString& heading);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showItem(QTreeWidgetItem* item);

    QTreeWidget* m_contents;
    QTextBrowser* m_browser;
};

// Opens the help window owned by `owner` (one window, raised when it is already open). A missing
// help file is reported.
void ShowHelp(QWidget* owner);

// Makes F1 open the help over `window` while it or one of its controls has the focus.
void AddHelpKey(QWidget* window);

} // namespace kvor
