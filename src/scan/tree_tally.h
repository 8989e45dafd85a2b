#pragma once
// What the format plan needs of a tree, gathered during the walk in a fixed amount of memory:
// the clusters its files and folders would take at every cluster size of FAT and exFAT, the
// entries of its root, and the slack by file size at the scanned volume's own cluster size.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "scan/cluster_sizes.h"

namespace kesp {

// 512 B, 1 KiB … 64 KiB: the first sizes of kClusterSizes, indexed alike.
inline constexpr std::array<std::uint32_t, 8> kFatClusterSizes = {512,  1024,  2048,  4096,
                                                                  8192, 16384, 32768, 65536};
// "< 512 o", then one bucket per power of two up to "≥ 64 Mo".
inline constexpr std::size_t kSlackBuckets = 19;

struct SlackBucket {
    std::uint64_t files = 0;
    std::uint64_t lostBytes = 0;
};

struct TreeTally {
    std::uint64_t files = 0;
    std::uint64_t fileBytes = 0;
    std::array<std::uint64_t, kClusterSizes.size()> fileClusters{}; // by kClusterSizes
    std::uint64_t folders = 0;                                      // below the root
    // FAT: the entries of the folders below the root, "." and ".." included, and their clusters.
    std::uint64_t folderEntries = 0;
    std::array<std::uint64_t, kFatClusterSizes.size()> folderClusters{};
    // The root has no "." nor "..": a fixed area on FAT12/16, a cluster chain on FAT32.
    std::uint64_t rootEntries = 0;
    // exFAT: the same without dot entries, each folder one cluster at least (by kClusterSizes).
    // The root's count leaves out its own bitmap, up-case table and label entries.
    std::uint64_t exfatFolderEntries = 0;
    std::array<std::uint64_t, kClusterSizes.size()> exfatFolderClusters{};
    std::uint64_t exfatRootEntries = 0;
    std::array<SlackBucket, kSlackBuckets> slackBySize{};
};

// The 32-byte entries names take in a folder, on each file system.
struct NameEntries {
    std::uint64_t fat = 0;
    std::uint64_t exfat = 0;
    NameEntries& operator+=(const NameEntries& more) {
        fat += more.fat;
        exfat += more.exfat;
        return *this;
    }
};

// The directory entries a name takes on a volume written as Windows and mtools write it: one
// short entry, plus ceil(UTF-16 length / 13) long-name entries unless the name fits 8.3 in code
// page 850 with its base and its extension each in a single case. `name` is UTF-8 (a byte that
// is not counts as one character that needs a long name).
std::uint64_t directoryEntriesFor(std::string_view name);

// The entry set a name takes on exFAT: a File entry, a Stream Extension and one File Name entry
// per 15 UTF-16 units (255 at most).
std::uint64_t exfatEntriesFor(std::string_view name);

// Both at once, reading the name once.
NameEntries nameEntriesFor(std::string_view name);

// The bytes an exFAT folder of `entries` entries occupies in clusters of `cluster` bytes: it
// takes one even when empty, as formatters and drivers give every new folder.
std::uint64_t exfatFolderBytes(std::uint64_t entries, std::uint64_t cluster);

// A file of `size` bytes; `scannedCluster` is the scanned volume's cluster size (> 0).
void tallyFile(TreeTally& tally, std::uint64_t size, std::uint64_t scannedCluster);

// A folder whose listing is over, with the entries its children's names took.
void tallyFolder(TreeTally& tally, const NameEntries& children, bool root);

// The bucket of a file size, and its French label ("< 512 o", "512 o", "1 Ko" … "≥ 64 Mo").
std::size_t slackBucketOf(std::uint64_t size);
std::string slackBucketLabel(std::size_t bucket);

} // namespace kesp
