#include "gui/frmSaveXMLAs.h"

#include "core/AppState.h"
#include "core/AtomicFile.h"
#include "core/Drives.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/XmlDom.h"

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
    platform().MsgBox(text, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
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

frmSaveXMLAs::frmSaveXMLAs(QWidget* parent, const Drives* drives)
    : QDialog(parent), m_drives(drives ? drives : &systemDrives())
{
    setObjectName(QStringLiteral("frmSaveXMLAs"));
    setWindowTitle(QStringLiteral("Съхранение на данни на дискета"));
    resize(460, 440);

    m_frChooseFile = new QGroupBox(QStringLiteral("Изберете файл:"), this);
    m_frChooseFile->setObjectName(QStringLiteral("frChooseFile"));
    m_frChooseFile->setAccessibleName(m_frChooseFile->title());
    m_txtFileName = new QLineEdit(m_frChooseFile);
    m_txtFileName->setObjectName(QStringLiteral("txtFileName"));
    m_txtFileName->setAccessibleName(QStringLiteral("Файл"));
    m_cmdChooseFile = new QPushButton(QStringLiteral("..."), m_frChooseFile);
    m_cmdChooseFile->setObjectName(QStringLiteral("cmdChooseFile"));
    m_cmdChooseFile->setAccessibleName(m_cmdChooseFile->text());
    m_cmdChooseFile->setAccessibleDescription(msg::kCopyChooseFileTitle);
    m_cmdChooseFile->setToolTip(msg::kCopyChooseFileTitle);
    m_cmdChooseFile->setAutoDefault(false);
    m_cmdChooseFile->setFixedWidth(
        m_cmdChooseFile->fontMetrics().horizontalAdvance(m_cmdChooseFile->text()) + 24);
    auto* fileRow = new QHBoxLayout(m_frChooseFile);
    fileRow->addWidget(m_txtFileName, 1);
    fileRow->addWidget(m_cmdChooseFile);

    auto* drive = new DriveComboBox(this);
    drive->beforePopup = [this] { fillDrive1(); };
    m_Drive1 = drive;
    m_Drive1->setObjectName(QStringLiteral("Drive1"));
    m_Drive1->setAccessibleName(QStringLiteral("Устройство"));
    auto* driveLabel = new QLabel(QStringLiteral("Устройство:"), this);
    driveLabel->setBuddy(m_Drive1);

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_folders->setReadOnly(true);
    m_filter = new DriveFolderFilter(this);
    m_filter->setSourceModel(m_folders);
    m_Dir1 = new QTreeView(this);
    m_Dir1->setObjectName(QStringLiteral("Dir1"));
    m_Dir1->setAccessibleName(QStringLiteral("Папка"));
    m_Dir1->setModel(m_filter);
    m_Dir1->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column) {
        m_Dir1->hideColumn(column);
    }
    m_Dir1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_Dir1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* dirLabel = new QLabel(QStringLiteral("Папка:"), this);
    dirLabel->setBuddy(m_Dir1);

    m_cmdSave = new QPushButton(QStringLiteral("Съхрани"), this);
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdSave->setAccessibleName(m_cmdSave->text());
    m_cmdSave->setDefault(true);
    m_cmdExit = new QPushButton(QStringLiteral("Изход"), this);
    m_cmdExit->setObjectName(QStringLiteral("cmdExit"));
    m_cmdExit->setAccessibleName(m_cmdExit->text());
    m_cmdExit->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdExit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frChooseFile);
    layout->addWidget(driveLabel);
    layout->addWidget(m_Drive1);
    layout->addWidget(dirLabel);
    layout->addWidget(m_Dir1, 1);
    layout->addLayout(buttons);

    const QString start = QDir::cleanPath(platform().ProgramFolder());
    m_startRoot = m_drives->rootOf(start);
    if (m_startRoot.isEmpty()) {
        m_startRoot = QDir::rootPath();
    }
    fillDrive1();
    showDrive(m_startRoot, start);
    Form_Load();

    // Folders are read in the background; the chosen one is scrolled into view once the folders
    // above it are there.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) {
        const QString chosen = Dir1Path();
        if (chosen.startsWith(folder.endsWith(u'/') ? folder : folder + u'/')) {
            m_Dir1->scrollTo(m_Dir1->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    });
    connect(m_Drive1, &QComboBox::currentIndexChanged, this, &frmSaveXMLAs::Drive1_Change);
    connect(m_cmdChooseFile, &QPushButton::clicked, this, &frmSaveXMLAs::cmdChooseFile_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &frmSaveXMLAs::cmdSave_Click);
    connect(m_cmdExit, &QPushButton::clicked, this, &frmSaveXMLAs::cmdExit_Click);
}

