// The exFAT reader on volumes built in memory: the boot region and its checks, entry sets and
// their checksums, names, allocation rules, and damage that must end a listing with a reason
// instead of a hang or a wrong total.
#include <gtest/gtest.h>

#include "fat/exfat_bitmap.h"
#include "fat/exfat_folder_reader.h"
#include "fat/exfat_memory_volume.h"
#include "fat/exfat_volume.h"
#include "fat/partition_table.h"

namespace kesp::fat {
namespace {

using test::entrySet;
using test::ExfatMemoryVolume;
using test::ExfatShape;
using test::fileSet;
using test::put16;
using test::put32;
using test::SetSpec;

struct Listing {
    std::vector<std::string> names;
    std::vector<ExfatEntry> entries;
    std::optional<std::string> failure;
};

Listing list(ExfatFolderReader reader) {
    Listing out;
    ExfatEntry entry;
    while (reader.next(entry)) {
        out.names.push_back(entry.name);
        out.entries.push_back(entry);
    }
    out.failure = reader.failure();
    return out;
}

std::unique_ptr<ExfatVolume> openVolume(BufferReader& reader) {
    std::string error;
    auto volume = ExfatVolume::open(reader, error);
    EXPECT_TRUE(volume) << error;
    return volume;
}

// A sub-folder of the root at `cluster`, one cluster long and contiguous.
void addFolder(ExfatMemoryVolume& v, std::size_t rootIndex, const std::u16string& name,
               std::uint32_t cluster, std::uint32_t clusters = 1, bool noFatChain = true) {
    v.rootEntry(rootIndex,
                entrySet({name, true, std::uint64_t(clusters) * v.geometry.clusterBytes,
                          std::uint64_t(clusters) * v.geometry.clusterBytes, cluster, noFatChain}));
}

std::string errorOf(std::vector<std::uint8_t> bytes) {
    BufferReader reader(bytes);
    std::string error;
    EXPECT_FALSE(ExfatVolume::open(reader, error));
    return error;
}

// --- Boot region ---------------------------------------------------------------------------

TEST(ExfatBootRegion, FieldsGeometryAndLabelOfAWellFormedVolume) {
    ExfatShape shape;
    shape.clusterShift = 3; // 4 KiB clusters
    shape.volumeFlags = 0x0002;
    ExfatMemoryVolume v(shape);
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    ASSERT_TRUE(volume);
    const ExfatBootSector& boot = volume->boot();
    EXPECT_EQ(boot.clusterBytes(), 4096u);
    EXPECT_EQ(boot.clusterCount, 64u);
    EXPECT_EQ(boot.rootCluster, 4u);
    EXPECT_EQ(boot.serial, 0xC0FFEE42u);
    EXPECT_EQ(boot.percentInUse, 7);
    EXPECT_TRUE(boot.volumeDirty());
    EXPECT_FALSE(boot.mediaFailure());
    EXPECT_EQ(volume->geometry().fatOffset, 24u * 512);
    EXPECT_EQ(volume->geometry().heapOffset, 25u * 512); // 66 entries of 4 bytes: one sector
    EXPECT_EQ(volume->label(), "KESP");
    EXPECT_EQ(volume->bootNote(), "");
    ASSERT_TRUE(volume->rootFacts().bitmaps[0]);
    EXPECT_EQ(volume->rootFacts().bitmaps[0]->firstCluster, 2u);
    ASSERT_TRUE(volume->rootFacts().upcase);
    EXPECT_EQ(volume->rootFacts().upcase->bytes, 5836u);
}

TEST(ExfatBootRegion, ChecksumLeavesOutOnlyTheFlagsAndPercentInUse) {
    ExfatMemoryVolume v{ExfatShape{}};
    const std::span<const std::uint8_t> region(v.bytes.data(), 12 * 512);
    ASSERT_TRUE(exfatBootChecksumHolds(region, 512));
    auto changed = v.bytes;
    changed[106] ^= 0x06; // dirty and media-failure flags: written while mounted
    changed[112] = 55;
    EXPECT_TRUE(exfatBootChecksumHolds(std::span(changed).first(12 * 512), 512));
    for (std::size_t at : {0u, 105u, 108u, 113u, 511u, 600u, 10u * 512 + 3}) {
        changed = v.bytes;
        changed[at] ^= 0x01;
        EXPECT_FALSE(exfatBootChecksumHolds(std::span(changed).first(12 * 512), 512)) << at;
    }
    // One word of the checksum sector that disagrees is enough.
    changed = v.bytes;
    changed[11 * 512 + 508] ^= 0x80;
    EXPECT_FALSE(exfatBootChecksumHolds(std::span(changed).first(12 * 512), 512));
}

TEST(ExfatBootRegion, AbsurdFieldsAreRefusedWithTheirReason) {
    struct Case {
        const char* what;
        std::size_t at;
        std::uint64_t value;
        int width;
        const char* expected;
    } cases[] = {
        {"sector shift 8", 108, 8, 1, "taille de secteur de 256 octets"},
        {"sector shift 13", 108, 13, 1, "taille de secteur de 8192 octets"},
        {"sector shift 200", 108, 200, 1, "taille de secteur de 2^200 octets"},
        {"64 MiB clusters", 109, 17, 1, "taille de cluster de 67108864 octets (32 Mo au plus)"},
        {"cluster shift 255", 109, 255, 1, "taille de cluster de 2^264 octets"},
        {"three FATs", 110, 3, 1, "3 FAT (1 ou 2 attendues)"},
        {"revision 2.0", 105, 2, 1, "révision 2.0"},
        {"FAT in the boot region", 80, 12, 4, "FAT au secteur 12"},
        {"FAT too short", 84, 0, 4, "trop courte pour 64 clusters"},
        {"heap over the FAT", 88, 24, 4, "zone des clusters (secteur 24)"},
        {"more clusters than the volume", 92, 100, 4, "100 clusters annoncés"},
        {"no cluster", 92, 0, 4, "0 clusters"},
        {"volume shorter than its heap", 72, 30, 8, "n'en contient pas autant"},
        {"root past the count", 96, 66, 4, "dossier racine hors du volume (cluster 66)"},
        {"root before the heap", 96, 1, 4, "dossier racine hors du volume (cluster 1)"},
        {"a FAT BPB", 11, 2, 1, "zone réservée non nulle"},
    };
    for (const Case& c : cases) {
        ExfatMemoryVolume v{ExfatShape{}};
        for (int i = 0; i < c.width; ++i)
            v.bytes[c.at + i] = std::uint8_t(c.value >> (8 * i));
        v.sealBootRegion(); // the checksum holds: the field itself must be refused
        const std::string error = errorOf(v.bytes);
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(error.rfind("secteur de démarrage exFAT invalide : ", 0), 0u) << c.what;
    }
}

TEST(ExfatBootRegion, BackupRegionStandsInForADamagedMainOne) {
    ExfatMemoryVolume v{ExfatShape{}};
    v.bytes[100] ^= 0xFF; // the serial, under the checksum
    {
        BufferReader reader(v.bytes);
        auto volume = openVolume(reader);
        ASSERT_TRUE(volume);
        EXPECT_EQ(volume->boot().serial, 0xC0FFEE42u);
        EXPECT_EQ(volume->bootNote(), "somme de contrôle de la région de démarrage exFAT fausse : "
                                      "copie de secours de la région de démarrage utilisée");
    }
    v.bytes[12 * 512 + 100] ^= 0xFF;
    EXPECT_EQ(errorOf(v.bytes), "somme de contrôle de la région de démarrage exFAT fausse");

    std::vector<std::uint8_t> fat(4096, 0);
    fat[510] = 0x55;
    fat[511] = 0xAA;
    EXPECT_EQ(errorOf(fat), "pas de volume exFAT");
    EXPECT_EQ(errorOf(std::vector<std::uint8_t>(100, 0)),
              "image trop courte pour contenir un volume");

    ExfatMemoryVolume truncated{ExfatShape{}};
    truncated.bytes.resize(24 * 512);
    EXPECT_EQ(errorOf(truncated.bytes), "image tronquée : la FAT ou la zone des clusters manque");
}

TEST(ExfatBootRegion, ABareVolumeIsOneWholeDiskPartition) {
    ExfatMemoryVolume v{ExfatShape{}};
    BufferReader reader(v.bytes);
    const auto partitions = readPartitions(reader).partitions;
    ASSERT_EQ(partitions.size(), 1u);
    EXPECT_EQ(partitions[0].number, 0);
    EXPECT_EQ(partitions[0].size, v.bytes.size());
    EXPECT_EQ(fileSystemOf(reader), "exFAT");
}

// --- Entry sets and names ------------------------------------------------------------------

TEST(ExfatEntrySets, NamesOfEveryLengthAndUtf16Oddity) {
    ExfatShape shape;
    shape.clusterCount = 200;
    ExfatMemoryVolume v(shape);
    addFolder(v, 3, u"noms", 10, 4, true);
    const std::u16string name15(15, u'a'), name16 = u"bcdefghijklmnopq";
    std::u16string name255;
    for (int i = 0; i < 255; ++i)
        name255 += char16_t(u'A' + i % 26);
    const std::u16string names[] = {
        name15,
        name16,
        name255,
        u"\xD83D\xDE00 sourire",      // U+1F600 as a surrogate pair
        u"seul \xD83D.txt",           // a high surrogate without its pair
        u"\xDE00 bas",                // a low surrogate alone
        u"caf\u00E9 / th\u00E9",      // a separator no driver accepts
        std::u16string(u"nul\0x", 5), // a NUL unit
    };
    std::size_t index = 0;
    for (const auto& name : names) {
        const auto set = fileSet(name, 100);
        v.folderEntries({10, 11, 12, 13}, index, set);
        index += set.size() / 32;
    }
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    const Listing l = list(ExfatFolderReader::at(*volume, {10, 4 * 512, true}));
    EXPECT_EQ(l.failure, std::nullopt);
    std::string expected255;
    for (char16_t c : name255)
        expected255 += char(c);
    EXPECT_EQ(l.names, (std::vector<std::string>{
                           std::string(15, 'a'), "bcdefghijklmnopq", expected255,
                           "\xF0\x9F\x98\x80 sourire", "seul \xEF\xBF\xBD.txt", "\xEF\xBF\xBD bas",
                           "caf\xC3\xA9 \xEF\xBF\xBD th\xC3\xA9", "nul\xEF\xBF\xBDx"}));
    ASSERT_EQ(l.entries.size(), 8u);
    // 15 units fit one File Name entry, 16 need two, 255 need 17.
    EXPECT_EQ(l.entries[0].setEntries(), 3u);
    EXPECT_EQ(l.entries[1].setEntries(), 4u);
    EXPECT_EQ(l.entries[2].setEntries(), 19u);
    EXPECT_EQ(l.entries[2].nameUnits, 255u);
    EXPECT_EQ(l.entries[3].nameUnits, 10u);
}

TEST(ExfatEntrySets, DeletedAndVolumeEntriesAreNeverFiles) {
    ExfatMemoryVolume v{ExfatShape{}};
    auto deleted = fileSet(u"efface.txt", 10);
    for (std::size_t e = 0; e < deleted.size(); e += 32)
        deleted[e] &= 0x7F; // 0x05, 0x40, 0x41: the whole set deleted
    auto guid = ExfatMemoryVolume::volumeEntry(0xA0, 0, 0);
    auto padding = ExfatMemoryVolume::volumeEntry(0xA1, 0, 0);
    v.rootEntry(3, guid);
    v.rootEntry(4, padding);
    v.rootEntry(5, deleted);
    v.rootEntry(8, fileSet(u"garde.txt", 10));
    // An orphan stream entry: a secondary outside any set.
    const auto orphan = fileSet(u"x", 1);
    v.rootEntry(11, std::span(orphan).subspan(32, 32));
    v.rootEntry(12, fileSet(u"fin.txt", 3));
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    const Listing l = list(ExfatFolderReader::root(*volume));
    EXPECT_EQ(l.names, (std::vector<std::string>{"garde.txt", "fin.txt"}));
    EXPECT_EQ(l.failure, std::nullopt);
    EXPECT_TRUE(volume->rootFacts().hasGuid);
    EXPECT_EQ(volume->label(), "KESP");
}

TEST(ExfatEntrySets, ABadSetIsLeftOutAndNamedWhileTheRestIsRead) {
    ExfatMemoryVolume v{ExfatShape{}};
    auto bad = fileSet(u"abime.bin", 4000);
    bad[32 + 24] ^= 0x01; // DataLength changed after the checksum
    v.rootEntry(3, fileSet(u"avant", 1));
    v.rootEntry(6, bad);
    v.rootEntry(9, fileSet(u"apres", 1));
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    const Listing l = list(ExfatFolderReader::root(*volume));
    EXPECT_EQ(l.names, (std::vector<std::string>{"avant", "apres"}));
    EXPECT_EQ(l.failure, "somme de contrôle du jeu d'entrées fausse (entrée 8)");
}

TEST(ExfatEntrySets, SetsCutShortOrMissingTheirPartsAreNamed) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> entries;
        const char* failure;
    };
    auto interrupted = fileSet(u"coupe", 1);
    interrupted.resize(64); // File and Stream, then the next set's File entry
    auto second = fileSet(u"suivant", 1);
    interrupted.insert(interrupted.end(), second.begin(), second.end());
    auto noStream = fileSet(u"sans flux", 1);
    noStream[32] = 0xC1;
    put16(noStream, 2, exfatSetChecksum(noStream));
    auto shortName = entrySet({u"court", false, 1, 1, 0, true, 20}); // 20 units, one name entry
    auto single = fileSet(u"x", 1);
    single[1] = 1;
    put16(single, 2, exfatSetChecksum(std::span(single).first(64)));
    Case cases[] = {
        {"interrupted", interrupted, "jeu d'entrées interrompu (2 entrées sur 3) (entrée 5)"},
        {"no stream", noStream, "jeu d'entrées sans extension de flux (entrée 5)"},
        {"short name", shortName,
         "nom incomplet dans le jeu d'entrées (1 partie sur 2) (entrée 5)"},
        {"one secondary", single, "jeu d'entrées de 2 entrées seulement (entrée 3)"},
    };
    for (const Case& c : cases) {
        ExfatMemoryVolume v{ExfatShape{}};
        v.rootEntry(3, c.entries);
        BufferReader reader(v.bytes);
        auto volume = openVolume(reader);
        const Listing l = list(ExfatFolderReader::root(*volume));
        EXPECT_EQ(l.failure, c.failure) << c.what;
        if (std::string(c.what) == "interrupted") {
            EXPECT_EQ(l.names, std::vector<std::string>{"suivant"});
        }
    }
    // A set that the folder's end cuts off.
    ExfatMemoryVolume v{ExfatShape{}};
    auto lastSet = fileSet(u"bord", 1);
    for (std::size_t i = 3; i < 14; ++i)
        v.rootEntry(i, ExfatMemoryVolume::volumeEntry(0x05, 0, 0)); // deleted, not the end
    v.rootEntry(14, std::span(lastSet).first(64));
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    EXPECT_EQ(list(ExfatFolderReader::root(*volume)).failure,
              "jeu d'entrées coupé par la fin du dossier");
}

