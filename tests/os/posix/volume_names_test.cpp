// The mount table, drive designations (Linux and Windows rules), and what a volume is composed
// from its evidence.
#include <gtest/gtest.h>

#include "os/posix/drive_designation.h"
#include "os/posix/file_system_names.h"
#include "os/posix/mount_table.h"
#include "os/posix/volume_facts.h"
#include "os/win32/device_names.h"
#include "os/win32/drive_letter.h"

namespace kesp {
namespace {

constexpr const char* kMountInfo =
    "22 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "23 22 0:5 / /proc rw,nosuid - proc proc rw\n"
    "24 22 0:6 / /sys rw - sysfs sysfs rw\n"
    "25 24 0:7 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "26 22 0:8 / /dev/pts rw - devpts devpts rw,mode=600\n"
    "27 25 0:13 / /sys/fs/cgroup/unified rw - tmpfs tmpfs rw\n"
    "28 22 0:14 / /dev rw - devtmpfs devtmpfs rw\n"
    "29 28 0:15 / /dev/shm rw - tmpfs tmpfs rw\n"
    "30 22 0:16 / /run rw - tmpfs tmpfs rw\n"
    "40 22 0:40 / /tmp/kesp\\040test/mnt\\0401 ro,nosuid shared:7 master:2 - fuse.fusefat "
    "/tmp/kesp\\040test/f16.img ro,user_id=0\n"
    "41 22 8:17 / /media/cle rw - vfat /dev/sdb1 rw,fmask=0022\n"
    "garbage line without the separator\n"
    "42 22 8:33 / /media/cle rw - ntfs3 /dev/sdc1 rw\n"
    "43 22 0:9 / /mnt/over rw - ext4 /dev/vdb rw\n"
    "44 22 0:10 / /mnt/over rw - proc proc rw\n"
    "45 22 0:11 / /run/user/0/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
    "46 22 0:12 / /srv/data rw - btrfs /dev/vdc rw";

TEST(MountTable, DecodesDropsPseudoFileSystemsAndKeepsTheLastMountOverAPoint) {
    const auto mounts = parseMountInfo(kMountInfo);
    std::vector<std::string> points;
    for (const auto& m : mounts)
        points.push_back(m.mountPoint);
    const std::vector<std::string> expected = {"/", "/run", "/tmp/kesp test/mnt 1", "/media/cle",
                                               "/srv/data"};
    EXPECT_EQ(points, expected);
    EXPECT_EQ(mounts[2].type, "fuse.fusefat");
    EXPECT_EQ(mounts[2].source, "/tmp/kesp test/f16.img");
    EXPECT_EQ(mounts[3].type, "ntfs3"); // mounted over the vfat one
    EXPECT_EQ(mounts[3].source, "/dev/sdc1");
    EXPECT_EQ(mounts[0].options, "rw,relatime,rw");
}

TEST(MountTable, DriveListHasTheRootFirstThenMountPointsWithoutMemoryFileSystems) {
    const auto mount = [](const char* point, const char* type) {
        return MountEntry{point, type, "src", "rw"};
    };
    const auto listed =
        listedDrives({mount("/srv", "ext4"), mount("/run", "tmpfs"), mount("/media/b", "vfat"),
                      mount("/", "overlay"), mount("/dev", "devtmpfs"), mount("/mnt/r", "ramfs"),
                      mount("/var/lib/c", "overlay"), mount("/media/a", "vfat")});
    std::vector<std::string> points;
    for (const auto& m : listed)
        points.push_back(m.mountPoint);
    EXPECT_EQ(points, (std::vector<std::string>{"/", "/media/a", "/media/b", "/srv"}));
}

TEST(MountTable, VolumeOfAPathIsTheLongestMountPointOnAComponentBoundary) {
    const auto mounts = parseMountInfo(kMountInfo);
    const auto pointOf = [&](const char* path) {
        const MountEntry* m = mountHolding(mounts, path);
        return m ? m->mountPoint : std::string("none");
    };
    EXPECT_EQ(pointOf("/media/cle"), "/media/cle");
    EXPECT_EQ(pointOf("/media/cle/photos/a.jpg"), "/media/cle");
    EXPECT_EQ(pointOf("/media/clef/x"), "/");
    EXPECT_EQ(pointOf("/tmp/kesp test/mnt 1/SUB"), "/tmp/kesp test/mnt 1");
    EXPECT_EQ(pointOf("/proc/1"), "/"); // pseudo file systems are not volumes
    EXPECT_EQ(mountHolding({}, "/x"), nullptr);
}

TEST(DriveDesignation, EntriesCandidatesAndRoots) {
    EXPECT_EQ(driveEntryText("/media/cle", ""), "/media/cle");
    EXPECT_EQ(driveEntryText("/media/cle", "CLE USB"), "/media/cle [CLE USB]");
    EXPECT_EQ(driveEntryText("/media/cle", "A\nB\x1b\x7f\t"),
              "/media/cle [A\\x0AB\\x1B\\x7F\\x09]");
    EXPECT_EQ(trimBlanks("   /media/cle [X]  "), "/media/cle [X]");
    EXPECT_EQ(trimBlanks("    "), "");

    using V = std::vector<std::string>;
    EXPECT_EQ(mountPointCandidates("/media/cle"), V{"/media/cle"});
    EXPECT_EQ(mountPointCandidates("/media/cle/"), V{"/media/cle"});
    EXPECT_EQ(mountPointCandidates("/"), V{"/"});
    EXPECT_EQ(mountPointCandidates("/media/cle [CLE]"), (V{"/media/cle [CLE]", "/media/cle"}));
    // A label holding " [" and a mount point holding " [" both find their mount.
    EXPECT_EQ(mountPointCandidates("/m [a] [L [2]]"),
              (V{"/m [a] [L [2]]", "/m [a] [L", "/m [a]", "/m"}));
    EXPECT_TRUE(mountPointCandidates("").empty());

    EXPECT_EQ(rootOfMountPoint("/"), "/");
    EXPECT_EQ(rootOfMountPoint("/media/cle"), "/media/cle/");
}

TEST(Win32DriveLetter, FirstCharacterAfterBlanksMustBeALetter) {
    EXPECT_EQ(win32RootPath("c"), "C:\\");
    EXPECT_EQ(win32RootPath("c:\\"), "C:\\");
    EXPECT_EQ(win32RootPath("   d: [DATA]"), "D:\\");
    EXPECT_EQ(win32RootPath("z:\\work\\x"), "Z:\\");
    EXPECT_EQ(win32RootPath("A:"), "A:\\");
    for (const char* bad : {"", "   ", "9:", "\\\\server", "@:", "[:", "`:", "{:", "\xE9:"})
        EXPECT_EQ(win32RootPath(bad), std::nullopt) << bad;
    EXPECT_EQ(win32EntryRoot("c: [SYSTEME]"), "c:\\");
    EXPECT_EQ(win32EntryRoot("D:"), "D:\\");
}

TEST(Win32DeviceNames, DevicesLongPathsAndWhyTheyCannotBeRead) {
    EXPECT_TRUE(isWin32DeviceName("\\\\.\\E:"));
    EXPECT_TRUE(isWin32DeviceName("\\\\.\\PhysicalDrive2"));
    for (const char* other :
         {"E:\\carte.img", "\\\\server\\share\\c.img", "\\\\?\\C:\\x", "\\\\.\\", ""})
        EXPECT_FALSE(isWin32DeviceName(other)) << other;

    const std::wstring deep = L"C:\\" + std::wstring(300, L'd') + L"\\c.img";
    EXPECT_EQ(win32LongPathForm(deep), L"\\\\?\\" + deep);
    EXPECT_EQ(win32LongPathForm(L"\\\\srv\\share\\" + std::wstring(300, L'd')),
              L"\\\\?\\UNC\\srv\\share\\" + std::wstring(300, L'd'));
    EXPECT_EQ(win32LongPathForm(L"C:\\short\\c.img"), L"C:\\short\\c.img");
    EXPECT_EQ(win32LongPathForm(L"\\\\?\\" + deep), L"\\\\?\\" + deep) << "prefixed once";

    // A device needs an elevated process: the message names it and says so.
    const std::string refused = win32AccessRefusal("\\\\.\\PhysicalDrive2", "Accès refusé.");
    EXPECT_EQ(refused.rfind("lecture de \\\\.\\PhysicalDrive2 non autorisée : ", 0), 0u);
    EXPECT_NE(refused.find("administrateur"), std::string::npos);
    EXPECT_EQ(win32AccessRefusal("D:\\c.img", "Accès refusé."),
              "lecture de D:\\c.img non autorisée : Accès refusé.");
    EXPECT_EQ(win32SharingRefusal("D:\\c.img"),
              "impossible de lire D:\\c.img : un autre programme l'a ouvert sans en permettre la "
              "lecture");
}

TEST(FileSystemNames, MountTypesAndCapabilities) {
    EXPECT_EQ(fileSystemName("ntfs"), "NTFS");
    EXPECT_EQ(fileSystemName("ntfs3"), "NTFS");
    EXPECT_EQ(fileSystemName("fuseblk"), "NTFS");
    EXPECT_EQ(fileSystemName("fuseblk", "exfat"), "exFAT");
    EXPECT_EQ(fileSystemName("udf"), "UDF");
    EXPECT_EQ(fileSystemName("iso9660"), "CDFS");
    EXPECT_EQ(fileSystemName("exfat"), "exFAT");
    for (const char* kept : {"ext4", "btrfs", "overlay", "fuse.sshfs", "tmpfs"})
        EXPECT_EQ(fileSystemName(kept), kept);

    using namespace fsflag;
    EXPECT_EQ(capabilityFlags("FAT"), CasePreservedNames | UnicodeOnDisk);
    EXPECT_EQ(capabilityFlags("FAT32"), CasePreservedNames | UnicodeOnDisk);
    // A driver we know nothing of claims nothing.
    EXPECT_EQ(capabilityFlags("fuse.sshfs"), 0u);
}

TEST(SerialFromUuid, FatAndNtfsForms) {
    EXPECT_EQ(serialFromUuid("1234-ABCD"), 0x1234ABCDu);
    EXPECT_EQ(serialFromUuid("0bad-f00d"), 0x0BADF00Du);
    EXPECT_EQ(serialFromUuid("0123456789ABCDEF"), 0x89ABCDEFu);
    for (const char* bad :
         {"", "1234ABCD", "12345-ABCD", "XYZW-ABCD", "3e1f2a6c-7d4b-4b8e-9d0a-1234567890ab"})
        EXPECT_EQ(serialFromUuid(bad), std::nullopt) << bad;
}

VolumeEvidence evidenceOf(const char* type, const char* source = "/dev/sdb1") {
    VolumeEvidence e;
    e.mount = {"/media/v", type, source, "rw"};
    return e;
}

TEST(DescribeVolume, BootSectorGivesFatGeometryAndPrefersTheRootLabel) {
    auto e = evidenceOf("fuse.fusefat", "/tmp/f.img");
    fat::FatBootSector boot;
    boot.bytesPerSector = 512;
    boot.sectorsPerCluster = 4;
    boot.totalSectors = 40960;
    boot.type = fat::FatType::Fat16;
    boot.serial = 0x0BADF00D;
    boot.label = "BOOTLBL";
    e.boot = boot;
    e.rootLabel = "ROOTLBL";
    e.stat = StatvfsFacts{1024, 20000, 1024, 255, 0}; // fusefat's fixed 1 KiB blocks
    auto facts = describeVolume(e);
    EXPECT_EQ(facts.info.fileSystem, "FAT");
    EXPECT_EQ(facts.info.name, "ROOTLBL");
    EXPECT_EQ(facts.info.serial, 0x0BADF00Du);
    EXPECT_EQ(facts.info.maxComponentLength, 255u);
    EXPECT_EQ(facts.info.flags, fsflag::CasePreservedNames | fsflag::UnicodeOnDisk);
    ASSERT_TRUE(facts.geometryKnown);
    EXPECT_EQ(facts.sectorsPerCluster * facts.bytesPerSector, 2048u);
    EXPECT_EQ(facts.totalBytes, 40960u * 512);

    e.rootLabel.reset();
    EXPECT_EQ(describeVolume(e).info.name, "BOOTLBL");
}

// The kernel's exfat and exfat-fuse ("fuseblk") alike: the boot region behind the mount gives
// the geometry, whatever statvfs says; the label and serial are the volume's own.
TEST(DescribeVolume, ExfatBootRegionGivesItsGeometryLabelAndSerial) {
    EXPECT_TRUE(mayHoldFatBootSector("exfat"));
    EXPECT_TRUE(mayHoldFatBootSector("fuseblk"));
    for (const char* type : {"exfat", "fuseblk"}) {
        SCOPED_TRACE(type);
        auto e = evidenceOf(type, "/dev/mmcblk0p1");
        fat::ExfatBootSector boot;
        boot.bytesPerSectorShift = 9;
        boot.sectorsPerClusterShift = 8; // 128 KiB
        boot.volumeLength = 125'040'640;
        boot.serial = 0x5E1D00AB;
        e.exfat = SourceExfat{boot, "CARTE SD", ""};
        e.stat = StatvfsFacts{4096, 1000, 4096, 255, 0};
        e.identity = {"autre", "1111-2222", "exfat"};
        const auto facts = describeVolume(e);
        EXPECT_EQ(facts.info.fileSystem, "exFAT");
        EXPECT_EQ(facts.info.name, "CARTE SD");
        EXPECT_EQ(facts.info.serial, 0x5E1D00ABu);
        EXPECT_EQ(facts.info.flags, fsflag::CasePreservedNames | fsflag::UnicodeOnDisk);
        EXPECT_EQ(facts.info.maxComponentLength, 255u);
        ASSERT_TRUE(facts.geometryKnown);
        EXPECT_EQ(facts.sectorsPerCluster, 256u);
        EXPECT_EQ(facts.bytesPerSector, 512u);
        EXPECT_EQ(facts.totalBytes, 125'040'640ull * 512);
    }
}

TEST(DescribeVolume, KernelVfatWithoutBootSectorUsesStatvfsAndTheUdevIdentity) {
    auto e = evidenceOf("vfat");
    e.stat = StatvfsFacts{16384, 70000, 16384, 1530, 0};
    e.identity = {"CLE", "1234-ABCD", "vfat"};
    auto facts = describeVolume(e);
    EXPECT_EQ(facts.info.fileSystem, "FAT32");
    EXPECT_EQ(facts.info.name, "CLE");
    EXPECT_EQ(facts.info.serial, 0x1234ABCDu);
    ASSERT_TRUE(facts.geometryKnown);
    EXPECT_EQ(facts.sectorsPerCluster, 32u);
    EXPECT_EQ(facts.bytesPerSector, 512u);

    e.stat->blocks = 65524;
    EXPECT_EQ(describeVolume(e).info.fileSystem, "FAT");
}

TEST(DescribeVolume, FuseFatWithoutBootSectorHasNoGeometryAndIsNotFat) {
    auto e = evidenceOf("fuse.fusefat", "fusefat");
    e.stat = StatvfsFacts{1024, 306572, 1024, 255, 0};
    const auto facts = describeVolume(e);
    EXPECT_FALSE(facts.geometryKnown);
    EXPECT_EQ(facts.info.fileSystem, "fuse.fusefat");
}

TEST(DescribeVolume, OtherFileSystemsUseStatvfsBlockSize) {
    auto e = evidenceOf("ext4", "/dev/vda");
    e.stat = StatvfsFacts{4096, 1000, 4096, 255, 0x1122334455667788ull};
    e.identity = {"racine", "3e1f2a6c-7d4b-4b8e-9d0a-1234567890ab", "ext4"};
    auto facts = describeVolume(e);
    EXPECT_EQ(facts.info.fileSystem, "ext4");
    EXPECT_EQ(facts.info.name, "racine");
    EXPECT_EQ(facts.info.serial, 0x55667788u);
    EXPECT_EQ(facts.sectorsPerCluster * facts.bytesPerSector, 4096u);

    auto ntfs = evidenceOf("ntfs3");
    ntfs.stat = StatvfsFacts{4096, 1000, 4096, 255, 0};
    ntfs.identity = {"", "0123456789ABCDEF", "ntfs"};
    EXPECT_EQ(describeVolume(ntfs).info.fileSystem, "NTFS");
    EXPECT_EQ(describeVolume(ntfs).info.serial, 0x89ABCDEFu);

    auto odd = evidenceOf("fuse.sshfs", "host:/srv");
    odd.stat = StatvfsFacts{1000, 10, 1000, 255, 0};
    facts = describeVolume(odd);
    EXPECT_EQ(facts.bytesPerSector, 1000u);
    EXPECT_EQ(facts.sectorsPerCluster, 1u);
}

} // namespace
} // namespace kesp
