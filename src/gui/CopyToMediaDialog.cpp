#include "gui/CopyToMediaDialog.h"

#include "core/AtomicFile.h"
#include "core/Drives.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/ReportCopy.h"
#include "gui/FailureMessages.h"
#include "gui/FileChoice.h"
#include "gui/HelpWindow.h"
#include "gui/UserPrompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace kvor {

// Keeps the folder tree to one drive: its root, the folders below it, and the folders above it
// that lead there, so that the root itself shows as the one top item and can be chosen.
class DriveFolderFilter final : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setRoot(const QString& root)
    {
        m_root = root;
        m_below = root.endsWith(u'/') ? root : root + u'/';
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override
    {
        const auto* folders = static_cast<const QFileSystemModel*>(sourceModel());
        const QString path = folders->filePath(folders->index(sourceRow, 0, sourceParent));
        if (path == m_root || path.startsWith(m_below)) {
            return true;
        }
        return m_root.startsWith(path.endsWith(u'/') ? path : path + u'/');
    }

private:
    QString m_root;
    QString m_below;
};

namespace {

// Room for a full path of the Data folder, and for a few levels of folders.
constexpr int kTreeLines = 14;

// The drive list is read again each time it opens, so that a stick put in after the dialog came
// up can be chosen without closing it.
class DriveComboBox final : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

    void showPopup() override
    {
        if (beforePopup) {
            beforePopup();
        }
        QComboBox::showPopup();
    }
};

void warn(const QString& text)
{
    prompts().showMessage(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
}

class BusyPointer final
{
public:
    BusyPointer() { platform().SetBusy(true); }
    ~BusyPointer() { done(); }
    void done()
    {
        if (m_on) {
            m_on = false;
            platform().SetBusy(false);
        }
    }

private:
    bool m_on = true;
};

} // namespace

CopyToMediaDialog::CopyToMediaDialog(QWidget* parent, const Drives* drives)
    : QDialog(parent), m_drives(drives ? drives : &systemDrives())
{
    setObjectName(QStringLiteral("copyToMediaDialog"));
    setWindowTitle(QStringLiteral("Съхранение на данни на дискета"));

    const FileChoice choice = MakeFileChoice(this, QStringLiteral("&Изберете файл:"));
    QGroupBox* frame = choice.frame;
    QPushButton* browse = choice.browse;
    m_fileName = choice.fileName;

    auto* drive = new DriveComboBox(this);
    drive->beforePopup = [this] { fillDrives(); };
    m_drive = drive;
    m_drive->setObjectName(QStringLiteral("driveList"));
    m_drive->setAccessibleName(QStringLiteral("Устройство"));
    auto* driveLabel = new QLabel(QStringLiteral("&Устройство:"), this);
    driveLabel->setBuddy(m_drive);

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_folders->setReadOnly(true);
    m_filter = new DriveFolderFilter(this);
    m_filter->setSourceModel(m_folders);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_tree->setAccessibleName(QStringLiteral("Папка"));
    m_tree->setModel(m_filter);
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column) {
        m_tree->hideColumn(column);
    }
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setMinimumHeight(m_tree->fontMetrics().height() * kTreeLines);
    auto* dirLabel = new QLabel(QStringLiteral("&Папка:"), this);
    dirLabel->setBuddy(m_tree);

    auto* save = new QPushButton(QStringLiteral("&Съхрани"), this);
    save->setObjectName(QStringLiteral("copyButton"));
    save->setAccessibleName(QStringLiteral("Съхрани"));
    save->setDefault(true);
    auto* exit = new QPushButton(QStringLiteral("Из&ход"), this);
    exit->setObjectName(QStringLiteral("closeButton"));
    exit->setAccessibleName(QStringLiteral("Изход"));
    exit->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(exit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(driveLabel);
    layout->addWidget(m_drive);
    layout->addWidget(dirLabel);
    layout->addWidget(m_tree, 1);
    layout->addLayout(buttons);

    const QString start = QDir::cleanPath(platform().UserFolder());
    m_startRoot = m_drives->rootOf(start);
    if (m_startRoot.isEmpty()) {
        m_startRoot = QDir::rootPath();
    }
    fillDrives();
    showDrive(m_startRoot, start);
    m_initialFolder = targetFolder();

    // Folders are read in the background; the chosen one is scrolled into view once the folders
    // above it are there.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) {
        const QString chosen = targetFolder();
        if (chosen.startsWith(folder.endsWith(u'/') ? folder : folder + u'/')) {
            m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    });
    connect(m_drive, &QComboBox::currentIndexChanged, this, &CopyToMediaDialog::driveChanged);
    connect(browse, &QPushButton::clicked, this, &CopyToMediaDialog::chooseFile);
    connect(save, &QPushButton::clicked, this, &CopyToMediaDialog::copy);
    connect(exit, &QPushButton::clicked, this, &CopyToMediaDialog::reject);
    AddHelpKey(this);
}