// --- Allocation ----------------------------------------------------------------------------

TEST(ExfatAllocation, DataLengthDecidesNeverValidDataLength) {
    ExfatEntry entry;
    entry.dataLength = 1025;
    entry.validDataLength = 0; // preallocated, nothing written yet
    EXPECT_EQ(entry.clusters(512), 3u);
    entry.dataLength = 1024;
    entry.validDataLength = 1024;
    EXPECT_EQ(entry.clusters(512), 2u);
    entry.dataLength = 0;
    EXPECT_EQ(entry.clusters(512), 0u);
    entry.dataLength = ~std::uint64_t(0); // no overflow at the top
    EXPECT_EQ(entry.clusters(1u << 25), (~std::uint64_t(0) >> 25) + 1);
    entry.dataLength = 4096;
    entry.vendorAllocations = {{20, 1}, {30, 513}};
    EXPECT_EQ(entry.clusters(512), 8u + 1 + 2);

    ExfatMemoryVolume v{ExfatShape{}};
    v.rootEntry(3, entrySet({u"prealloue", false, 5000, 12, 20, true}));
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    const Listing l = list(ExfatFolderReader::root(*volume));
    ASSERT_EQ(l.entries.size(), 1u);
    EXPECT_EQ(l.entries[0].dataLength, 5000u);
    EXPECT_EQ(l.entries[0].validDataLength, 12u);
    EXPECT_EQ(l.entries[0].clusters(512), 10u);
}

