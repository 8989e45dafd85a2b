// kesp-scan on FAT images named on the command line: no mount, the paths written as
// IMAGE[:N]:/folder/, the image's own drive text, --partitions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/kesp_scan.h"
#include "cli/volume_options.h"
#include "support/fat_image.h"
#include "support/posix_files.h"
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
    ASSERT_TRUE(makeFifo(fifo));
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
        {{zeros}, kExitRefused, zeros + " : pas un volume FAT ni exFAT\n"},
        {{"--volume-info", zeros}, kExitRefused, zeros + " : pas un volume FAT ni exFAT\n"},
        {{"--partitions", empty}, kExitRefused, empty + " : image vide\n"},
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

namespace kesp::test {
namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A copy of the entry at `from`, named `name11`, in the free slot after the entry at `after`:
// a second entry for the same first cluster, as on a card whose folders are cross-linked.
void addTwin(std::string& bytes, std::size_t from, std::size_t after, const std::string& name11) {
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(after, std::string::npos);
    ASSERT_EQ(bytes[after + 32], '\0') << "the slot after the entry is taken";
    bytes.replace(after + 32, 32, bytes.substr(from, 32));
    bytes.replace(after + 32, 11, name11);
}

TEST(KespScanDamagedImage, AFolderReachedTwiceIsWalkedOnceAndReported) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    auto image = FatImage::create(labelledFat(16, 4, "TWINS", "0000AAAA", 16 << 20), error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->addFile("A/B/F.BIN", 100, error)) << error;
    std::string bytes = bytesOf(image->imagePath());
    const std::size_t a = entryAt(bytes, "A          ");
    const std::size_t b = entryAt(bytes, "B          ");
    addTwin(bytes, b, b, "TWIN       ");                             // A holds B twice
    addTwin(bytes, a, entryAt(bytes, "F       BIN"), "UP         "); // B holds its own parent
    const std::string damaged = image->imagePath() + ".twins";
    std::ofstream(damaged, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));

    const ScanResult run = scan({damaged});
    ASSERT_EQ(run.status, kExitIncomplete) << run.err;
    const std::string root = damaged + ":/";
    EXPECT_EQ(run.err, "kesp-scan: " + root +
                           "A/B/UP/ : dossier illisible (dossier déjà parcouru "
                           "(clusters partagés))\nkesp-scan: " +
                           root +
                           "A/TWIN/ : dossier illisible (dossier déjà parcouru (clusters "
                           "partagés))\n");
    EXPECT_NE(run.out.find(" Taille totale utile  : 100 octets"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("2 dossier(s) illisible(s)"), std::string::npos);
}

TEST(KespScanDamagedImage, NoResultFileMayReplaceTheImageOrAnother) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    auto image = FatImage::create(labelledFat(12, 4, "KEEP", "0000BBBB", 4 << 20), error);
    ASSERT_TRUE(image) << error;
    const std::string img = image->imagePath();
    const std::string before = bytesOf(img);
    for (const char* option : {"--report", "--table", "--plan-table"}) {
        const ScanResult run = scan({option, img, img});
        EXPECT_EQ(run.status, kExitFailed) << option;
        EXPECT_NE(run.err.find("désigne l'image analysée"), std::string::npos) << run.err;
    }
    EXPECT_EQ(bytesOf(img), before);
    const std::string plan = img + ".plan";
    const ScanResult twice = scan({"--report", plan, "--plan-table", plan, img});
    EXPECT_EQ(twice.status, kExitFailed);
    EXPECT_EQ(twice.err, "kesp-scan: --report et --plan-table désignent le même fichier\n");
    // A destination that cannot be written is found before the walk, not after it.
    const ScanResult missing = scan({"--plan-table", img + ".nowhere/plan.txt", img});
    EXPECT_EQ(missing.status, kExitFailed);
    EXPECT_EQ(missing.out, "");
}

} // namespace
} // namespace kesp::test
