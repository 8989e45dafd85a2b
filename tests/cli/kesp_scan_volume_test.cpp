// kesp-scan without --cluster-size (the gate of FOLDER's volume) and with --volume-info: against
// a fake volume table, then over fusefat mounts of FAT12/16/32 images checked against mtools.
#include "cli/volume_options.h"
#include "os/posix/volume_service_posix.h"
#include "scan_harness.h"
#include "support/fat_image.h"
#include "volume/partition_report.h"

namespace kesp::test {
namespace {

using KespScanGate = ScanHarness;

TEST_F(KespScanGate, RefusedOrUnknownFileSystemsPrintTheirLinesAndExit2) {
    volumes.add(dir.path(), "ext4");
    EXPECT_EQ(run({dir.path()}), kExitRefused);
    EXPECT_EQ(out, dir.path() + "/ \next4 : type de partition inconnu\n");
    EXPECT_EQ(err, "");

    volumes.volumes[0].info.fileSystem = "NTFS";
    volumes.volumes[0].info.name = "WIN";
    EXPECT_EQ(run({dir.path()}), kExitRefused);
    EXPECT_EQ(out, dir.path() + "/ WIN\nSans intérêt sur une partition de type NTFS\n");

    // An explicit cluster size still scans whatever the file system.
    EXPECT_EQ(run({"--cluster-size", "512", dir.path()}), kExitDone);
}

TEST_F(KespScanGate, FatVolumeIsScannedWithItsOwnClusterSize) {
    auto& v = volumes.add(dir.path(), "FAT32", "KESP");
    v.sectorsPerCluster = 4; // 2048-byte clusters
    v.megabytes = 300;
    dir.file("scan/a", 1);
    ASSERT_EQ(run({dir / "scan"}), kExitDone) << err;
    const std::string expected = dir.path() + "/ KESP\n" + dir.path() +
                                 "/scan/\n Taille utile     :             1 octets\n"
                                 " Taille réelle    :         2 048 octets\n"
                                 "     Espace perdu :         2 047 octets\n" +
                                 dir.path() + " [KESP] 300 Mo\nRecherche sur " + dir.path() +
                                 "/scan\n Taille totale utile  : 1 octets\n"
                                 " Taille totale réelle : 2,048 octets\n"
                                 "     Espace perdu     : 2,047 octets\n";
    EXPECT_EQ(out, expected);
}

TEST_F(KespScanGate, FatVolumeWithoutGeometryIsRefusedRatherThanScannedWithZero) {
    volumes.add(dir.path(), "FAT").geometryFails = true;
    EXPECT_EQ(run({dir.path()}), kExitRefused);
    EXPECT_EQ(out, dir.path() + "/ \n");
    EXPECT_NE(err.find("taille de cluster inconnue"), std::string::npos) << err;
}

TEST_F(KespScanGate, VolumeInfoPrintsTheSixteenLines) {
    auto& v = volumes.add(dir.path(), "FAT32", "KESP");
    v.info.serial = 0x0ABCDEF1;
    v.info.flags = 0x6;
    v.info.maxComponentLength = 255;
    dir.file("x", 1);
    ASSERT_EQ(run({"--volume-info", dir / "x/.."}), kExitDone) << err;
    std::string expected = partitionReportText("KESP", 0x0ABCDEF1, "FAT32", 6, 255) + "\n";
    std::replace(expected.begin(), expected.end(), '\r', '\n');
    EXPECT_EQ(out, expected);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 16);

    volumes.volumes[0].readiness = kErrorDeviceUnavailable;
    EXPECT_EQ(run({"--volume-info", dir.path()}), kExitRefused);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("informations sur la partition indisponibles"), std::string::npos);
}

// Digits grouped by three with ",", as FormatNombre gives them in the C locale.
std::string grouped(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(std::size_t(at), ",");
    return digits;
}

class KespScanOnFat : public ::testing::TestWithParam<FatImageLayout> {};

