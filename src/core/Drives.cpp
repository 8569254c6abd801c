#include "core/Drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace kvor {

namespace {

QString readFlag(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
}

bool underFolder(const QString& path, const QString& folder)
{
    return path.startsWith(folder + QLatin1Char('/'));
}

QString labelOf(const QStorageInfo& volume, bool removable)
{
    const QString root = volume.rootPath();
    QString name = volume.name();
    if (name.isEmpty()) {
        name = root == u"/" ? QStringLiteral("Системен диск") : QFileInfo(root).fileName();
    }
    QString label = name + QStringLiteral(" (") + QDir::toNativeSeparators(root) + u')';
    if (removable) {
        label += QStringLiteral(" – сменяем носител");
    }
    return label;
}

} // namespace

bool IsRemovableVolume(const QString& device, const QString& mountPoint, const QString& sysRoot)
{
    // Desktops mount sticks and cards there; a flag that a USB card reader gets wrong then does
    // not hide the medium.
    if (underFolder(mountPoint, QStringLiteral("/media")) ||
        underFolder(mountPoint, QStringLiteral("/run/media"))) {
        return true;
    }
    if (!device.startsWith(QStringLiteral("/dev/"))) {
        return false;
    }
    // "/dev/disk/by-label/STICK" and the like are links to the device node itself.
    const QString node = QFileInfo(device).canonicalFilePath();
    const QString name = QFileInfo(node.isEmpty() ? device : node).fileName();
    const QString sys = QFileInfo(sysRoot).canonicalFilePath();
    QString disk = QFileInfo(sysRoot + QStringLiteral("/class/block/") + name).canonicalFilePath();
    if (sys.isEmpty() || disk.isEmpty()) {
        return false;
    }
    // The flag belongs to the disk; a partition sits in the folder of its disk.
    if (QFileInfo::exists(disk + QStringLiteral("/partition"))) {
        disk = QFileInfo(disk).path();
    }
    if (readFlag(disk + QStringLiteral("/removable")) == u"1") {
        return true;
    }
    // Many USB sticks and disks call themselves fixed.
    const QStringView below = disk.startsWith(sys) ? QStringView(disk).sliced(sys.size()) : disk;
    return below.contains(QStringLiteral("/usb"));
}

QList<DriveEntry> SystemDrives::list() const
{
    QList<DriveEntry> out;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Mounted files (a container's /etc/hosts) hold no folders; snap images are read-only
        // program packages, not places to copy to.
        if (!volume.isValid() || !QFileInfo(volume.rootPath()).isDir() ||
            volume.fileSystemType() == "squashfs") {
            continue;
        }
        const bool removable =
            IsRemovableVolume(QString::fromLocal8Bit(volume.device()), volume.rootPath());
        out.append({volume.rootPath(), labelOf(volume, removable), removable});
    }
    return out;
}

QString SystemDrives::rootOf(const QString& path) const
{
    return QStorageInfo(path).rootPath();
}

bool SystemDrives::isReady(const QString& rootPath) const
{
    // A mount point whose volume has gone is an ordinary folder of the volume above it.
    const QStorageInfo volume(rootPath);
    return volume.isValid() && volume.isReady() && volume.rootPath() == rootPath &&
           QDir(rootPath).isReadable();
}

const Drives& systemDrives()
{
    static const SystemDrives drives;
    return drives;
}

} // namespace kvor