// A set can check out and still claim more than the volume holds: it is left out and named (by
// the entry that ends it, as every set), never summed. A length the heap holds is believed.
TEST(ExfatAllocation, ALengthPastTheVolumeIsNamedNotDelivered) {
    ExfatMemoryVolume v{ExfatShape{}}; // 64 clusters of 512 bytes
    v.rootEntry(3, fileSet(u"tout", 64 * 512, 5));
    v.rootEntry(6, fileSet(u"trop", 64 * 512 + 1, 5));
    v.rootEntry(9, fileSet(u"apres", 1, 5));
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    const Listing l = list(ExfatFolderReader::root(*volume));
    EXPECT_EQ(l.names, (std::vector<std::string>{"tout", "apres"}));
    EXPECT_EQ(l.failure, "« trop » : 32769 octets, plus que le volume n'en contient (entrée 8)");
}

TEST(ExfatAllocation, NoFatChainFolderIsReadWithoutTheFat) {
    ExfatShape shape;
    shape.clusterCount = 100;
    ExfatMemoryVolume v(shape);
    addFolder(v, 3, u"contigu", 20, 3, true);
    // The FAT entries of its clusters are garbage that would loop: they must not be read.
    v.link(20, 20);
    v.link(21, 0xFFFFFFF7);
    // Sixteen sets of three entries fill the three clusters: no end marker, the length ends it.
    for (int i = 0; i < 16; ++i) {
        const std::u16string name = {u'f', char16_t(u'0' + i % 10), u'_', char16_t(u'a' + i / 10)};
        v.folderEntries({20, 21, 22}, std::size_t(i) * 3, fileSet(name, 1));
    }
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    const Listing root = list(ExfatFolderReader::root(*volume));
    ASSERT_EQ(root.entries.size(), 1u);
    EXPECT_TRUE(root.entries[0].isDirectory);
    EXPECT_TRUE(root.entries[0].noFatChain);
    const Listing l = list(ExfatFolderReader::at(*volume, root.entries[0].folder()));
    EXPECT_EQ(l.failure, std::nullopt);
    ASSERT_EQ(l.names.size(), 16u);
    EXPECT_EQ(l.names[15], "f5_b");
    // The same folder read through its FAT chain fails on it.
    const Listing chained = list(ExfatFolderReader::at(*volume, {20, 3 * 512, false}));
    EXPECT_EQ(chained.failure, "chaîne de clusters en boucle");
}

