// Real FAT volumes: images made by mkfs.fat read by the boot-sector reader, and fusefat mounts
// seen through the POSIX volume service, all checked against what mtools reports.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "fat/boot_sector.h"
#include "os/posix/volume_evidence.h"
#include "os/posix/volume_service_posix.h"
#include "support/fat_image.h"

namespace kesp {
namespace {

using test::FatImage;
using test::FatImageLayout;
using test::fusefatDaemonOf;
using test::killAndWait;
using test::labelledFat;

std::vector<std::uint8_t> readBytes(const std::string& path, std::uint64_t offset,
                                    std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(std::streamoff(offset));
    std::vector<std::uint8_t> bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
    if (in.gcount() != std::streamsize(size)) bytes.clear();
    return bytes;
}

// An image file as the FAT library reads it, through readBytes.
class ImageBytes final : public fat::ByteReader {
public:
    explicit ImageBytes(std::string path) : path_(std::move(path)) {}
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        const auto bytes = readBytes(path_, offset, out.size());
        if (bytes.empty()) return false;
        std::copy(bytes.begin(), bytes.end(), out.begin());
        return true;
    }
    std::uint64_t size() const override { return std::filesystem::file_size(path_); }

private:
    std::string path_;
};

std::string hex8(std::uint32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
}

// Data clusters each type is given: well inside its range.
std::uint64_t clustersFor(int fatBits) {
    return fatBits == 12 ? 2000 : fatBits == 16 ? 20000 : 70000;
}

TEST(BootSectorOfMkfsImages, EveryTypeAndClusterSizeMatchesMinfo) {
    KESP_REQUIRE_FAT_TOOLS(false);
    for (int bits : {12, 16, 32})
        for (std::uint32_t cluster = 512; cluster <= 32768; cluster *= 2) {
            SCOPED_TRACE("FAT" + std::to_string(bits) + ", " + std::to_string(cluster));
            FatImageLayout layout;
            layout.fatBits = bits;
            layout.sectorsPerCluster = int(cluster / 512);
            layout.label = "K" + std::to_string(bits) + "C" + std::to_string(cluster);
            layout.serial = hex8(0x0A000000u + bits * 0x10000u + cluster);
            layout.sizeBytes =
                clustersFor(bits) * cluster * 102 / 100 + (bits == 12 ? 64u << 10 : 1u << 20);
            std::string error;
            const auto image = FatImage::create(layout, error);
            ASSERT_TRUE(image) << error;
            const auto truth = image->minfo();
            ASSERT_TRUE(truth);

            const auto boot = fat::parseFatBootSector(readBytes(image->imagePath(), 0, 512));
            ASSERT_TRUE(boot);
            EXPECT_EQ(boot->bytesPerSector, truth->sectorSize);
            EXPECT_EQ(boot->sectorsPerCluster, truth->sectorsPerCluster);
            EXPECT_EQ(boot->clusterSize(), cluster);
            EXPECT_EQ(boot->serial, truth->serial);
            EXPECT_EQ(boot->label, truth->label);
            EXPECT_EQ("FAT" + std::to_string(bits), truth->diskType);
            const fat::FatType expected = bits == 12   ? fat::FatType::Fat12
                                          : bits == 16 ? fat::FatType::Fat16
                                                       : fat::FatType::Fat32;
            EXPECT_EQ(boot->type, expected);

            ImageBytes bytes(image->imagePath());
            const auto root = fat::readRootVolumeLabel(*boot, bytes);
            EXPECT_EQ(root, layout.label);
        }
}

TEST(BootSectorOfMkfsImages, LargerSectorsAndNoLabel) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    FatImageLayout layout = labelledFat(16, 1, "", "", 64u << 20);
    layout.sectorSize = 4096;
    const auto image = FatImage::create(layout, error);
    ASSERT_TRUE(image) << error;
    const auto boot = fat::parseFatBootSector(readBytes(image->imagePath(), 0, 512));
    ASSERT_TRUE(boot);
    EXPECT_EQ(boot->bytesPerSector, 4096u);
    EXPECT_EQ(boot->clusterSize(), 4096u);
    EXPECT_EQ(boot->label, "");
    EXPECT_EQ(boot->serial, image->minfo()->serial);
}

