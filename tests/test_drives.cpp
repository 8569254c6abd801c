// Telling removable volumes from fixed ones by what the kernel says of their disks.

#include "core/Drives.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvor;

namespace {

// A sysfs tree with a disk at `diskPath` (below devices/) that has the given removable flag and,
// when `partition` is set, one partition; class/block links to both as the kernel's do.
struct FakeSysfs
{
    QTemporaryDir dir;

    void addDisk(const QString& diskPath, const char* removable, const QString& partition = {})
    {
        const QString disk = dir.filePath(QStringLiteral("devices/") + diskPath);
        ASSERT_TRUE(QDir().mkpath(disk));
        QFile flag(disk + QStringLiteral("/removable"));
        ASSERT_TRUE(flag.open(QIODevice::WriteOnly));
        flag.write(removable);
        flag.write("\n");
        QDir().mkpath(dir.filePath(QStringLiteral("class/block")));
        const QString name = QFileInfo(disk).fileName();
        QFile::link(QStringLiteral("../../devices/") + diskPath,
                    dir.filePath(QStringLiteral("class/block/") + name));
        if (!partition.isEmpty()) {
            const QString part = disk + u'/' + partition;
            ASSERT_TRUE(QDir().mkpath(part));
            QFile number(part + QStringLiteral("/partition"));
            ASSERT_TRUE(number.open(QIODevice::WriteOnly));
            number.write("1\n");
            QFile::link(QStringLiteral("../../devices/") + diskPath + u'/' + partition,
                        dir.filePath(QStringLiteral("class/block/") + partition));
        }
    }
};

struct VolumeCase
{
    const char* name;
    const char* device;
    const char* mountPoint;
    bool removable;
};

class Removable : public ::testing::TestWithParam<VolumeCase>
{
protected:
    static void SetUpTestSuite()
    {
        sys = new FakeSysfs;
        sys->addDisk("pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda", "0",
                     "sda1");
        // A stick that calls itself fixed, as many do.
        sys->addDisk("pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb",
                     "0", "sdb1");
        sys->addDisk("pci0000:00/0000:00:1c.0/mmc_host/mmc0/mmc0:0001/block/mmcblk0", "1",
                     "mmcblk0p1");
        // A diskette has no partitions.
        sys->addDisk("platform/floppy.0/block/fd0", "1");
        sys->addDisk("virtual/block/loop0", "0");
    }
    static void TearDownTestSuite()
    {
        delete sys;
        sys = nullptr;
    }
    static inline FakeSysfs* sys = nullptr;
};

TEST_P(Removable, IsToldFromFixed)
{
    const VolumeCase& c = GetParam();
    EXPECT_EQ(IsRemovableVolume(QString::fromUtf8(c.device), QString::fromUtf8(c.mountPoint),
                                sys->dir.path()),
              c.removable);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Removable,
    ::testing::Values(
        VolumeCase{"internal_partition", "/dev/sda1", "/", false},
        VolumeCase{"internal_partition_elsewhere", "/dev/sda1", "/home", false},
        VolumeCase{"usb_partition_flag_unset", "/dev/sdb1", "/mnt/stick", true},
        VolumeCase{"card_partition_flag_on_disk", "/dev/mmcblk0p1", "/mnt/card", true},
        VolumeCase{"whole_diskette", "/dev/fd0", "/mnt/floppy", true},
        VolumeCase{"loop_image", "/dev/loop0", "/mnt/image", false},
        VolumeCase{"desktop_media_folder", "/dev/sdz9", "/media/ivan/STICK", true},
        VolumeCase{"desktop_run_media_folder", "/dev/sdz9", "/run/media/ivan/STICK", true},
        VolumeCase{"media_itself_is_no_medium", "/dev/sda1", "/media", false},
        VolumeCase{"name_only_starts_like_media", "/dev/sda1", "/mediafiles/x", false},
        VolumeCase{"unknown_device", "/dev/sdz9", "/mnt/x", false},
        VolumeCase{"memory_filesystem", "tmpfs", "/tmp", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SystemDrives, AMountPointLeftBehindIsNotReady)
{
    // What the folder of a stick looks like after the stick was taken away.
    QTemporaryDir dir;
    EXPECT_TRUE(systemDrives().isReady(systemDrives().rootOf(dir.path())));
    EXPECT_FALSE(systemDrives().isReady(dir.path()));
}

} // namespace
