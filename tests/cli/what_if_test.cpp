// kesp-scan --what-if: the optimisation table after the run's lines, FAT's, FAT32's or exFAT's.
#include "scan_harness.h"

namespace kesp::test {
namespace {

// The rows of the FAT and the FAT32 tables for one 1-byte file.
const std::vector<std::string> kFatRows = {
    "0    ->  128 Mo\t2048\t1\t2 048\t2 047", "129  ->  256 Mo\t4096\t1\t4 096\t4 095",
    "257  ->  512 Mo\t8192\t1\t8 192\t8 191", "513  -> 1024 Mo\t16384\t1\t16 384\t16 383",
    "1025 -> 2048 Mo\t32768\t1\t32 768\t32 767"};
const std::vector<std::string> kFat32Rows = {
    "0    ->    8 Go\t4096\t1\t4 096\t4 095", "8    ->   16 Go\t8192\t1\t8 192\t8 191",
    "16   ->   32 Go\t16384\t1\t16 384\t16 383", "32   ->  128 Go\t32768\t1\t32 768\t32 767"};

// The table with its titles and the row of index `starred` marked (-1: none).
std::string table(const std::vector<std::string>& rows, int starred) {
    std::string text =
        "Taille de la partition\tTaille d'un Cluster\tTaille utile\tTaille réelle\tEspace perdu\n";
    for (int i = 0; i < int(rows.size()); ++i)
        text += rows[std::size_t(i)] + (i == starred ? "\t*\n" : "\n");
    return text;
}

// One 1-byte file in a folder without sub-folders.
class WhatIf : public ScanHarness {
protected:
    WhatIf() { dir.file("scan/a", 1); }

    // The run's own lines, without the table.
    std::string plain(std::vector<std::string> args) {
        EXPECT_EQ(run(args), kExitDone) << err;
        return out;
    }
};

TEST_F(WhatIf, FatVolumeGetsTheFatTableWithItsClusterStarred) {
    volumes.add(dir.path(), "FAT", "KESP").sectorsPerCluster = 8; // 4096-byte clusters
    const std::string before = plain({dir / "scan"});
    ASSERT_EQ(run({"--what-if", dir / "scan"}), kExitDone) << err;
    EXPECT_EQ(out, before + table(kFatRows, 1));
}

TEST_F(WhatIf, Fat32VolumeGetsTheFat32Table) {
    volumes.add(dir.path(), "FAT32", "KESP").sectorsPerCluster = 16; // 8192-byte clusters
    const std::string before = plain({dir / "scan"});
    ASSERT_EQ(run({dir / "scan", "--what-if"}), kExitDone) << err;
    EXPECT_EQ(out, before + table(kFat32Rows, 1));
}

TEST_F(WhatIf, AGivenClusterSizeGetsTheFatTableUnlessFat32IsAsked) {
    volumes.add(dir.path(), "FAT32", "KESP");
    const std::string before = plain({"--cluster-size", "2048", dir / "scan"});
    ASSERT_EQ(run({"--cluster-size", "2048", "--what-if", dir / "scan"}), kExitDone) << err;
    ASSERT_EQ(out.rfind(before, 0), 0u);
    EXPECT_EQ(out.substr(before.size()), table(kFatRows, 0));

    ASSERT_EQ(run({"--cluster-size", "2048", "--fat32", "--what-if", dir / "scan"}), kExitDone)
        << err;
    EXPECT_EQ(out.substr(before.size()), table(kFat32Rows, -1))
        << "2048 is no FAT32 size: nothing is starred";
}

// exFAT's table: nine rows from 4 KiB to 1 MiB, by the volume or by --exfat.
TEST_F(WhatIf, ExfatVolumeGetsItsOwnTable) {
    const std::vector<std::string> rows = {"7 Mo -> 256 Mo\t4096\t1\t4 096\t4 095",
                                           "\t8192\t1\t8 192\t8 191",
                                           "\t16384\t1\t16 384\t16 383",
                                           "256 Mo -> 32 Go\t32768\t1\t32 768\t32 767",
                                           "\t65536\t1\t65 536\t65 535",
                                           "32 Go -> 256 To\t131072\t1\t131 072\t131 071",
                                           "SD 128 -> 512 Go\t262144\t1\t262 144\t262 143",
                                           "SD 512 Go -> 2 To\t524288\t1\t524 288\t524 287",
                                           "\t1048576\t1\t1 048 576\t1 048 575"};
    volumes.add(dir.path(), "exFAT", "CARTE").sectorsPerCluster = 256; // 128 KiB
    const std::string before = plain({dir / "scan"});
    ASSERT_EQ(run({"--what-if", dir / "scan"}), kExitDone) << err;
    EXPECT_EQ(out, before + table(rows, 5));

    const std::string given = plain({"--cluster-size", "16384", dir / "scan"});
    ASSERT_EQ(run({"--cluster-size", "16384", "--exfat", "--what-if", dir / "scan"}), kExitDone)
        << err;
    EXPECT_EQ(out, given + table(rows, 2));
}

TEST_F(WhatIf, Fat32WithoutAClusterSizeIsRefused) {
    volumes.add(dir.path(), "FAT", "KESP");
    EXPECT_EQ(run({"--fat32", "--what-if", dir / "scan"}), kExitFailed);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("--fat32"), std::string::npos) << err;
}

} // namespace
} // namespace kesp::test
