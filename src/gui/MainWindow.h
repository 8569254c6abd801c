#pragma once
// The main window: a menu bar, a toolbar and a status bar; its commands open the dialogs that do
// the work.

#include "core/AppState.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;

namespace kvor {

class MainWindow final : public QMainWindow
{
    Q_OBJECT
public:
    // rememberedMunicipality: the list position kvor.ini keeps (-1 and -2: none).
    explicit MainWindow(short rememberedMunicipality = -1, QWidget* parent = nullptr);

    // Opens a report file given from outside for correction, as "Корекция на документ" would.
    void correctReportFile(const QString& path);

private:
    void newReport();
    void correctReport();
    void copyToMedia();
    void showHelp();
    void showAbout();
    void exitProgram();

    QAction* addCommand(QMenu* menu, const char* name, const QString& caption,
                        void (MainWindow::*run)());
    void addToolbarButton(QAction* command, const char* key, const char* icon,
                          const QString& tooltip);
    void buildStatusBar();
    void refreshClock();

    QLabel* m_date = nullptr;
    QLabel* m_time = nullptr;
    // The report the dialogs set up and the editor works on.
    AppState m_state;
};

} // namespace kvor
