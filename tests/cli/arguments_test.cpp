#include "cli/arguments.h"

#include <gtest/gtest.h>

namespace kesp {
namespace {

TEST(ScanArguments, EveryOption) {
    ScanArguments a;
    EXPECT_EQ(parseScanArguments({"--cluster-size", "2097152", "--no-subfolders", "--detail",
                                  "--report", "r.txt", "--table", "t.txt", "dir"},
                                 a),
              "");
    EXPECT_EQ(a.clusterSize, 2097152); // the largest FAT can have
    EXPECT_FALSE(a.subFolders);
    EXPECT_TRUE(a.detail);
    EXPECT_EQ(a.report, "r.txt");
    EXPECT_EQ(a.table, "t.txt");
    EXPECT_EQ(a.folder, "dir");
}

TEST(ScanArguments, Defaults) {
    ScanArguments a;
    EXPECT_EQ(parseScanArguments({"dir", "--cluster-size", "512"}, a), "");
    EXPECT_TRUE(a.subFolders);
    EXPECT_FALSE(a.detail);
    EXPECT_FALSE(a.report);
    EXPECT_FALSE(a.table);
}

TEST(ScanArguments, FolderAfterDoubleDash) {
    ScanArguments a;
    EXPECT_EQ(parseScanArguments({"--cluster-size", "512", "--", "--detail"}, a), "");
    EXPECT_EQ(a.folder, "--detail");
    EXPECT_FALSE(a.detail);
}

// exFAT's clusters go up to 32 MiB, FAT's to 2 MiB; a plan up to 256 TiB.
TEST(ScanArguments, ExfatClusterSizesAndLargeVolumes) {
    ScanArguments a;
    EXPECT_EQ(parseScanArguments({"--cluster-size", "33554432", "--exfat", "d"}, a), "");
    EXPECT_TRUE(a.exfat);
    EXPECT_EQ(a.clusterSize, 33554432);
    ScanArguments b;
    EXPECT_EQ(parseScanArguments({"--plan", "--volume-size", "281474976710656", "d"}, b), "");
    EXPECT_EQ(b.volumeSize, 281474976710656u);
}

TEST(ScanArguments, Refused) {
    const std::string impossible = "taille de cluster impossible en FAT (puissance de deux de 512 "
                                   "à 2097152 octets attendue) : ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--cluster-size", "0", "d"}, "taille de cluster invalide (entier positif attendu) : 0"},
        {{"--cluster-size", "-4096", "d"},
         "taille de cluster invalide (entier positif attendu) : -4096"},
        {{"--cluster-size", "+4096", "d"},
         "taille de cluster invalide (entier positif attendu) : +4096"},
        {{"--cluster-size", "4k", "d"}, "taille de cluster invalide (entier positif attendu) : 4k"},
        {{"--cluster-size", " 4096", "d"},
         "taille de cluster invalide (entier positif attendu) :  4096"},
        {{"--cluster-size", "2147483648", "d"},
         "taille de cluster invalide (entier positif attendu) : 2147483648"},
        {{"--cluster-size", "", "d"}, "taille de cluster invalide (entier positif attendu) : "},
        {{"--cluster-size", "256", "d"}, impossible + "256"},
        {{"--cluster-size", "4194304", "d"}, impossible + "4194304"},
        {{"--cluster-size", "1000", "d"}, impossible + "1000"},
        {{"--cluster-size", "2147483647", "d"}, impossible + "2147483647"},
        {{"--cluster-size", "4096", ""}, "le nom du dossier à analyser est vide"},
        {{"d", "--cluster-size"}, "--cluster-size attend une taille en octets"},
        {{"--cluster-size", "4096", "--report"}, "--report attend un nom de fichier"},
        {{"--cluster-size", "4096", "--table", "", "d"}, "--table attend un nom de fichier"},
        {{"--cluster-size", "4096", "--verbose", "d"}, "option inconnue : --verbose"},
        {{"--cluster-size", "4096"}, kScanUsage},
        {{"--cluster-size", "4096", "a", "b"}, kScanUsage},
        {{"--plan", "--volume-size", "0", "d"},
         "--volume-size attend une taille en octets (entier positif)"},
        {{"--plan", "--volume-size", "64M", "d"},
         "--volume-size attend une taille en octets (entier positif)"},
        {{"--plan", "--volume-size", "99999999999999999999", "d"},
         "--volume-size attend une taille en octets (entier positif)"},
        {{"--volume-size", "4096", "d"},
         "--volume-size ne s'emploie qu'avec --plan ou --plan-table"},
        {{"--plan-table", "", "d"}, "--plan-table attend un nom de fichier"},
        {{"--plan", "--volume-size", "281474976710657", "d"},
         "--volume-size : au plus 281474976710656 octets (256 Tio), le plus grand volume que le "
         "plan traite"},
        {{"--exfat", "--what-if", "d"}, "--exfat ne s'emploie qu'avec --cluster-size"},
        {{"--cluster-size", "4096", "--fat32", "--exfat", "--what-if", "d"},
         "--fat32 et --exfat s'excluent"},
        {{"--cluster-size", "67108864", "--exfat", "d"},
         "taille de cluster impossible en exFAT (puissance de deux de 512 à 33554432 octets "
         "attendue) : 67108864"},
        {{"--cluster-size", "33554432", "d"}, impossible + "33554432"},
    };
    for (const auto& [args, message] : cases) {
        ScanArguments a;
        EXPECT_EQ(parseScanArguments(args, a), message) << ::testing::PrintToString(args);
    }
}

} // namespace
} // namespace kesp
