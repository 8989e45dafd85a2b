// kesp-scan on exFAT: images read without a mount and an exfat-fuse mount, filled through
// exfat-fuse on a loop device. Truth: the source tree's sizes, and dump.exfat's free clusters
// before and after the copy, which count every cluster the files and folders took.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/kesp_scan.h"
#include "cli/volume_options.h"
#include "fat/exfat_entry_set.h"
#include "support/exfat_image.h"
#include "support/temp_dir.h"

namespace kesp::test {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t MiB = 1 << 20;

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

// Digits grouped by three with `separator`.
std::string grouped(std::uint64_t value, char separator) {
    std::string digits = std::to_string(value);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(std::size_t(at), 1, separator);
    return digits;
}

// A card's worth of awkward names: accents, a surrogate pair, 15, 16 and 255 UTF-16 units, a
// folder that outgrows its first cluster, empty files and an empty folder.
std::uint64_t makeTree(const TempDir& tree) {
    std::uint64_t useful = 0;
    const auto file = [&](const std::string& path, std::size_t size) {
        tree.file(path, size);
        useful += size;
    };
    file("DCIM/100CANON/IMG_0001.JPG", 2500000);
    file("DCIM/100CANON/IMG_0002.JPG", 4096);
    file("Été 2024/vidéo à revoir.mp4", 70001);
    file("\xF0\x9F\x98\x80 sourire.txt", 33);
    file(std::string(15, 'q'), 1);
    file(std::string(16, 'r'), 0);
    file("noms/" + std::string(255, 'L'), 12);
    for (int i = 0; i < 300; ++i)
        file("trois cents/fichier numéro " + std::to_string(i) + ".txt", std::size_t(i) * 37);
    tree.folder("dossier vide");
    return useful;
}

// The totals' lines and the what-if row of `cluster`.
struct Printed {
    std::string useful, real, whatIfRow;
};

Printed printed(const std::string& out, std::uint32_t cluster) {
    Printed p;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(" Taille totale utile  : ")) p.useful = line;
        if (line.starts_with(" Taille totale réelle : ")) p.real = line;
        const auto tab = line.find('\t');
        if (tab != std::string::npos &&
            line.substr(tab + 1).starts_with(std::to_string(cluster) + "\t"))
            p.whatIfRow = line;
    }
    return p;
}

class KespScanExfat : public ::testing::Test {
protected:
    void SetUp() override {
        KESP_REQUIRE_EXFAT_TOOLS(true);
        useful = makeTree(tree);
    }
    // An image of `clusterBytes` with the tree copied in; the clusters the copy took.
    std::unique_ptr<ExfatImage> filled(std::uint32_t clusterBytes, std::uint64_t& taken) {
        std::string error;
        auto image = ExfatImage::create(64 * MiB, clusterBytes, "CARTE", error);
        EXPECT_TRUE(image) << error;
        if (!image) return nullptr;
        const auto fresh = dumpExfat(image->imagePath());
        EXPECT_TRUE(image->copyIn(tree.path(), error)) << error;
        const auto after = dumpExfat(image->imagePath());
        EXPECT_TRUE(fresh && after);
        if (!fresh || !after) return nullptr;
        taken = fresh->freeClusters - after->freeClusters;
        return image;
    }

    TempDir tree;
    std::uint64_t useful = 0;
};