frmSaveXMLAs::~frmSaveXMLAs() = default;

void frmSaveXMLAs::Form_Load()
{
    m_sInitPath = Dir1Path();
}

void frmSaveXMLAs::fillDrive1()
{
    const QString current = m_Drive1->currentData().toString();
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
        const QSignalBlocker quiet(m_Drive1);
        m_Drive1->clear();
        for (const DriveEntry& d : drives) {
            m_Drive1->addItem(d.label, d.rootPath);
        }
        const int at = m_Drive1->findData(current.isEmpty() ? m_startRoot : current);
        m_Drive1->setCurrentIndex(at >= 0 ? at : m_Drive1->findData(m_startRoot));
    }
    // The chosen drive was taken away meanwhile.
    if (!current.isEmpty() && m_Drive1->currentData().toString() != current) {
        Drive1_Change();
    }
}

void frmSaveXMLAs::showDrive(const QString& root, const QString& folder)
{
    m_shownRoot = root;
    m_folders->setRootPath(root);
    m_filter->setRoot(root);
    const QModelIndex top = m_filter->mapFromSource(m_folders->index(root));
    m_Dir1->setRootIndex(top.parent());
    m_Dir1->expand(top);
    if (!setDir1Path(folder)) {
        m_Dir1->setCurrentIndex(top);
    }
}

QString frmSaveXMLAs::Dir1Path() const
{
    const QModelIndex current = m_Dir1->currentIndex();
    if (!current.isValid()) {
        return m_shownRoot;
    }
    return m_folders->filePath(m_filter->mapToSource(current));
}

bool frmSaveXMLAs::setDir1Path(const QString& path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!QFileInfo(clean).isDir()) {
        return false;
    }
    const QModelIndex at = m_filter->mapFromSource(m_folders->index(clean));
    if (!at.isValid()) {
        return false;
    }
    m_Dir1->setCurrentIndex(at);
    m_Dir1->scrollTo(at);
    return true;
}

void frmSaveXMLAs::Drive1_Change()
{
    const QString root = m_Drive1->currentData().toString();
    if (m_drives->isReady(root)) {
        showDrive(root, root == m_startRoot ? m_sInitPath : root);
        return;
    }
    // The starting drive cannot be read either: there is nothing left to go back to.
    if (m_returning) {
        return;
    }
    platform().MsgBox(msg::kDriveNotReady, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleError);
    m_returning = true;
    m_Drive1->setCurrentIndex(m_Drive1->findData(m_startRoot));
    m_returning = false;
}

void frmSaveXMLAs::cmdChooseFile_Click()
{
    const QString data = ProgramPath(QStringLiteral("Data"));
    QDir().mkpath(data);
    OpenFileRequest request;
    request.initialDir = data;
    request.title = msg::kCopyChooseFileTitle;
    request.filter = msg::kCopyFileFilter;
    request.fileMustExist = true;
    request.hideReadOnly = true;
    const QString chosen = platform().ShowOpen(request);
    if (!chosen.isEmpty()) {
        m_txtFileName->setText(QDir::toNativeSeparators(chosen));
    }
}

void frmSaveXMLAs::cmdSave_Click()
{
    // Taken as typed: a name with blanks around it names another file.
    const QString source = m_txtFileName->text();
    if (source.isEmpty()) {
        warn(msg::kChooseFileToSave);
        return;
    }
    BusyPointer busy;
    DomDocument& doc = State().xmlDoc;
    // A source that cannot be read has nothing worth copying; saving it would leave an empty or
    // broken file on the medium that looks like a report.
    if (doc.load(QDir::fromNativeSeparators(source)) != kLoadOk) {
        busy.done();
        warn(doc.errorReason());
        return;
    }
    m_sShortName = QFileInfo(QDir::fromNativeSeparators(source)).fileName();
    const QString target = QDir(Dir1Path()).filePath(m_sShortName);
    QString error;
    int err = 0;
    if (doc.save(target, &error, &err)) {
        return;
    }
    busy.done();
    warn(WriteFailureMessage(target, err, error));
}

void frmSaveXMLAs::cmdExit_Click()
{
    reject();
}

} // namespace kvor
