#include "core/Folders.h"

#include "core/AtomicFile.h"
#include "core/KvorIni.h"
#include "core/Register.h"
#include "core/StructureFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

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

bool SeedUserFolder(const Folders& folders)
{
    if (folders.user == folders.install) {
        return true;
    }
    QDir().mkpath(folders.user);
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