CopyToMediaDialog::~CopyToMediaDialog() = default;

void CopyToMediaDialog::fillDrives()
{
    const QString current = m_drive->currentData().toString();
    QList<DriveEntry> drives = m_drives->list();
    std::stable_sort(drives.begin(), drives.end(), [](const DriveEntry& a, const DriveEntry& b) {
        return a.removable != b.removable ? a.removable : a.rootPath < b.rootPath;
    });
    // The list must hold the drive it falls back to.
    const bool hasStart = std::any_of(drives.begin(), drives.end(), [this](const DriveEntry& d) {
        return d.rootPath == m_startRoot;
    });
    if (!hasStart) {
        drives.append({m_startRoot, QDir::toNativeSeparators(m_startRoot), false});
    }
    {
        const QSignalBlocker quiet(m_drive);
        m_drive->clear();
        for (const DriveEntry& d : drives) {
            m_drive->addItem(d.label, d.rootPath);
        }
        const int at = m_drive->findData(current.isEmpty() ? m_startRoot : current);
        m_drive->setCurrentIndex(at >= 0 ? at : m_drive->findData(m_startRoot));
    }
    // The chosen drive was taken away meanwhile.
    if (!current.isEmpty() && m_drive->currentData().toString() != current) {
        driveChanged();
    }
}

void CopyToMediaDialog::showDrive(const QString& root, const QString& folder)
{
    m_shownRoot = root;
    m_folders->setRootPath(root);
    m_filter->setRoot(root);
    const QModelIndex top = m_filter->mapFromSource(m_folders->index(root));
    m_tree->setRootIndex(top.parent());
    m_tree->expand(top);
    if (!setTargetFolder(folder)) {
        m_tree->setCurrentIndex(top);
    }
}

QString CopyToMediaDialog::targetFolder() const
{
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid()) {
        return m_shownRoot;
    }
    return m_folders->filePath(m_filter->mapToSource(current));
}

bool CopyToMediaDialog::setTargetFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!QFileInfo(clean).isDir()) {
        return false;
    }
    const QModelIndex at = m_filter->mapFromSource(m_folders->index(clean));
    if (!at.isValid()) {
        return false;
    }
    m_tree->setCurrentIndex(at);
    m_tree->scrollTo(at);
    return true;
}

void CopyToMediaDialog::driveChanged()
{
    const QString root = m_drive->currentData().toString();
    if (m_drives->isReady(root)) {
        showDrive(root, root == m_startRoot ? m_initialFolder : root);
        return;
    }
    // The starting drive cannot be read either: there is nothing left to go back to.
    if (m_returning) {
        return;
    }
    prompts().showMessage(msg::kDriveNotReady, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleError);
    m_returning = true;
    m_drive->setCurrentIndex(m_drive->findData(m_startRoot));
    m_returning = false;
}

void CopyToMediaDialog::chooseFile()
{
    const QString data = UserPath(QStringLiteral("Data"));
    QDir().mkpath(data);
    OpenFileRequest request;
    request.initialDir = data;
    request.title = msg::kCopyChooseFileTitle;
    request.nameFilters = msg::kXmlFileFilters;
    request.fileMustExist = true;
    const QString chosen = prompts().chooseFileToOpen(request);
    if (!chosen.isEmpty()) {
        m_fileName->setText(QDir::toNativeSeparators(chosen));
    }
}

void CopyToMediaDialog::copy()
{
    // Taken as typed: a name with blanks around it names another file.
    const QString source = m_fileName->text();
    if (source.isEmpty()) {
        warn(msg::kChooseFileToSave);
        return;
    }
    BusyPointer busy;
    const Status copied = CopyReport(QDir::fromNativeSeparators(source), targetFolder());
    if (!copied) {
        busy.done();
        TellFailure(copied.failure());
    }
}

} // namespace kvor