TEST_P(KespScanOnFat, ScansTheMountWithTheClusterSizeMinfoReports) {
    KESP_REQUIRE_FAT_TOOLS(true);
    std::string error;
    auto image = FatImage::create(GetParam(), error);
    ASSERT_TRUE(image) << error;
    const std::vector<std::pair<std::string, std::uint64_t>> files = {
        {"A.BIN", 5000}, {"EMPTY.BIN", 0}, {"SUB/B.BIN", 100000}, {"SUB/DEEP/C.BIN", 1}};
    for (const auto& [path, size] : files)
        ASSERT_TRUE(image->addFile(path, size, error)) << error;
    const auto truth = image->minfo();
    ASSERT_TRUE(truth);
    const std::uint64_t cluster = std::uint64_t(truth->sectorSize) * truth->sectorsPerCluster;
    const auto clusters = image->clustersByPath();
    ASSERT_TRUE(image->mount(error)) << error;
    const std::string point = image->mountPoint();

    std::uint64_t useful = 0, fileClusters = 0;
    for (const auto& [path, size] : files) {
        useful += size;
        ASSERT_TRUE(clusters.count("::/" + path)) << path;
        fileClusters += clusters.at("::/" + path);
    }
    const std::uint64_t subFolders = 2; // SUB and SUB/DEEP, one cluster each
    const std::uint64_t real = (fileClusters + subFolders) * cluster;

    std::ostringstream o, e;
    ASSERT_EQ(runKespScan({point}, o, e), kExitDone) << e.str();
    const std::string out = o.str();
    // The gate's drive line first: the root path, one blank, the label.
    EXPECT_EQ(out.substr(0, out.find('\n')), point + "/ " + truth->label);
    EXPECT_NE(out.find("\n" + point + " [" + truth->label + "] "), std::string::npos) << out;
    EXPECT_NE(out.find("\n Taille totale utile  : " + grouped(useful) + " octets\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\n Taille totale réelle : " + grouped(real) + " octets\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\n     Espace perdu     : " + grouped(real - useful) + " octets\n"),
              std::string::npos)
        << out;

    std::ostringstream info, infoErr;
    ASSERT_EQ(runKespScan({"--volume-info", point + "/SUB"}, info, infoErr), kExitDone);
    char serial[9];
    std::snprintf(serial, sizeof serial, "%X", truth->serial);
    EXPECT_EQ(info.str().substr(0, info.str().find("\nLongueur")),
              "Nom du Volume = " + truth->label + "\nNuméro de série = " + serial +
                  "\nType de partition = " + (GetParam().fatBits == 32 ? "FAT32" : "FAT"));
}

TEST_F(KespScanGate, VolumeThatStopsAnsweringEndsTheWalkWithStatus3) {
    KESP_REQUIRE_FAT_TOOLS(true);
    std::string error;
    auto image = FatImage::create(labelledFat(16, 4, "MORT", "", 16u << 20), error);
    ASSERT_TRUE(image) << error;
    for (const char* path : {"A/1.BIN", "B/2.BIN", "C/3.BIN"})
        ASSERT_TRUE(image->addFile(path, 3000, error)) << error;
    ASSERT_TRUE(image->mount(error)) << error;
    const std::string point = image->mountPoint();
    // The FUSE daemon dies once the walk reaches the second folder.
    TamperingEnumerator killer(folders, [&](const std::string& path) {
        if (path == point + "/B/") {
            ASSERT_TRUE(killAndWait(fusefatDaemonOf(image->imagePath())));
        }
    });
    enumerator = &killer;
    ASSERT_EQ(run({"--cluster-size", "2048", "--report", dir / "r", point}), kExitIncomplete);
    const std::string lost =
        "Le volume ne répond plus (Transport endpoint is not connected) : analyse interrompue "
        "avant la fin !!";
    EXPECT_EQ(err, "kesp-scan: " + lost + "\n");
    EXPECT_TRUE(endsWith(out, "\n" + lost + "\n")) << out;
    EXPECT_TRUE(endsWith(readFile(dir / "r"), "\r\n" + lost + "\r\n"));
    EXPECT_EQ(out.find("Taille totale"), std::string::npos);
    EXPECT_EQ(out.find(point + "/C/"), std::string::npos); // nothing after the loss is walked
}

INSTANTIATE_TEST_SUITE_P(Types, KespScanOnFat,
                         ::testing::Values(labelledFat(12, 4, "SCANF12", "0ABCDEF1", 8u << 20),
                                           labelledFat(16, 8, "SCANF16", "FFFFFFFF", 64u << 20),
                                           labelledFat(32, 1, "SCANF32", "1234ABCD", 40u << 20)),
                         [](const auto& info) {
                             return "FAT" + std::to_string(info.param.fatBits);
                         });

TEST(KespScanOnOtherVolumes, FolderOfTheTestMachineIsRefusedByTheRealGate) {
    TempDir dir;
    std::ostringstream o, e;
    const auto volumes = makePosixVolumeService();
    const std::string drive = volumes->driveOf(dir.path());
    VolumeInformation info;
    ASSERT_TRUE(volumes->volumeInformation(volumes->entryRoot(drive), info));
    if (info.fileSystem == "FAT" || info.fileSystem == "FAT32")
        GTEST_SKIP() << "the temporary folder is on a FAT volume";
    EXPECT_EQ(runKespScan({dir.path()}, o, e), kExitRefused);
    EXPECT_NE(o.str().find(info.fileSystem + " : type de partition inconnu\n"), std::string::npos)
        << o.str();
}

} // namespace
} // namespace kesp::test
