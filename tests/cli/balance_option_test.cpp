// kesp-scan --balance and --balance-table on card images made with mkfs.fat and mcopy, then
// damaged in place: every figure that fsck.fat -n and minfo also give must be theirs, and the
// total the volume's size to the byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>

#include "cli/kesp_scan.h"
#include "support/exfat_damage.h"
#include "support/exfat_image.h"
#include "support/fat_damage.h"
#include "support/fat_image.h"
#include "support/temp_dir.h"
#include "system_scan.h"

namespace kesp::test {
namespace {

// The table file, read back: every line ended by CR LF, the head line first.
struct Sheet {
    std::vector<std::string> labels;
    std::map<std::string, std::string> clusters; // as written: empty for parts in bytes only
    std::map<std::string, std::uint64_t> bytes;
    std::vector<std::string> notes; // after the total
    std::uint64_t totalClusters = 0;
    std::uint64_t totalBytes = 0;

    std::uint64_t count(const std::string& label) const { return std::stoull(clusters.at(label)); }
};

std::optional<Sheet> readSheet(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const auto end = text.find("\r\n", at);
        if (end == std::string::npos) return std::nullopt; // a line without its CR LF
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    if (lines.empty() || lines[0] != "Poste\tClusters\tOctets") return std::nullopt;
    Sheet sheet;
    bool total = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (total) {
            sheet.notes.push_back(lines[i]);
            continue;
        }
        const auto tab1 = lines[i].find('\t');
        const auto tab2 = lines[i].find('\t', tab1 + 1);
        if (tab2 == std::string::npos) return std::nullopt;
        const std::string label = lines[i].substr(0, tab1);
        const std::string clusters = lines[i].substr(tab1 + 1, tab2 - tab1 - 1);
        const std::uint64_t bytes = std::stoull(lines[i].substr(tab2 + 1));
        if (label == "Total") {
            total = true;
            sheet.totalClusters = std::stoull(clusters);
            sheet.totalBytes = bytes;
            continue;
        }
        sheet.labels.push_back(label);
        sheet.clusters[label] = clusters;
        sheet.bytes[label] = bytes;
    }
    return sheet;
}

class KespScanBalance : public ::testing::Test {
protected:
    void SetUp() override { KESP_REQUIRE_FAT_TOOLS(false); }

    void make(const FatImageLayout& layout, const std::vector<std::pair<std::string, int>>& files) {
        std::string error;
        image = FatImage::create(layout, error);
        ASSERT_TRUE(image) << error;
        for (const auto& [path, size] : files)
            ASSERT_TRUE(image->addFile(path, size, error)) << error;
        auto opened = FatDamage::open(image->imagePath());
        ASSERT_TRUE(opened);
        damage.emplace(*opened);
        table = image->imagePath() + ".bilan.txt";
    }

    // Runs --balance and --balance-table on the damaged image; the sheet it wrote.
    Sheet balance() {
        EXPECT_TRUE(damage->save());
        run = scan({"--balance", "--balance-table", table, image->imagePath()});
        EXPECT_EQ(run.status, kExitDone) << run.err;
        const auto sheet = readSheet(table);
        EXPECT_TRUE(sheet) << "no well-formed table in " << table;
        // Printed after the totals.
        const auto totals = run.out.find("Taille totale réelle");
        const auto sheetAt = run.out.find("Bilan du volume (");
        EXPECT_NE(sheetAt, std::string::npos) << run.out;
        EXPECT_LT(totals, sheetAt) << run.out;
        return sheet.value_or(Sheet{});
    }

