// kesp-scan on FAT images named on the command line: no mount, the paths written as
// IMAGE[:N]:/folder/, the image's own drive text, --partitions.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/kesp_scan.h"
#include "cli/volume_options.h"
#include "support/fat_image.h"

namespace kesp::test {
namespace {

struct ScanResult {
    int status = 0;
    std::string out, err;
};

ScanResult scan(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    ScanResult run;
    run.status = runKespScan(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    // Result files end their lines with CR LF.
    for (std::string line; std::getline(in, line);)
        out.push_back(line.substr(0, line.find('\r')));
    return out;
}

class KespScanImage : public ::testing::Test {
protected:
    void SetUp() override {
        KESP_REQUIRE_FAT_TOOLS(false);
        std::string error;
        image = FatImage::create(labelledFat(16, 4, "CARTE", "0BADF00D", 20 << 20), error);
        ASSERT_TRUE(image) << error;
        for (const auto& [path, size] : std::vector<std::pair<std::string, int>>{
                 {"racine.txt", 1}, {"DCIM/100CANON/IMG_0001.JPG", 2049}, {"DCIM/été.jpg", 3}})
            ASSERT_TRUE(image->addFile(path, size, error)) << error;
    }
    std::unique_ptr<FatImage> image;
};

TEST_F(KespScanImage, PathsAndDriveTextNameTheImage) {
    const std::string img = image->imagePath();
    const std::string report = img + ".report";
    ScanResult run = scan({"--report", report, img});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    const auto written = lines(report);
    ASSERT_GE(written.size(), 4u);
    EXPECT_EQ(written[0], img + " [CARTE] 20 Mo");
    EXPECT_EQ(written[1], "liste de " + img + ":/");
    std::vector<std::string> blocks;
    for (const std::string& line : written)
        if (line.starts_with(img)) blocks.push_back(line);
    EXPECT_EQ(blocks, (std::vector<std::string>{img + " [CARTE] 20 Mo", img + ":/", img + ":/DCIM/",
                                                img + ":/DCIM/100CANON/"}));
    // 2 KiB clusters, from the image's own boot sector.
    EXPECT_NE(run.out.find(" Taille totale réelle : 12,288 octets"), std::string::npos) << run.out;

    run = scan({img + ":/dcim/"});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    EXPECT_NE(run.out.find("Recherche sur " + img + ":/dcim\n"), std::string::npos) << run.out;

    run = scan({img + ":/NOPE"});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, "kesp-scan: dossier introuvable : NOPE\n");
}

TEST_F(KespScanImage, PartitionsOfAnImageWithoutTable) {
    const ScanResult run = scan({"--partitions", image->imagePath()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0\t0\t" + std::to_string(20 << 20) + "\t\tFAT\tCARTE\n");
}

TEST_F(KespScanImage, PartitionsSaysWhyItListsNothingOrWhatIsWrong) {
    const std::string disk = image->imagePath() + ".disk";
    { std::ofstream create(disk, std::ios::binary); }
    ScanResult run = scan({"--partitions", disk});
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "kesp-scan: " + disk + " : image vide\n");

    // An MBR with an extended partition whose second EBR links to itself.
    std::string bytes(8 << 20, '\0');
    const auto entry = [&](std::size_t sector, int slot, std::uint8_t type, std::uint32_t start,
                           std::uint32_t count) {
        const std::size_t at = sector * 512 + 446 + 16 * slot;
        bytes[at + 4] = char(type);
        for (int i = 0; i < 4; ++i) {
            bytes[at + 8 + i] = char(start >> (8 * i));
            bytes[at + 12 + i] = char(count >> (8 * i));
        }
        bytes[sector * 512 + 510] = '\x55';
        bytes[sector * 512 + 511] = '\xAA';
    };
    entry(0, 0, 0x05, 2048, 8192);
    entry(2048, 0, 0x06, 64, 4096);
    entry(2048, 1, 0x05, 1, 1); // links count from the extended partition's start: to 2049
    entry(2049, 0, 0x0B, 1000, 100);
    entry(2049, 1, 0x05, 1, 1); // 2049 again
    std::ofstream(disk, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    run = scan({"--partitions", disk});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1\t1048576\t4194304\t05\t\t\n5\t1081344\t2097152\t06\t\t\n"
                       "6\t1561088\t51200\t0b\t\t\n");
    EXPECT_EQ(run.err, "kesp-scan: " + disk +
                           " : table de partitions étendue en boucle : chaque partition logique "
                           "n'est listée qu'une fois\n");
}

TEST_F(KespScanImage, SameTotalsAsThroughAFusefatMount) {
    KESP_REQUIRE_FAT_TOOLS(true);
    const auto totals = [](const std::string& out) {
        return out.substr(out.find("\n Taille totale utile"));
    };
    // fusefat is right only where names are ASCII: the accented file goes, long names come.
    std::string error, output;
    ASSERT_EQ(runProgram({"mdel", "-i", image->imagePath(), "::/DCIM/été.jpg"}, output), 0)
        << output;
    for (const auto& [path, size] : std::vector<std::pair<std::string, int>>{
             {"Long Name Folder/Mixed Case File.Txt", 70000}, {"Long Name Folder/a b c.jpeg", 5}})
        ASSERT_TRUE(image->addFile(path, size, error)) << error;
    const ScanResult direct = scan({image->imagePath()});
    ASSERT_EQ(direct.status, kExitDone) << direct.err;
    ASSERT_TRUE(image->mount(error)) << error;
    const ScanResult mounted = scan({image->mountPoint()});
    ASSERT_EQ(mounted.status, kExitDone) << mounted.err;
    EXPECT_EQ(totals(direct.out), totals(mounted.out));
}

} // namespace
} // namespace kesp::test
