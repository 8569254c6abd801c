#pragma once
// The dialog that copies a saved report into a folder on any drive, normally a removable one, for
// submission. The copy is the document loaded and saved again, not the file's bytes, so what
// arrives is always well-formed and complete.

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace kvor {

class Drives;
class DriveFolderFilter;

class CopyToMediaDialog final : public QDialog
{
    Q_OBJECT
public:
    // drives: where the drive list comes from; the machine's own when none is given. The dialog
    // starts on the drive and in the folder of the program.
    explicit CopyToMediaDialog(QWidget* parent = nullptr, const Drives* drives = nullptr);
    ~CopyToMediaDialog() override;

    // The folder chosen in the folder tree, where the copy goes.
    QString targetFolder() const;
    // Chooses path in the folder tree; false when it is not a folder of the drive it shows.
    bool setTargetFolder(const QString& path);
    // The folder the tree showed when the dialog opened: where a drive that fails falls back to.
    QString initialFolder() const { return m_initialFolder; }

private:
    void driveChanged();
    void chooseFile();
    void copy();
    // Lists the drives again, keeping the chosen one when it is still there.
    void fillDrives();
    void showDrive(const QString& root, const QString& folder);

    const Drives* m_drives;
    QLineEdit* m_fileName = nullptr;
    QComboBox* m_drive = nullptr;
    QTreeView* m_tree = nullptr;
    QFileSystemModel* m_folders = nullptr;
    DriveFolderFilter* m_filter = nullptr;

    QString m_startRoot; // the drive the dialog started on
    QString m_shownRoot; // the drive the tree shows
    QString m_initialFolder;
    bool m_returning = false; // going back to the starting drive after a drive failed
};

} // namespace kvor
