// The plan's figures gathered during the walk: the entries a name takes, the clusters at every
// size, the slack buckets.
#include "scan/tree_tally.h"

#include <gtest/gtest.h>

namespace kesp {
namespace {

TEST(DirectoryEntriesFor, ShortNamesAsWindowsAndMtoolsWriteThem) {
    const struct {
        const char* name;
        std::uint64_t entries;
    } cases[] = {
        {"README.TXT", 1},
        {"readme.txt", 1},
        {"abc.TXT", 1}, // a case per part
        {"été", 1},
        {"noël.txt", 1},
        {"ÉTÉ.TXT", 1},
        {"ABCDEFGH.TXT", 1},
        {"Mixed.Txt", 2},
        {"ABC.tXT", 2},
        {"a b.txt", 2},
        {"a+b", 2},
        {"x[1]", 2},
        {"x.y.z", 2},
        {".hidden", 2},
        {"trailing.", 2},
        {"abc.defg", 2},
        {"abcdefghi.txt", 2},
        {"abcdefghij.txt", 3}, // 13, 14 long
        {"日本.txt", 2},
        {"\xF0\x9F\x98\x80.txt", 2},
        {"bad\xFF", 2},
        {"a-very-long-name-of-forty-characters.txt", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(directoryEntriesFor(c.name), c.entries) << c.name;
}

// exFAT: File, Stream Extension and one File Name entry per 15 UTF-16 units, whatever the case.
TEST(ExfatEntriesFor, OneNameEntryPerFifteenUtf16Units) {
    const struct {
        std::string name;
        std::uint64_t entries;
    } cases[] = {
        {"a", 3},
        {"README.TXT", 3},
        {std::string(15, 'q'), 3},
        {std::string(16, 'r'), 4},
        {std::string(30, 's'), 4},
        {std::string(31, 't'), 5},
        {std::string(255, 'L'), 2 + 17},
        {std::string(300, 'L'), 2 + 17},                // no longer name exists on exFAT
        {std::string(14, 'e') + "é", 3},                // 15 units, 16 bytes
        {std::string(14, 'x') + "\xF0\x9F\x98\x80", 4}, // a surrogate pair: 16 units
        {std::string(14, 'b') + "\xFF", 3},             // a stray byte counts one
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exfatEntriesFor(c.name), c.entries) << c.name;
        EXPECT_EQ(nameEntriesFor(c.name).exfat, c.entries) << c.name;
        EXPECT_EQ(nameEntriesFor(c.name).fat, directoryEntriesFor(c.name)) << c.name;
    }
}

TEST(SlackBuckets, PowersOfTwoFrom512BytesTo64Megabytes) {
    const struct {
        std::uint64_t size;
        std::size_t bucket;
        const char* label;
    } cases[] = {
        {0, 0, "< 512 o"},
        {511, 0, "< 512 o"},
        {512, 1, "512 o"},
        {1023, 1, "512 o"},
        {1024, 2, "1 Ko"},
        {5000, 4, "4 Ko"},
        {(1u << 20) + 1, 12, "1 Mo"},
        {(64u << 20) - 1, 17, "32 Mo"},
        {64u << 20, 18, "≥ 64 Mo"},
        {1ull << 40, 18, "≥ 64 Mo"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(slackBucketOf(c.size), c.bucket) << c.size;
        EXPECT_EQ(slackBucketLabel(slackBucketOf(c.size)), c.label) << c.size;
    }
}

TEST(TreeTally, FilesAndFoldersInClustersOfEverySize) {
    TreeTally t;
    tallyFile(t, 5000, 4096);
    tallyFile(t, 0, 4096);
    // 32 FAT entries with "." and "..": 1024 bytes; exFAT has no dot entries, and a folder of
    // 160 entries (5120 bytes) takes 2 clusters of 4 KiB.
    tallyFolder(t, {30, 160}, false);
    tallyFolder(t, {}, false); // an empty folder: one cluster on both
    tallyFolder(t, {7, 9}, true);
    EXPECT_EQ(t.files, 2u);
    EXPECT_EQ(t.fileBytes, 5000u);
    EXPECT_EQ(t.fileClusters, (std::array<std::uint64_t, kClusterSizes.size()>{
                                  10, 5, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(t.folders, 2u);
    EXPECT_EQ(t.folderEntries, 32u + 2u);
    EXPECT_EQ(t.folderClusters, (std::array<std::uint64_t, 8>{2 + 1, 1 + 1, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(t.rootEntries, 7u);
    EXPECT_EQ(t.exfatFolderEntries, 160u);
    EXPECT_EQ(t.exfatFolderClusters,
              (std::array<std::uint64_t, kClusterSizes.size()>{10 + 1, 5 + 1, 3 + 1, 2 + 1, 2, 2, 2,
                                                               2, 2, 2, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(t.exfatRootEntries, 9u);
    EXPECT_EQ(t.slackBySize[4].files, 1u);
    EXPECT_EQ(t.slackBySize[4].lostBytes, 8192u - 5000u);
    EXPECT_EQ(t.slackBySize[0].files, 1u);
    EXPECT_EQ(t.slackBySize[0].lostBytes, 0u);
}

} // namespace
} // namespace kesp