TEST(ExfatAllocation, FragmentedFolderFollowsItsChainWithASetAcrossClusters) {
    ExfatShape shape;
    shape.clusterCount = 100;
    ExfatMemoryVolume v(shape);
    addFolder(v, 3, u"epars", 40, 3, false);
    v.chain({40, 70, 12});
    // 16 entries a cluster; sets of 3 and 4 entries, one straddling each boundary.
    std::vector<std::string> expected;
    std::size_t index = 0;
    for (int i = 0; index < 44; ++i) {
        const std::u16string name =
            i % 2 ? u"court" + std::u16string(1, char16_t(u'A' + i))
                  : u"nom long de seize" + std::u16string(1, char16_t(u'A' + i));
        const auto set = fileSet(name, i);
        if (index + set.size() / 32 > 48) break;
        v.folderEntries({40, 70, 12}, index, set);
        index += set.size() / 32;
        expected.push_back(std::string(name.begin(), name.end()));
    }
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    const Listing l = list(ExfatFolderReader::at(*volume, {40, 3 * 512, false}));
    EXPECT_EQ(l.failure, std::nullopt);
    EXPECT_EQ(l.names, expected);
    EXPECT_GE(expected.size(), 12u);
}

TEST(ExfatAllocation, DamagedChainsEndTheListingWithAReason) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> links;
        ExfatFolder folder;
        const char* failure;
    } cases[] = {
        {"loop", {{40, 41}, {41, 40}}, {40, 5 * 512, false}, "chaîne de clusters en boucle"},
        {"loop within the length",
         {{40, 41}, {41, 40}},
         {40, 3 * 512, false},
         "chaîne de clusters plus longue que la taille annoncée (en boucle ?)"},
        {"past the count", {{40, 66}}, {40, 2 * 512, false}, "cluster hors du volume (66)"},
        {"free entry", {{40, 0}}, {40, 2 * 512, false}, "cluster hors du volume (0)"},
        {"bad cluster",
         {{40, 0xFFFFFFF7}},
         {40, 2 * 512, false},
         "chaîne de clusters menant à un cluster défectueux"},
        {"short chain",
         {{40, 0xFFFFFFFF}},
         {40, 2 * 512, false},
         "chaîne de clusters plus courte que la taille annoncée (1 sur 2 clusters)"},
        {"run past the count", {}, {64, 3 * 512, true}, "cluster hors du volume (66)"},
        {"first past the count", {}, {90, 512, true}, "cluster hors du volume (90)"},
        {"too large", {}, {40, 512ull << 20, true}, "dossier de 536870912 octets (256 Mo au plus)"},
    };
    for (const Case& c : cases) {
        ExfatMemoryVolume v{ExfatShape{}};
        // Deleted entries everywhere past the root: only the chain can end these folders.
        for (std::uint32_t cluster = 10; cluster <= 65; ++cluster)
            for (std::size_t e = 0; e < 16; ++e)
                v.bytes[v.geometry.clusterOffset(cluster) + e * 32] = 0x05;
        for (const auto& [from, to] : c.links)
            v.link(from, to);
        BufferReader reader(v.bytes);
        auto volume = openVolume(reader);
        const Listing l = list(ExfatFolderReader::at(*volume, c.folder));
        EXPECT_EQ(l.failure, c.failure) << c.what;
    }
}