// One mounted image per FAT type, with a few files.
class MountedFat : public ::testing::TestWithParam<FatImageLayout> {
protected:
    void SetUp() override {
        KESP_REQUIRE_FAT_TOOLS(true);
        std::string error;
        image = FatImage::create(GetParam(), error);
        ASSERT_TRUE(image) << error;
        ASSERT_TRUE(image->addFile("A.BIN", 5000, error)) << error;
        ASSERT_TRUE(image->addFile("SUB/B.BIN", 100000, error)) << error;
        ASSERT_TRUE(image->mount(error)) << error;
        volumes = makePosixVolumeService();
        point = image->mountPoint();
        entry = point + " [" + GetParam().label + "]";
    }
    std::unique_ptr<FatImage> image;
    std::unique_ptr<VolumeService> volumes;
    std::string point;
    std::string entry;
};

TEST_P(MountedFat, VolumeServiceReportsWhatMinfoSays) {
    const auto truth = image->minfo();
    ASSERT_TRUE(truth);

    const auto drives = volumes->drives();
    EXPECT_NE(std::find(drives.begin(), drives.end(), entry), drives.end()) << entry;
    EXPECT_EQ(volumes->rootPath(entry), point + "/");
    EXPECT_EQ(volumes->rootPath("  " + point + "/  "), point + "/");
    EXPECT_EQ(volumes->rootPath(point + "/SUB"), std::nullopt);
    EXPECT_EQ(volumes->driveOf(point + "/SUB"), entry);
    EXPECT_EQ(volumes->readiness(point + "/"), 0);
    EXPECT_TRUE(volumes->probeRoot(point + "/"));

    VolumeInformation info;
    ASSERT_TRUE(volumes->volumeInformation(point + "/", info));
    EXPECT_EQ(info.fileSystem, GetParam().fatBits == 32 ? "FAT32" : "FAT");
    EXPECT_EQ(info.name, truth->label);
    EXPECT_EQ(info.serial, truth->serial);
    EXPECT_EQ(info.maxComponentLength, 255u);
    EXPECT_EQ(info.flags, 0x6u);

    std::uint32_t spc = 0, bps = 0;
    ASSERT_TRUE(volumes->diskFreeSpace(point + "/", spc, bps));
    EXPECT_EQ(spc, truth->sectorsPerCluster);
    EXPECT_EQ(bps, truth->sectorSize);
    EXPECT_EQ(volumes->totalMegabytes(point + "/"), truth->totalSectors * truth->sectorSize >> 20);

    // fusefat shows the label as an empty file and short names in upper case.
    EXPECT_TRUE(std::filesystem::exists(point + "/" + GetParam().label));
    EXPECT_TRUE(std::filesystem::exists(point + "/SUB/B.BIN"));
}

