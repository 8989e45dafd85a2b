// kesp-scan --what-if: the optimisation table after the run's lines, FAT's or FAT32's.
#include "scan_harness.h"

namespace kesp::test {
namespace {

const std::string kTitres =
    "Taille de la partition\tTaille d'un Cluster\tTaille utile\tTaille réelle\tEspace perdu\n";

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
    EXPECT_EQ(out, before + kTitres +
                       "0    ->  128 Mo\t2048\t1\t2 048\t2 047\n"
                       "129  ->  256 Mo\t4096\t1\t4 096\t4 095\t*\n"
                       "257  ->  512 Mo\t8192\t1\t8 192\t8 191\n"
                       "513  -> 1024 Mo\t16384\t1\t16 384\t16 383\n"
                       "1025 -> 2048 Mo\t32768\t1\t32 768\t32 767\n");
}

TEST_F(WhatIf, Fat32VolumeGetsTheFat32Table) {
    volumes.add(dir.path(), "FAT32", "KESP").sectorsPerCluster = 16; // 8192-byte clusters
    const std::string before = plain({dir / "scan"});
    ASSERT_EQ(run({dir / "scan", "--what-if"}), kExitDone) << err;
    EXPECT_EQ(out, before + kTitres +
                       "0    ->    8 Go\t4096\t1\t4 096\t4 095\n"
                       "8    ->   16 Go\t8192\t1\t8 192\t8 191\t*\n"
                       "16   ->   32 Go\t16384\t1\t16 384\t16 383\n"
                       "32   ->  128 Go\t32768\t1\t32 768\t32 767\n");
}

TEST_F(WhatIf, AGivenClusterSizeGetsTheFatTableUnlessFat32IsAsked) {
    volumes.add(dir.path(), "FAT32", "KESP");
    const std::string before = plain({"--cluster-size", "2048", dir / "scan"});
    ASSERT_EQ(run({"--cluster-size", "2048", "--what-if", dir / "scan"}), kExitDone) << err;
    ASSERT_EQ(out.rfind(before, 0), 0u);
    EXPECT_EQ(out.substr(before.size()), kTitres + "0    ->  128 Mo\t2048\t1\t2 048\t2 047\t*\n"
                                                   "129  ->  256 Mo\t4096\t1\t4 096\t4 095\n"
                                                   "257  ->  512 Mo\t8192\t1\t8 192\t8 191\n"
                                                   "513  -> 1024 Mo\t16384\t1\t16 384\t16 383\n"
                                                   "1025 -> 2048 Mo\t32768\t1\t32 768\t32 767\n");

    ASSERT_EQ(run({"--cluster-size", "2048", "--fat32", "--what-if", dir / "scan"}), kExitDone)
        << err;
    EXPECT_EQ(out.substr(before.size()), kTitres + "0    ->    8 Go\t4096\t1\t4 096\t4 095\n"
                                                   "8    ->   16 Go\t8192\t1\t8 192\t8 191\n"
                                                   "16   ->   32 Go\t16384\t1\t16 384\t16 383\n"
                                                   "32   ->  128 Go\t32768\t1\t32 768\t32 767\n")
        << "2048 is no FAT32 size: nothing is starred";
}

TEST_F(WhatIf, Fat32WithoutAClusterSizeIsRefused) {
    volumes.add(dir.path(), "FAT", "KESP");
    EXPECT_EQ(run({"--fat32", "--what-if", dir / "scan"}), kExitFailed);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("--fat32"), std::string::npos) << err;
}

} // namespace
} // namespace kesp::test