TEST(ExfatAllocation, LongChainThatLoopsLateIsCaughtWithoutRememberingIt) {
    ExfatShape shape;
    shape.clusterCount = 5000;
    ExfatMemoryVolume v(shape);
    // A tail of 3000 clusters, then a cycle of 1500.
    for (std::uint32_t c = 10; c < 4510; ++c)
        v.link(c, c + 1);
    v.link(4510, 3010);
    std::string error;
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    ClusterChain chain(volume->fat(), volume->geometry(), 10, std::nullopt, false, 1u << 30);
    while (chain.next()) {
    }
    EXPECT_EQ(chain.failure(), "chaîne de clusters en boucle");
    EXPECT_LT(chain.delivered(), 2u * 4501);
    EXPECT_EQ(chainLength(volume->fat(), volume->geometry(), 10, 1u << 30, error), std::nullopt);
    EXPECT_EQ(error, "chaîne de clusters en boucle");
    v.link(4510, 0xFFFFFFFF);
    BufferReader fixedReader(v.bytes);
    auto fixed = openVolume(fixedReader);
    EXPECT_EQ(chainLength(fixed->fat(), fixed->geometry(), 10, 1u << 30, error), 4501u);
    EXPECT_EQ(chainLength(fixed->fat(), fixed->geometry(), 10, 4500, error), std::nullopt);
    EXPECT_EQ(error, "chaîne de clusters trop longue (en boucle ?)");
}

