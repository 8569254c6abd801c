#pragma once
// The dialog that copies a saved report into a folder on any drive, normally a removable one, for
// submission. The copy is the document loaded and saved again, not the file's bytes, so what
// arrives is always well-formed and complete.

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace kvor {

class Drives;
class DriveFolderFilter;

class frmSaveXMLAs final : public QDialog
{
    Q_OBJECT
public:
    // drives: where the drive list comes from; the machine's own when none is given. The dialog
    // starts on the drive and in the folder of the program.
    explicit frmSaveXMLAs(QWidget* parent = nullptr, const Drives* drives = nullptr);
    ~frmSaveXMLAs() override;

    void Drive1_Change();
    void cmdChooseFile_Click();
    void cmdSave_Click();
    void cmdExit_Click();

    // The folder chosen in Dir1, where the copy goes.
    QString Dir1Path() const;
    // Chooses path in Dir1; false when it is not a folder of the drive Dir1 shows.
    bool setDir1Path(const QString& path);

    QString sInitPath() const { return m_sInitPath; }
    QString sShortName() const { return m_sShortName; }

private:
    void Form_Load();
    // Lists the drives again, keeping the chosen one when it is still there.
    void fillDrive1();
    void showDrive(const QString& root, const QString& folder);

    const Drives* m_drives;
    QGroupBox* m_frChooseFile = nullptr;
    QLineEdit* m_txtFileName = nullptr;
    QPushButton* m_cmdChooseFile = nullptr;
    QComboBox* m_Drive1 = nullptr;
    QTreeView* m_Dir1 = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QFileSystemModel* m_folders = nullptr;
    DriveFolderFilter* m_filter = nullptr;

    QString m_startRoot; // the drive the dialog started on
    QString m_shownRoot; // the drive Dir1 shows
    QString m_sInitPath;
    QString m_sShortName;
    bool m_returning = false; // going back to the starting drive after a drive failed
};

} // namespace kvor
