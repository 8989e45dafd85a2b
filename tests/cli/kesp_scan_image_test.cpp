// kesp-scan on FAT images named on the command line: no mount, the paths written as
// IMAGE[:N]:/folder/, the image's own drive text, --partitions.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/kesp_scan.h"
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