TEST_P(MountedFat, UnmountedVolumeIsNotReady) {
    image->unmount();
    EXPECT_EQ(volumes->readiness(point + "/"), kErrorDeviceUnavailable);
    VolumeInformation info;
    EXPECT_FALSE(volumes->volumeInformation(point + "/", info));
    EXPECT_EQ(volumes->rootPath(entry), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Types, MountedFat,
                         ::testing::Values(labelledFat(12, 4, "KESPF12", "CAFE0012", 8u << 20),
                                           labelledFat(16, 4, "KESPF16", "0BADF00D", 64u << 20),
                                           labelledFat(32, 8, "KESPF32", "1234ABCD", 300u << 20)),
                         [](const auto& info) {
                             return "FAT" + std::to_string(info.param.fatBits);
                         });

TEST(DeadFuseMount, DaemonGoneMeansDeviceUnavailable) {
    KESP_REQUIRE_FAT_TOOLS(true);
    std::string error;
    auto image = FatImage::create(labelledFat(12, 4, "MORT", "", 8u << 20), error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->addFile("A.BIN", 10, error)) << error;
    ASSERT_TRUE(image->mount(error)) << error;
    const pid_t daemon = fusefatDaemonOf(image->imagePath());
    ASSERT_GT(daemon, 0);
    ASSERT_TRUE(killAndWait(daemon));

    auto volumes = makePosixVolumeService();
    const std::string root = image->mountPoint() + "/";
    EXPECT_EQ(volumes->readiness(root), kErrorDeviceUnavailable);
    VolumeInformation info;
    EXPECT_FALSE(volumes->volumeInformation(root, info));
    EXPECT_FALSE(volumes->probeRoot(root));
    EXPECT_EQ(volumes->driveOf(image->mountPoint() + "/SUB"), image->mountPoint());
}

TEST(CorruptBootSector, MountedImageFallsBackWithoutGeometry) {
    KESP_REQUIRE_FAT_TOOLS(true);
    std::string error;
    auto image = FatImage::create(labelledFat(16, 4, "CASSE", "", 32u << 20), error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->addFile("A.BIN", 10, error)) << error;
    ASSERT_TRUE(image->mount(error)) << error;
    // fusefat has read the geometry already; the source now starts with a hostile sector.
    {
        std::fstream out(image->imagePath(), std::ios::binary | std::ios::in | std::ios::out);
        const char zero[2] = {0, 0};
        out.seekp(13);
        out.write(zero, 1); // zero sectors per cluster
    }
    auto volumes = makePosixVolumeService();
    const std::string root = image->mountPoint() + "/";
    VolumeInformation info;
    ASSERT_TRUE(volumes->volumeInformation(root, info));
    EXPECT_EQ(info.fileSystem, "fuse.fusefat");
    std::uint32_t spc = 0, bps = 0;
    EXPECT_FALSE(volumes->diskFreeSpace(root, spc, bps)); // fusefat's 1 KiB blocks are not used
}

FatImageLayout smallFat12() {
    return labelledFat(12, 4, "", "", 8u << 20);
}

TEST(FatImageFixture, MountLeftByACrashedTestIsSweptByTheNextImage) {
    KESP_REQUIRE_FAT_TOOLS(true);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        // A test process that dies without running its destructors.
        std::string error;
        auto image = FatImage::create(smallFat12(), error);
        std::string point = image && image->mount(error) ? image->mountPoint() : "";
        (void)!::write(pipeFds[1], point.data(), point.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char buffer[512] = {};
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer - 1);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string point(buffer, n > 0 ? std::size_t(n) : 0);
    ASSERT_FALSE(point.empty());
    ASSERT_TRUE(test::isMounted(point));

    std::string error;
    auto next = FatImage::create(smallFat12(), error);
    ASSERT_TRUE(next) << error;
    EXPECT_FALSE(test::isMounted(point));
    EXPECT_FALSE(std::filesystem::exists(point));
}

TEST(SourceEvidence, LibblkidIdentifiesAnImageAsMinfoDoes) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    auto image = FatImage::create(labelledFat(12, 4, "BLKID", "0BADF00D", 8u << 20), error);
    ASSERT_TRUE(image) << error;
    const BlockIdentity id = identifySource(image->imagePath());
    EXPECT_EQ(id.label, "BLKID");
    EXPECT_EQ(id.uuid, "0BAD-F00D");
    EXPECT_EQ(id.type, "vfat");
    EXPECT_EQ(serialFromUuid(id.uuid), image->minfo()->serial);

    const SourceFat fat = readSourceFat(image->imagePath());
    ASSERT_TRUE(fat.boot);
    EXPECT_EQ(fat.rootLabel, "BLKID");
}

TEST(SourceEvidence, SourcesThatAreNotVolumeFilesAreNeverRead) {
    char folder[] = "/tmp/kesp-evidenceXXXXXX";
    ASSERT_TRUE(::mkdtemp(folder));
    const std::string fifo = std::string(folder) + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string shortFile = std::string(folder) + "/short";
    std::ofstream(shortFile) << "EB";
    // A FIFO would block an open; a character device streams forever; words are no paths.
    for (const std::string& source :
         {fifo, std::string("/dev/zero"), std::string("/dev/null"), shortFile, std::string(folder),
          std::string("fusefat"), std::string(""), std::string("relative/path")}) {
        SCOPED_TRACE(source);
        const SourceFat fat = readSourceFat(source);
        EXPECT_FALSE(fat.boot);
        const BlockIdentity id = identifySource(source);
        EXPECT_EQ(id.type, "");
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace kesp

namespace kesp::test {
namespace {

// A card just formatted has nothing in its root: it is still a volume to scan, not one refused
// as of an unknown type.
TEST(MountedFatVolume, AnEmptyRootIsAVolume) {
    KESP_REQUIRE_FAT_TOOLS(true);
    std::string error;
    auto image = FatImage::create(labelledFat(16, 4, "NEUVE", "0000CAFE", 20 << 20), error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->mount(error)) << error;
    auto volumes = makePosixVolumeService();
    const std::string root = image->mountPoint() + "/";
    EXPECT_TRUE(volumes->probeRoot(root));
    VolumeInformation info;
    ASSERT_TRUE(volumes->volumeInformation(root, info));
    EXPECT_EQ(info.fileSystem, "FAT");
}

} // namespace
} // namespace kesp::test