// The walk's real size is every cluster the tree took; the what-if table is exFAT's, and its
// row at another cluster size is what a volume of that size really gives the same tree.
TEST_F(KespScanExfat, TotalsAndWhatIfAreWhatTheVolumesTook) {
    std::uint64_t taken4k = 0, taken32k = 0;
    auto small = filled(4096, taken4k);
    auto large = filled(32768, taken32k);
    ASSERT_TRUE(small && large);
    const std::string img = small->imagePath();

    const ScanResult run = scan({"--what-if", img});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), img + ":/ CARTE");
    EXPECT_NE(run.out.find("\n" + img + " [CARTE] 64 Mo\n"), std::string::npos) << run.out;
    const std::uint64_t real = taken4k * 4096;
    const Printed at4k = printed(run.out, 4096);
    EXPECT_EQ(at4k.useful, " Taille totale utile  : " + grouped(useful, ',') + " octets");
    EXPECT_EQ(at4k.real, " Taille totale réelle : " + grouped(real, ',') + " octets");
    EXPECT_NE(run.out.find("Taille de la partition\tTaille d'un Cluster\tTaille utile\tTaille "
                           "réelle\tEspace perdu\n7 Mo -> 256 Mo\t4096\t"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(at4k.whatIfRow, "7 Mo -> 256 Mo\t4096\t" + grouped(useful, ' ') + "\t" +
                                  grouped(real, ' ') + "\t" + grouped(real - useful, ' ') + "\t*");
    EXPECT_EQ(printed(run.out, 32768).whatIfRow, "256 Mo -> 32 Go\t32768\t" + grouped(useful, ' ') +
                                                     "\t" + grouped(taken32k * 32768, ' ') + "\t" +
                                                     grouped(taken32k * 32768 - useful, ' '));
    EXPECT_NE(run.out.find("\n\t1048576\t"), std::string::npos) << "nine rows, to 1 MiB";

    // The same through the larger volume, whose own row is marked.
    const ScanResult other = scan({"--what-if", large->imagePath() + ":/"});
    ASSERT_EQ(other.status, kExitDone) << other.err;
    EXPECT_EQ(printed(other.out, 32768).real,
              " Taille totale réelle : " + grouped(taken32k * 32768, ',') + " octets");
    EXPECT_TRUE(printed(other.out, 32768).whatIfRow.ends_with("\t*"));
    EXPECT_EQ(printed(other.out, 4096).whatIfRow,
              at4k.whatIfRow.substr(0, at4k.whatIfRow.size() - 2));
}

TEST_F(KespScanExfat, VolumeInfoPartitionsAndPlanNameExfat) {
    std::uint64_t taken = 0;
    auto image = filled(4096, taken);
    ASSERT_TRUE(image);
    const std::string img = image->imagePath();
    const auto facts = dumpExfat(img);
    ASSERT_TRUE(facts);

    ScanResult run = scan({"--volume-info", img});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    char serial[9];
    std::snprintf(serial, sizeof serial, "%X", facts->serial);
    EXPECT_EQ(run.out.substr(0, run.out.find("\nCasse")),
              "Nom du Volume = CARTE\nNuméro de série = " + std::string(serial) +
                  "\nType de partition = exFAT\nLongueur maximum de nom de fichier = 255");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 16) << "nothing to remark";

    run = scan({"--partitions", img});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    EXPECT_EQ(run.out, "0\t0\t" + std::to_string(64 * MiB) + "\t\texFAT\tCARTE\n");

    // The plan is for the volume's own size without being told, exFAT rows in it (their "Libre"
    // against dump.exfat is the plan's own test).
    const std::string table = tree / "plan.txt";
    run = scan({"--plan", "--plan-table", table, img});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    EXPECT_NE(run.out.find("Plan de formatage pour un volume de " + std::to_string(64 * MiB)),
              std::string::npos);
    std::ifstream in(table, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(written.find("\r\nexFAT\t4096\t" + std::to_string(facts->clusterCount) + "\t2048\t"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("\r\nPour un appareil qui lit l'exFAT : exFAT, "), std::string::npos);
}

// The byte offset of `name`'s entry set: its single File Name entry holds the name in UTF-16.
std::size_t setOf(const std::string& bytes, const std::u16string& name) {
    std::string pattern;
    for (char16_t c : name) {
        pattern += char(c & 0xFF);
        pattern += char(c >> 8);
    }
    const auto at = bytes.find(pattern);
    return at == std::string::npos ? at : at - 2 - 64;
}

void reseal(std::string& bytes, std::size_t set) {
    const auto span = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()) + set, 96);
    const std::uint16_t sum = fat::exfatSetChecksum(span);
    bytes[set + 2] = char(sum & 0xFF);
    bytes[set + 3] = char(sum >> 8);
}

