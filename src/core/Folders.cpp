#include "core/Folders.h"

#include "core/AtomicFile.h"
#include "core/KvorIni.h"
#include "core/Register.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvor {

namespace {

// kvor.ini holds one short line; anything much larger is no kvor.ini to copy.
constexpr qint64 kMaxIniBytes = 64 * 1024;

bool HoldsProgramFiles(const QString& folder)
{
    for (const char* name : {kIniFileName, kRegisterFileName, kStructureFileName}) {
        if (QFileInfo::exists(folder + u'/' + QLatin1String(name))) {
            return true;
        }
    }
    return false;
}

constexpr mode_t kPrivateFolderMode = 0700;

} // namespace

Folders ChooseFolders(const QString& exeFolder, const QString& installedData,
                      const QString& userData)
{
    const QString program = QDir::cleanPath(exeFolder);
    const QString user = QDir::cleanPath(userData);
    if (!HoldsProgramFiles(program) && QFileInfo(installedData).isDir()) {
        return {QDir::cleanPath(installedData), user};
    }
    return {program, CanCreateFilesIn(program) ? program : user};
}

bool CanCreateFilesIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.kvor-write-probe-XXXXXX"));
    return probe.open();
}

namespace {

// A step of a path that no other user can have put there or can change: the user's or the
// administrator's, and where others may write in it, sticky (as /tmp is).
bool trustedStep(const QByteArray& path)
{
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) != 0 && errno == ENOENT) {
        (void)::mkdir(path.constData(), kPrivateFolderMode);
    }
    if (::lstat(path.constData(), &st) != 0 || (st.st_uid != ::geteuid() && st.st_uid != 0)) {
        return false;
    }
    return S_ISLNK(st.st_mode) ||
           (S_ISDIR(st.st_mode) &&
            ((st.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (st.st_mode & S_ISVTX) != 0));
}

} // namespace

bool MakePrivateFolder(const QString& folder)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(QDir(folder).absolutePath()));
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
        if (!trustedStep(path.left(slash))) {
            return false;
        }
    }
    (void)::mkdir(path.constData(), kPrivateFolderMode);
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st
    {
    };
    bool ok = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
              (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    if (ok && (st.st_mode & 07777) != kPrivateFolderMode) {
        ok = ::fchmod(fd, kPrivateFolderMode) == 0;
    }
    ::close(fd);
    return ok;
}

bool SeedUserFolder(const Folders& folders)
{
    if (folders.user == folders.install) {
        return true;
    }
    // Earlier versions made the folders with the umask: readable by every user of the machine.
    for (const QString& folder :
         {folders.user, folders.user + u'/' + QLatin1String(kDataFolderName)}) {
        const QFileInfo info(folder);
        if (info.isDir() && !info.isSymLink() && info.ownerId() == ::geteuid()) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        }
        MakePrivateFolder(folder);
    }
    const QString target = folders.user + u'/' + QLatin1String(kIniFileName);
    if (QFileInfo::exists(target)) {
        return true;
    }
    QFile source(folders.install + u'/' + QLatin1String(kIniFileName));
    if (!source.open(QIODevice::ReadOnly) || source.size() > kMaxIniBytes) {
        return false;
    }
    const QByteArray bytes = source.read(kMaxIniBytes + 1);
    return bytes.size() <= kMaxIniBytes && WriteFileAtomically(target, bytes);
}

} // namespace kvor
