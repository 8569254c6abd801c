#pragma once
// The main window: a menu bar, a toolbar and a status bar; its commands open the dialogs that do
// the work.

#include <QMainWindow>
#include <optional>

class QAction;
class QLabel;
class QMenu;

namespace kvor {

class MainWindow final : public QMainWindow
{
    Q_OBJECT
public:
    // rememberedMunicipality: the list position kvor.ini keeps, if any.
    explicit MainWindow(std::optional<int> rememberedMunicipality = std::nullopt,
                        QWidget* parent = nullptr);

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
    // The municipality the new-report dialog starts with.
    std::optional<int> m_rememberedMunicipality;
};

} // namespace kvor