// Damage is named and the run says it is partial (status 3); a length no volume of this size
// holds never reaches a total.
TEST_F(KespScanExfat, DamagedEntriesAreNamedNeverCounted) {
    tree.file("Été 2024/énorme.bin", 1000);
    tree.file("DCIM/abîmé.txt", 10);
    std::uint64_t taken = 0;
    auto image = filled(4096, taken);
    ASSERT_TRUE(image);
    std::ifstream in(image->imagePath(), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::size_t huge = setOf(bytes, u"énorme.bin");
    const std::size_t broken = setOf(bytes, u"abîmé.txt");
    ASSERT_NE(huge, std::string::npos);
    ASSERT_NE(broken, std::string::npos);
    for (int i = 0; i < 8; ++i) // DataLength: 1 TiB, its set made to check out again
        bytes[huge + 32 + 24 + i] = char((std::uint64_t{1} << 40) >> (8 * i));
    reseal(bytes, huge);
    bytes[broken + 64 + 2] ^= 1; // a letter of the name: the checksum no longer holds
    const std::string damaged = image->imagePath() + ".abime";
    std::ofstream(damaged, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));

    const ScanResult run = scan({damaged});
    EXPECT_EQ(run.status, kExitIncomplete) << run.err;
    EXPECT_NE(run.err.find("kesp-scan: " + damaged +
                           ":/Été 2024/ : dossier illisible (« énorme.bin » : 1099511627776 "
                           "octets, plus que le volume n'en contient (entrée "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("kesp-scan: " + damaged +
                           ":/DCIM/ : dossier illisible (somme de contrôle du jeu d'entrées "
                           "fausse (entrée "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("2 dossier(s) illisible(s)"), std::string::npos) << run.out;
    EXPECT_EQ(printed(run.out, 4096).useful,
              " Taille totale utile  : " + grouped(useful, ',') + " octets");

    // The main boot region broken: the backup one is read, and the report says so.
    bytes[120] ^= 0x55;
    std::ofstream(damaged, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    const ScanResult info = scan({"--volume-info", damaged});
    ASSERT_EQ(info.status, kExitDone) << info.err;
    EXPECT_NE(info.out.find("\nRemarque = somme de contrôle de la région de démarrage exFAT "
                            "fausse : copie de secours de la région de démarrage utilisée\n"),
              std::string::npos)
        << info.out;
    // Both broken: no volume.
    bytes[12 * 512 + 120] ^= 0x55;
    std::ofstream(damaged, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    const ScanResult none = scan({damaged});
    EXPECT_EQ(none.status, kExitRefused);
    EXPECT_EQ(none.err, "kesp-scan: " + damaged +
                            " : somme de contrôle de la région de démarrage exFAT fausse\n");
}

// exfat-fuse shows as "fuseblk": the gate reads the boot sector behind it, without being told.
TEST_F(KespScanExfat, MountedVolumeIsScannedWithItsOwnClusterSize) {
    std::uint64_t taken = 0;
    auto image = filled(16384, taken);
    ASSERT_TRUE(image);
    const auto facts = dumpExfat(image->imagePath());
    ASSERT_TRUE(facts);
    std::string error;
    ASSERT_TRUE(image->mount(error)) << error;
    const std::string point = image->mountPoint();
    const ScanResult run = scan({"--what-if", point});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), point + "/ CARTE");
    const Printed p = printed(run.out, 16384);
    EXPECT_EQ(p.real, " Taille totale réelle : " + grouped(taken * 16384, ',') + " octets");
    EXPECT_TRUE(p.whatIfRow.ends_with("\t*")) << "[" << p.whatIfRow << "]";

    const ScanResult info = scan({"--volume-info", point});
    ASSERT_EQ(info.status, kExitDone) << info.err;
    char serial[9];
    std::snprintf(serial, sizeof serial, "%X", facts->serial);
    EXPECT_EQ(info.out.substr(0, info.out.find("\nLongueur")),
              "Nom du Volume = CARTE\nNuméro de série = " + std::string(serial) +
                  "\nType de partition = exFAT");
}

} // namespace
} // namespace kesp::test