    // The parts minfo knows, and the whole: the volume's size, to the byte.
    void expectTheVolume(const Sheet& sheet, const FsckFacts& fsck) {
        const auto facts = image->minfo();
        ASSERT_TRUE(facts);
        const std::uint64_t sector = facts->sectorSize;
        std::vector<std::string> labels = {"Secteurs réservés",
                                           "FAT",
                                           "Répertoire racine fixe",
                                           "Dossiers",
                                           "Données des fichiers",
                                           "Espace perdu",
                                           "Libre",
                                           "Défectueux",
                                           "Perdus",
                                           "Partagés",
                                           "Hors clusters"};
        if (facts->diskType == "FAT32") labels.erase(labels.begin() + 2);
        EXPECT_EQ(sheet.labels, labels);
        EXPECT_EQ(sheet.totalBytes, facts->totalSectors * sector);
        EXPECT_EQ(sheet.totalClusters, fsck.totalClusters);
        EXPECT_EQ(sheet.bytes.at("Secteurs réservés"), facts->reservedSectors * sector);
        EXPECT_EQ(sheet.bytes.at("FAT"),
                  std::uint64_t(facts->fats) * facts->sectorsPerFat * sector);
        if (facts->diskType != "FAT32") {
            EXPECT_EQ(sheet.bytes.at("Répertoire racine fixe"),
                      (facts->rootEntries * 32 + sector - 1) / sector * sector);
        }
        std::uint64_t sum = 0;
        for (const auto& [label, bytes] : sheet.bytes)
            sum += bytes;
        EXPECT_EQ(sum, sheet.totalBytes);
        for (const std::string label : {"Dossiers", "Libre", "Défectueux", "Perdus", "Partagés"})
            EXPECT_EQ(sheet.bytes.at(label), sheet.count(label) * damage->clusterBytes()) << label;
        for (const std::string label :
             {"Secteurs réservés", "FAT", "Données des fichiers", "Espace perdu", "Hors clusters"})
            EXPECT_EQ(sheet.clusters.at(label), "") << label;
    }

    // The files' clusters: what holds their data and their slack.
    std::uint64_t fileClusters(const Sheet& sheet) const {
        return (sheet.bytes.at("Données des fichiers") + sheet.bytes.at("Espace perdu")) /
               damage->clusterBytes();
    }

