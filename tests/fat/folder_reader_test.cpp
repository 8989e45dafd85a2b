// Folders of volumes built in memory: the fixed root, a fragmented sub-folder, the FAT32 root
// chain, and damage that must end the listing with a reason instead of a hang.
#include <gtest/gtest.h>

#include "fat/folder_reader.h"
#include "fat/memory_volume.h"

namespace kesp::fat {
namespace {

using test::Layout;
using test::MemoryVolume;
using test::shortEntry;

struct Listing {
    std::vector<std::string> names;
    std::vector<std::uint32_t> sizes;
    std::optional<std::string> failure;
};

Listing list(FolderReader reader) {
    Listing out;
    DirectoryEntry entry;
    while (reader.next(entry)) {
        out.names.push_back(entry.name);
        out.sizes.push_back(entry.size);
    }
    out.failure = reader.failure();
    return out;
}

std::string fileName(int i) {
    char name[12];
    std::snprintf(name, sizeof name, "F%03d    BIN", i);
    return name;
}

std::unique_ptr<FatVolume> openVolume(BufferReader& reader) {
    std::string error;
    auto volume = FatVolume::open(reader, error);
    EXPECT_TRUE(volume) << error;
    return volume;
}

TEST(FolderReader, FixedRootThenAFragmentedSubFolder) {
    MemoryVolume v{Layout{}}; // FAT12, 512-byte clusters: 16 entries each
    v.entry(0, 0, shortEntry("VOLUME  LBL", 0x08));
    v.entry(0, 1, shortEntry("SUB        ", 0x10, 10));
    v.entry(0, 2, shortEntry("ROOT    TXT", 0x20, 0, 77));
    // SUB spans clusters 10, 40, 12: out of order on disk, in order in the chain.
    v.chain({10, 40, 12});
    for (int i = 0; i < 40; ++i) {
        const std::uint32_t cluster = i < 16 ? 10 : i < 32 ? 40 : 12;
        v.entry(cluster, i % 16, shortEntry(fileName(i).c_str(), 0x20, 0, i * 100));
    }
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    EXPECT_EQ(volume->label(), "VOLUME  LBL");

    const Listing root = list(FolderReader::root(*volume));
    EXPECT_EQ(root.names, (std::vector<std::string>{"SUB", "ROOT.TXT"}));
    EXPECT_EQ(root.failure, std::nullopt);

    const Listing sub = list(FolderReader::at(*volume, 10));
    ASSERT_EQ(sub.names.size(), 40u);
    EXPECT_EQ(sub.names[17], "F017.BIN");
    EXPECT_EQ(sub.sizes[39], 3900u);
    EXPECT_EQ(sub.failure, std::nullopt);
}

TEST(FolderReader, Fat32RootIsAChain) {
    // Also below the FAT32 cluster count: the layout, not the count, makes it FAT32.
    for (std::uint32_t clusters : {65525u, 3000u}) {
        SCOPED_TRACE(clusters);
        Layout l;
        l.fat32 = true;
        l.reserved = 32;
        l.clusters = clusters;
        l.rootCluster = 5;
        MemoryVolume v(l);
        v.chain({5, 3});
        for (int i = 0; i < 17; ++i)
            v.entry(i < 16 ? 5 : 3, i % 16, shortEntry(fileName(i).c_str(), 0x20));
        BufferReader reader(v.bytes);
        auto volume = openVolume(reader);
        const Listing root = list(FolderReader::root(*volume));
        EXPECT_EQ(root.names.size(), 17u);
        EXPECT_EQ(root.failure, std::nullopt);
        EXPECT_EQ(volume->label(), "KESP LABEL") << "no label entry: the boot sector's";
    }
}

TEST(FolderReader, DamageEndsTheListingWithAReason) {
    struct Case {
        const char* what;
        std::function<void(MemoryVolume&)> damage;
        std::size_t delivered;
        const char* failure;
    };
    const std::vector<Case> cases = {
        {"chain into itself", [](MemoryVolume& v) { v.link(10, 10); }, 16,
         "chaîne de clusters en boucle"},
        {"chain past the end", [](MemoryVolume& v) { v.link(10, 4086); }, 16,
         "cluster hors du volume (4086)"},
        {"chain into a free cluster", [](MemoryVolume& v) { v.link(10, 0); }, 16,
         "chaîne de clusters interrompue par un cluster libre"},
        {"the cluster holding the end is free",
         [](MemoryVolume& v) {
             v.link(10, 11);
             v.entry(11, 3, std::vector<std::uint8_t>(32, 0)); // the end, after three entries
         },
         19, "chaîne de clusters interrompue par un cluster libre"},
        {"chain into a bad cluster", [](MemoryVolume& v) { v.link(10, 0xFF7); }, 16,
         "chaîne de clusters menant à un cluster défectueux"},
        {"image cut after the first cluster",
         [](MemoryVolume& v) {
             v.chain({10, 11});
             v.bytes.resize(v.geometry.clusterOffset(11) + 100);
         },
         16, "lecture impossible"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryVolume v{Layout{}};
        for (int i = 0; i < 16; ++i) {
            v.entry(10, i, shortEntry(fileName(i).c_str(), 0x20));
            v.entry(11, i, shortEntry(fileName(i).c_str(), 0x20));
        }
        c.damage(v);
        BufferReader reader(v.bytes);
        auto volume = openVolume(reader);
        const Listing sub = list(FolderReader::at(*volume, 10));
        EXPECT_EQ(sub.names.size(), c.delivered);
        ASSERT_TRUE(sub.failure);
        EXPECT_EQ(sub.failure->substr(0, std::string(c.failure).size()), c.failure);
    }
    MemoryVolume v{Layout{}};
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    EXPECT_EQ(list(FolderReader::at(*volume, 0)).failure, "cluster hors du volume (0)");
}

TEST(FolderReader, EntryLimitIsNotALoop) {
    // FAT16 with 512-byte clusters: 4096 clusters hold the 65536 entries a folder may have.
    Layout l;
    l.clusters = 4200;
    MemoryVolume v(l);
    const std::vector<std::uint8_t> deleted = shortEntry("\xE5OLD    TXT", 0x20);
    for (std::uint32_t c = 2; c < 2 + 4097; ++c) {
        v.link(c, c + 1);
        for (int i = 0; i < 16; ++i)
            v.entry(c, i, deleted);
    }
    v.chain({4097}); // clusters 2 to 4097: exactly the limit
    BufferReader reader(v.bytes);
    auto volume = openVolume(reader);
    EXPECT_EQ(list(FolderReader::at(*volume, 2)).failure, std::nullopt);

    v.chain({4097, 4098}); // one cluster more
    BufferReader longer(v.bytes);
    volume = openVolume(longer);
    EXPECT_EQ(list(FolderReader::at(*volume, 2)).failure, "dossier de plus de 65 536 entrées");
}

TEST(FatVolume, RefusesWhatHoldsNoVolume) {
    std::vector<std::uint8_t> bytes(4096, 0);
    BufferReader empty(bytes);
    std::string error;
    EXPECT_FALSE(FatVolume::open(empty, error));
    EXPECT_EQ(error, "pas de volume FAT");

    MemoryVolume v{Layout{}};
    v.bytes.resize(v.geometry.rootOffset); // the FATs, but no root folder
    BufferReader cut(v.bytes);
    EXPECT_FALSE(FatVolume::open(cut, error));
    EXPECT_EQ(error.substr(0, 15), "image tronquée");
}

} // namespace
} // namespace kesp::fat
