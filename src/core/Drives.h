#pragma once
// The drives a report can be copied to. The dialog asks through this interface so that a drive
// without a medium can be staged in a test; the machine's own drives are the mounted volumes.

#include <QList>
#include <QString>

namespace kvor {

struct DriveEntry
{
    QString rootPath; // the folder the volume is mounted on
    QString label;    // what the drive list shows
    bool removable = false;
};

class Drives
{
public:
    virtual ~Drives() = default;

    // The mounted volumes that hold folders, in no particular order.
    virtual QList<DriveEntry> list() const = 0;
    // The root of the volume that holds path.
    virtual QString rootOf(const QString& path) const = 0;
    // Whether the volume at rootPath is still mounted there and its folders can be read.
    virtual bool isReady(const QString& rootPath) const = 0;
};

// The mounted volumes of this machine.
class SystemDrives final : public Drives
{
public:
    QList<DriveEntry> list() const override;
    QString rootOf(const QString& path) const override;
    bool isReady(const QString& rootPath) const override;
};

const Drives& systemDrives();

// Whether the volume on device (as the mount table names it, "/dev/sdb1") mounted at mountPoint
// can be taken out of the machine: its disk carries the kernel's removable flag, hangs on the
// USB bus, or the desktop mounted it where it mounts media. sysRoot is where sysfs is mounted.
bool IsRemovableVolume(const QString& device, const QString& mountPoint,
                       const QString& sysRoot = QStringLiteral("/sys"));

} // namespace kvor