    std::unique_ptr<FatImage> image;
    std::optional<FatDamage> damage;
    std::string table;
    ScanResult run;
};

TEST_F(KespScanBalance, LostChainsAndALyingFsInfoAsFsckCountsThem) {
    make(labelledFat(32, 1, "CARTE", "1234ABCD", 40 << 20),
         {{"DCIM/IMG_0001.JPG", 3000}, {"DCIM/IMG_0002.JPG", 1500}, {"NOTES.TXT", 600}});
    // A camera that lost power twice mid-write: two chains allocated, never named.
    const auto spare = damage->freeClusters(1000, 5);
    damage->chain({spare[0], spare[1]});
    damage->chain({spare[2], spare[3], spare[4]});
    damage->setFsInfoFree(damage->freeCount() + 123);
    const Sheet sheet = balance();

    const auto fsck = fsckFacts(image->imagePath(), false);
    const auto salvaged = fsckFacts(image->imagePath(), true);
    ASSERT_TRUE(fsck && salvaged);
    expectTheVolume(sheet, *fsck);
    ASSERT_TRUE(fsck->reclaimedClusters) << fsck->output;
    EXPECT_EQ(sheet.count("Perdus"), *fsck->reclaimedClusters);
    EXPECT_EQ(sheet.count("Perdus"), 5u);
    // Salvaged, the lost chains are no longer free: what remains free is the FAT's own count.
    ASSERT_TRUE(salvaged->reclaimedChains && salvaged->reallyFree) << salvaged->output;
    EXPECT_EQ(sheet.count("Libre"), *salvaged->reallyFree);
    ASSERT_GE(sheet.notes.size(), 2u);
    EXPECT_EQ(sheet.notes[0], "Libre selon FSInfo : " + std::to_string(*salvaged->statedFree) +
                                  " clusters — la FAT en compte " +
                                  std::to_string(*salvaged->reallyFree));
    EXPECT_EQ(sheet.notes[1], "Chaînes perdues : " + std::to_string(*salvaged->reclaimedChains) +
                                  " (5 clusters, " + std::to_string(5 * damage->clusterBytes()) +
                                  " octets alloués sans appartenir à aucun fichier ni dossier), "
                                  "premiers clusters : " +
                                  std::to_string(spare[0]) + ", " + std::to_string(spare[2]));
    EXPECT_EQ(sheet.notes.size(), 2u);
    // Nothing else is used: the root, DCIM and the files' clusters, and salvaged, the chains.
    EXPECT_EQ(sheet.count("Dossiers") + fileClusters(sheet), fsck->usedClusters);
    EXPECT_EQ(sheet.count("Dossiers") + fileClusters(sheet) + sheet.count("Perdus"),
              salvaged->usedClusters);
    EXPECT_EQ(sheet.bytes.at("Données des fichiers"), 3000u + 1500u + 600u);
}

TEST_F(KespScanBalance, BadClustersAreTheirOwnPart) {
    make(labelledFat(16, 4, "CARTE", "0BADF00D", 20 << 20),
         {{"A.BIN", 5000}, {"SUB/B.BIN", 1}, {"SUB/C.BIN", 4096}});
    for (const std::uint32_t c : damage->freeClusters(500, 3))
        damage->setFat(c, damage->badMark());
    const Sheet sheet = balance();

    const auto fsck = fsckFacts(image->imagePath(), false);
    ASSERT_TRUE(fsck);
    expectTheVolume(sheet, *fsck);
    EXPECT_EQ(sheet.count("Défectueux"), 3u);
    // fsck.fat counts bad clusters as used and nothing else as lost.
    EXPECT_FALSE(fsck->reclaimedClusters) << fsck->output;
    EXPECT_EQ(sheet.count("Dossiers") + fileClusters(sheet) + sheet.count("Défectueux"),
              fsck->usedClusters);
    EXPECT_EQ(sheet.count("Libre"), fsck->totalClusters - fsck->usedClusters);
    EXPECT_TRUE(sheet.notes.empty()) << sheet.notes.front();
    EXPECT_NE(run.out.find("Constats : aucun\n"), std::string::npos) << run.out;
}

TEST_F(KespScanBalance, TwoFilesSharingClustersNameTheOneFsckTruncates) {
    make(labelledFat(32, 1, "CARTE", "1234ABCD", 40 << 20), {{"A.BIN", 3000}, {"B.BIN", 1500}});
    const auto a = damage->chainOf(damage->firstCluster(damage->entry("A       BIN")));
    const auto b = damage->chainOf(damage->firstCluster(damage->entry("B       BIN")));
    ASSERT_EQ(a.size(), 6u);
    ASSERT_EQ(b.size(), 3u);
    // B's second cluster now leads into A's fifth: both end on A's last two.
    damage->setFat(b[1], a[4]);
    damage->setFat(b[2], 0);
    const Sheet sheet = balance();

    const auto fsck = fsckFacts(image->imagePath(), true);
    ASSERT_TRUE(fsck);
    expectTheVolume(sheet, *fsck);
    EXPECT_NE(fsck->output.find("/A.BIN  and\n/B.BIN\n  share clusters."), std::string::npos)
        << fsck->output;
    EXPECT_NE(fsck->output.find("/B.BIN\n  File size is 1500 bytes, cluster chain length is "
                                "1024 bytes."),
              std::string::npos)
        << fsck->output;
    EXPECT_EQ(sheet.count("Partagés"), 2u);
    ASSERT_TRUE(fsck->reallyFree) << fsck->output;
    EXPECT_EQ(sheet.count("Libre"), *fsck->reallyFree);
    ASSERT_FALSE(sheet.notes.empty());
    EXPECT_TRUE(sheet.notes[0].starts_with("Libre selon FSInfo : ")) << "B's last cluster freed";
    const std::vector<std::string> chains(sheet.notes.begin() + 1, sheet.notes.end());
    EXPECT_EQ(chains,
              (std::vector<std::string>{
                  "/B.BIN : clusters partagés avec un autre fichier ou dossier, à partir du "
                  "cluster " +
                      std::to_string(a[4]),
                  "/B.BIN : fichier tronqué — 1500 octets annoncés, sa chaîne n'en tient que 1024 "
                  "(2 clusters)"}));
    // Each cluster once: A's six, B's own two, the root's one.
    EXPECT_EQ(sheet.count("Dossiers") + fileClusters(sheet) + sheet.count("Partagés"), 1u + 8u);
}

TEST_F(KespScanBalance, ChainsTooLongAndTooShortAsFsckMeasuresThem) {
    make(labelledFat(12, 1, "PETITE", "CAFE0012", 2 << 20), {{"B.BIN", 1500}, {"DCIM/C.TXT", 600}});
    const std::uint32_t k = damage->clusterBytes();
    const auto b = damage->chainOf(damage->firstCluster(damage->entry("B       BIN")));
    const auto spare = damage->freeClusters(b.back() + 100, 2);
    damage->chain({b.back(), spare[0], spare[1]});
    damage->setSize(damage->entry("C       TXT"), 5000);
    const Sheet sheet = balance();

    const auto fsck = fsckFacts(image->imagePath(), false);
    ASSERT_TRUE(fsck);
    expectTheVolume(sheet, *fsck);
    // fsck.fat frees the excess, it does not call it lost.
    EXPECT_FALSE(fsck->reclaimedClusters) << fsck->output;
    EXPECT_EQ(sheet.count("Perdus"), 0u);
    std::smatch m;
    const std::regex tooLong(
        R"(/B\.BIN\n  File size is 1500 bytes, cluster chain length is > (\d+) bytes)");
    ASSERT_TRUE(std::regex_search(fsck->output, m, tooLong)) << fsck->output;
    const std::uint64_t needed = std::stoull(m[1]) / k;
    const std::regex tooShort(
        R"(/DCIM/C\.TXT\n  File size is 5000 bytes, cluster chain length is (\d+) bytes)");
    ASSERT_TRUE(std::regex_search(fsck->output, m, tooShort)) << fsck->output;
    EXPECT_EQ(
        sheet.notes,
        (std::vector<std::string>{
            "/B.BIN : chaîne de " + std::to_string(needed + 2) +
                " clusters pour 1500 "
                "octets — 2 clusters en trop",
            "/DCIM/C.TXT : fichier tronqué — 5000 octets annoncés, sa chaîne n'en tient "
            "que " +
                std::string(m[1]) + " (" + std::to_string(std::stoull(m[1]) / k) + " clusters)"}));
    // B's slack takes its excess; C's data is what its chain holds.
    EXPECT_EQ(sheet.bytes.at("Données des fichiers"), 1500u + std::stoull(m[1]));
    EXPECT_EQ(fileClusters(sheet), needed + 2 + std::stoull(m[1]) / k);
}

TEST_F(KespScanBalance, RefusedBeforeTheWalkWhenItCannotCoverTheVolume) {
    make(labelledFat(16, 4, "CARTE", "0BADF00D", 20 << 20), {{"DCIM/A.JPG", 10}});
    const std::string img = image->imagePath();
    run = scan({"--balance-table", table, img + ":/DCIM"});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, "kesp-scan: Bilan du volume impossible : " + img +
                           ":/DCIM n'est pas la racine de son volume.\n");
    EXPECT_EQ(run.out, "") << "no scan";

