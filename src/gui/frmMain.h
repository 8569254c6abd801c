#pragma once
// The main window: a menu bar, a toolbar and a status bar; its commands open the dialogs that do
// the work.

#include "core/AppState.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

namespace kvor {

class frmMain final : public QMainWindow
{
    Q_OBJECT
public:
    // rememberedMunicipality: the list position kvor.ini keeps (-1 and -2: none).
    explicit frmMain(short rememberedMunicipality = -1, QWidget* parent = nullptr);

    void mnuNewDoc_Click();
    void mnuDocument_Correct_Click();
    void mnuSaveToDisc_Click();
    void mnuHelp_Click();
    void mnuExit_Click();
    // Runs the command of the toolbar button with this key; other keys are ignored.
    void tbrMain_ButtonClick(const QString& key);

    QToolBar* tbrMain() const { return m_tbrMain; }
    QLabel* statusPanel(int index) const { return m_panels[index]; }
    // Brings the date and time panels up to date.
    void refreshClock();

private:
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption);

    QToolBar* m_tbrMain = nullptr;
    QLabel* m_panels[3] = {};
    QTimer* m_clock = nullptr;
    // The report the dialogs set up and the editor works on.
    AppState m_state;
};

} // namespace kvor
