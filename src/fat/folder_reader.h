#pragma once
// The entries of one folder of a FAT volume, read one cluster at a time.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "fat/directory_entry.h"
#include "fat/fat_volume.h"

namespace kesp::fat {

class FolderReader {
public:
    // The root folder: the fixed area on FAT12/16, the root cluster's chain on FAT32.
    static FolderReader root(FatVolume& volume);
    // A sub-folder by its first cluster.
    static FolderReader at(FatVolume& volume, std::uint32_t firstCluster);

    // The next file or folder; false at the end of the folder or when it cannot be read further.
    bool next(DirectoryEntry& entry);
    // Once next() returned false: why the folder was not read to its end (French).
    const std::optional<std::string>& failure() const { return failure_; }

private:
    FolderReader(FatVolume& volume, std::uint32_t firstCluster, bool fixedRoot);
    bool loadNextBlock();
    // Fails the folder, and says so, when `link` (the FAT entry of a cluster read) is
    // unreadable, free or bad.
    bool linkBroken(const std::optional<std::uint32_t>& link);
    void fail(std::string reason);
    void finish();

    FatVolume& volume_;
    EntryDecoder decoder_;
    bool fixedRoot_;
    std::uint32_t cluster_; // the cluster in `block_`, or the first one before any read
    std::uint64_t blocksRead_ = 0;
    std::unordered_set<std::uint32_t> visited_; // a chain that comes back is a loop
    std::uint64_t bytesRead_ = 0;               // of the folder, bounded by the 65536-entry limit
    std::vector<std::uint8_t> block_;
    std::size_t at_ = 0; // next entry in `block_`
    bool done_ = false;
    std::optional<std::string> failure_;
};

} // namespace kesp::fat