    const std::string host = std::filesystem::path(img).parent_path().string();
    run = scan({"--balance", "--cluster-size", "512", host});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, "kesp-scan: Bilan du volume impossible : " + host +
                           " n'est pas sur une image disque ni sur un périphérique lu "
                           "directement.\n");
    EXPECT_FALSE(std::filesystem::exists(table));
}

TEST_F(KespScanBalance, AFolderLeftUnreadGivesNoSheet) {
    make(labelledFat(16, 4, "CARTE", "0BADF00D", 20 << 20), {{"A.BIN", 10}, {"DCIM/B.JPG", 10}});
    // DCIM's only cluster marked free: its listing stops there.
    damage->setFat(damage->firstCluster(damage->entry("DCIM       ")), 0);
    ASSERT_TRUE(damage->save());
    run = scan({"--balance", "--balance-table", table, image->imagePath()});
    EXPECT_EQ(run.status, kExitIncomplete);
    EXPECT_NE(run.out.find("Taille totale réelle"), std::string::npos) << "the totals stand";
    EXPECT_EQ(run.out.find("Bilan du volume"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("kesp-scan: Bilan du volume impossible : 1 dossier n'a pas pu être "
                           "lu en entier.\n"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(table));
}

// exFAT: the bitmap alone says what is in use. Bits set for clusters no file holds, in two runs,
// and a cluster marked bad; exfatprogs' dump.exfat counts the bitmap's free clusters and says
// where the volume's parts lie.
TEST(KespScanBalanceExfat, TheBitmapReadAgainstTheWalkAsDumpExfatCountsIt) {
    KESP_REQUIRE_EXFAT_TOOLS(true);
    TempDir tree;
    tree.file("DCIM/100CANON/IMG_0001.JPG", 100000);
    tree.file("DCIM/100CANON/IMG_0002.JPG", 5000);
    tree.file("Notes.txt", 10);
    std::string error;
    auto image = ExfatImage::create(64u << 20, 4096, "CARTE", error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->copyIn(tree.path(), error)) << error;
    const auto before = dumpExfat(image->imagePath());
    ASSERT_TRUE(before);
    const std::uint64_t k = before->clusterBytes;
    ASSERT_EQ(k, 4096u);

    // Clusters near the end, left free by a copy of 105 KB.
    const auto last = static_cast<std::uint32_t>(before->clusterCount + 1);
    const std::vector<std::uint32_t> lost{last - 9, last - 8, last - 5};
    const std::uint32_t bad = last - 7;
    {
        std::fstream img(image->imagePath(), std::ios::binary | std::ios::in | std::ios::out);
        const auto setBit = [&](std::uint32_t cluster) {
            const std::uint64_t at =
                before->heapOffset * 512 + (before->bitmapCluster - 2) * k + (cluster - 2) / 8;
            img.seekg(std::streamoff(at));
            char byte = 0;
            img.read(&byte, 1);
            byte = char(byte | (1 << ((cluster - 2) % 8)));
            img.seekp(std::streamoff(at));
            img.write(&byte, 1);
        };
        for (const std::uint32_t c : lost)
            setBit(c);
        setBit(bad);
        const char badMark[4] = {char(0xF7), char(0xFF), char(0xFF), char(0xFF)};
        img.seekp(std::streamoff(before->fatOffset * 512 + std::uint64_t(bad) * 4));
        img.write(badMark, 4);
        ASSERT_TRUE(img.good());
    }
    const auto after = dumpExfat(image->imagePath());
    ASSERT_TRUE(after);
    ASSERT_EQ(after->freeClusters + 4, before->freeClusters);

    const std::string table = image->imagePath() + ".bilan.txt";
    const ScanResult run = scan({"--balance-table", table, image->imagePath()});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    const auto sheet = readSheet(table);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->labels, (std::vector<std::string>{
                                 "Secteurs réservés", "FAT", "Bitmap et table des majuscules",
                                 "Dossiers", "Données des fichiers", "Espace perdu", "Libre",
                                 "Défectueux", "Perdus", "Partagés", "Hors clusters"}));
    EXPECT_EQ(sheet->totalBytes, after->volumeSectors * 512);
    EXPECT_EQ(sheet->totalClusters, after->clusterCount);
    EXPECT_EQ(sheet->bytes.at("FAT"), after->fatLength * 512);
    EXPECT_EQ(sheet->bytes.at("Secteurs réservés"),
              after->heapOffset * 512 - after->fatLength * 512);
    EXPECT_EQ(sheet->count("Bitmap et table des majuscules"),
              (after->bitmapBytes + k - 1) / k + (after->upcaseBytes + k - 1) / k);
    EXPECT_EQ(sheet->count("Libre"), after->freeClusters);
    EXPECT_EQ(sheet->count("Perdus"), 3u);
    EXPECT_EQ(sheet->count("Défectueux"), 1u);
    EXPECT_EQ(sheet->count("Partagés"), 0u);
    // The root, DCIM and 100CANON, a cluster each; the files' data whole.
    EXPECT_EQ(sheet->count("Dossiers"), 3u);
    EXPECT_EQ(sheet->bytes.at("Données des fichiers"), 100000u + 5000u + 10u);
    EXPECT_EQ(sheet->bytes.at("Données des fichiers") + sheet->bytes.at("Espace perdu"),
              (25u + 2u + 1u) * k);
    EXPECT_EQ(sheet->notes,
              (std::vector<std::string>{
                  "Clusters perdus : 3 (" + std::to_string(3 * k) +
                  " octets alloués dans le bitmap sans appartenir à aucun fichier ni dossier), en "
                  "2 plages, premier cluster de chacune : " +
                  std::to_string(lost[0]) + ", " + std::to_string(lost[2])}));
}

// exFAT damaged by a writer that keeps its checksums right: a picture's entry pointed at the
// clusters of one listed before it (its own run stays allocated, claimed by nothing), and a
// note's length grown past its run into clusters the bitmap calls free.
TEST(KespScanBalanceExfat, ACrossLinkAndARunPastItsAllocation) {
    KESP_REQUIRE_EXFAT_TOOLS(true);
    constexpr std::uint64_t k = 4096;
    std::string error;
    auto image = ExfatImage::create(64u << 20, k, "CARTE", error);
    ASSERT_TRUE(image) << error;
    // Copied one at a time: the root lists the first picture before DCIM, and the note's run is
    // the volume's last, with free clusters after it.
    const std::vector<std::pair<std::string, std::size_t>> files{
        {"IMG_0001.JPG", 20000}, {"DCIM/IMG_0002.JPG", 9000}, {"DCIM/Notes.txt", 10}};
    for (const auto& [path, size] : files) {
        TempDir source;
        source.file(path, size);
        ASSERT_TRUE(image->copyIn(source.path(), error)) << error;
    }

    std::ifstream in(image->imagePath(), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::size_t one = exfatSetOf(bytes, u"IMG_0001.JPG");
    const std::size_t two = exfatSetOf(bytes, u"IMG_0002.JPG");
    const std::size_t notes = exfatSetOf(bytes, u"Notes.txt");
    ASSERT_NE(one, std::string::npos);
    ASSERT_NE(two, std::string::npos);
    ASSERT_NE(notes, std::string::npos);
    const std::uint64_t shared = exfatField(bytes, one + kExfatFirstCluster, 4);
    const std::uint64_t orphan = exfatField(bytes, two + kExfatFirstCluster, 4);
    setExfatField(bytes, two + kExfatFirstCluster, 4, shared);
    resealExfatSet(bytes, two);
    setExfatField(bytes, notes + kExfatDataLength, 8, 3 * k);
    resealExfatSet(bytes, notes);
    const std::string damaged = image->imagePath() + ".abime";
    std::ofstream(damaged, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    // The bitmap is as the copy left it.
    const auto facts = dumpExfat(damaged);
    ASSERT_TRUE(facts);

    const std::string table = damaged + ".bilan.txt";
    const ScanResult run = scan({"--balance-table", table, damaged});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    const auto sheet = readSheet(table);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->totalBytes, facts->volumeSectors * 512);
    EXPECT_EQ(sheet->totalClusters, facts->clusterCount);
    EXPECT_EQ(sheet->count("Partagés"), 3u) << "the second picture's three clusters";
    EXPECT_EQ(sheet->count("Perdus"), 3u) << "its own run, left allocated";
    EXPECT_EQ(sheet->count("Libre"), facts->freeClusters - 2) << "the two the note now holds";
    EXPECT_EQ(sheet->count("Dossiers"), 2u);
    // Each cluster once: the first picture's five and the note's three, less the three shared.
    EXPECT_EQ(sheet->bytes.at("Données des fichiers") + sheet->bytes.at("Espace perdu"), 5 * k);
    EXPECT_EQ(sheet->notes,
              (std::vector<std::string>{
                  "Clusters perdus : 3 (" + std::to_string(3 * k) +
                      " octets alloués dans le bitmap sans appartenir à aucun fichier ni "
                      "dossier), en 1 plage, premier cluster : " +
                      std::to_string(orphan),
                  "2 clusters occupés par des fichiers ou des dossiers sont libres selon le "
                  "bitmap d'allocation",
                  "/DCIM/IMG_0002.JPG : clusters partagés avec un autre fichier ou dossier, à "
                  "partir du cluster " +
                      std::to_string(shared)}));
}

} // namespace
} // namespace kesp::test