TEST(ExfatAllocation, RootSizeIsItsChainAndFreeClustersComeFromTheBitmap) {
    ExfatShape shape;
    shape.clusterCount = 61; // the last bitmap byte holds three bits past the count
    ExfatMemoryVolume v(shape);
    v.chain({4, 30, 31});
    v.allocate(30);
    v.allocate(31);
    v.allocate(62); // the last cluster
    const std::uint64_t bitmapByte = v.geometry.clusterOffset(2) + 7;
    v.bytes[bitmapByte] |= 0xE0; // bits past the count: they stand for nothing
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    std::string error;
    EXPECT_EQ(volume->rootClusters(error), 3u) << error;
    EXPECT_EQ(volume->freeClusters(error), 61u - 6) << error;

    // Directly: a bitmap too short for the count, and one whose chain leaves the heap.
    const ExfatExtent tooShort{2, 7};
    EXPECT_EQ(countAllocatedClusters(reader, volume->fat(), volume->geometry(), tooShort, error),
              std::nullopt);
    EXPECT_EQ(error, "bitmap d'allocation de 7 octets, trop court pour 61 clusters");
    const ExfatExtent outside{70, 8};
    EXPECT_EQ(countAllocatedClusters(reader, volume->fat(), volume->geometry(), outside, error),
              std::nullopt);
    EXPECT_EQ(error, "bitmap d'allocation : cluster hors du volume (70)");
}

TEST(ExfatAllocation, LargeBitmapIsCountedInPiecesAcrossItsClusters) {
    ExfatShape shape;
    shape.clusterShift = 0;
    shape.clusterCount = 20000; // 2500 bytes of bitmap: five clusters of 512 bytes
    shape.rootCluster = 8;
    ExfatMemoryVolume v(shape);
    v.chain({2, 3, 4, 5, 6}); // the bitmap; the up-case table moves on
    v.rootEntry(2, ExfatMemoryVolume::volumeEntry(0x82, 7, 5836));
    v.link(7, 0xFFFFFFFF);
    for (std::uint32_t c : {3u, 4u, 5u, 6u, 7u, 20001u})
        v.allocate(c);
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    std::string error;
    // 2, 3 (first the old up-case), 4, 5, 6, 7, 8 (root), 20001.
    EXPECT_EQ(volume->freeClusters(error), 20000u - 8) << error;
}

} // namespace
} // namespace kesp::fat
