// kesp-scan on FAT images named on the command line: no mount, the paths written as
// IMAGE[:N]:/folder/, the image's own drive text, --partitions.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/kesp_scan.h"
#include "cli/volume_options.h"
#include "support/fat_image.h"
#include "support/temp_dir.h"

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

// A name that exists on the host is what the host has there; the image syntax only reads what
// does not, so any name an image file may have works.
TEST_F(KespScanImage, HostNamesComeFirstAndImagesMayHaveAnyName) {
    TempDir dir;
    std::filesystem::copy_file(image->imagePath(), dir / "pics");
    dir.file("pics:/big", 50000);
    for (const std::string& folder : {dir / "pics:", dir / "pics:/"}) {
        const ScanResult run = scan({"--cluster-size", "512", folder});
        ASSERT_EQ(run.status, kExitDone) << run.err;
        EXPECT_NE(run.out.find("Recherche sur " + (dir / "pics:") + "\n"), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find(" Taille totale réelle : 50,176 octets"), std::string::npos)
            << run.out;
    }
    for (const std::string name : {"pics", "my [x].img", "card [1]", "a:b"}) {
        const std::string img = dir / name;
        if (name != "pics") std::filesystem::copy_file(image->imagePath(), img);
        for (const std::string& argument : {img, img + ":/", img + ":/DCIM/"}) {
            SCOPED_TRACE(argument);
            if (argument == dir / "pics:/") continue; // the host folder above
            const ScanResult run = scan({argument});
            ASSERT_EQ(run.status, kExitDone) << run.err;
            const std::string root = argument == img ? img + ":/" : argument;
            EXPECT_NE(run.out.find("Recherche sur " + root.substr(0, root.size() - 1)),
                      std::string::npos)
                << run.out;
        }
    }
}

// Bad arguments 1, a volume that cannot be read as FAT 2, whichever option meets them.
TEST_F(KespScanImage, EachKindOfFailureHasOneStatus) {
    TempDir dir;
    const std::string img = image->imagePath();
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zeros = dir.file("zeros", 64 << 10);
    const std::string empty = dir.file("empty", 0);
    const std::string notImage = " n'est ni une image disque ni un périphérique bloc\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{img + ":0:/"},
         kExitFailed,
         img + ":0:/ : les partitions sont numérotées à partir de 1\n"},
        {{img + ":-1:/"},
         kExitFailed,
         img + ":-1:/ : les partitions sont numérotées à partir de 1\n"},
        {{img + ":2:/"}, kExitFailed, img + " : pas de partition 2\n"},
        {{img + ":1"}, kExitFailed, img + " : pas de partition 1\n"},
        {{fifo},
         kExitFailed,
         fifo + " n'est ni un dossier, ni une image disque, ni un périphérique bloc\n"},
        {{fifo + ":/"}, kExitFailed, fifo + notImage},
        {{"--partitions", fifo}, kExitFailed, fifo + notImage},
        {{"--partitions", dir.path()}, kExitFailed, dir.path() + notImage},
        {{"--partitions", dir / "missing"}, kExitFailed, dir / "missing : image introuvable\n"},
        {{zeros}, kExitRefused, zeros + " : aucun volume FAT lisible dans cette image\n"},
        {{"--volume-info", zeros},
         kExitRefused,
         zeros + " : aucun volume FAT lisible dans cette image\n"},
        {{"--partitions", empty},
         kExitRefused,
         empty + " : ni table de partitions ni volume lisible\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const ScanResult run = scan(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, "kesp-scan: " + c.err);
        EXPECT_EQ(run.out, "");
    }
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
