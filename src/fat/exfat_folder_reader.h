#pragma once
// The entries of one exFAT folder, in on-disk order, read a block at a time along the folder's
// clusters. Folders hold no "." or ".." entries.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fat/exfat_entry_set.h"
#include "fat/exfat_fat.h"
#include "fat/exfat_volume.h"

namespace kesp::fat {

class ExfatFolderReader {
public:
    // The root folder: the chain from the boot sector's root cluster.
    static ExfatFolderReader root(ExfatVolume& volume);
    // A sub-folder, as its entry describes it.
    static ExfatFolderReader at(ExfatVolume& volume, const ExfatFolder& folder);

    // The next file or folder; false at the end of the folder or when it cannot be read further.
    bool next(ExfatEntry& entry);
    // Once next() returned false: why the listing is incomplete (French) — a set thrown away on
    // the way, or the reason reading stopped; nullopt when the folder was read whole.
    const std::optional<std::string>& failure() const { return failure_; }
    // The volume entries met so far (in the root folder).
    const ExfatRootFacts& rootFacts() const { return decoder_.rootFacts(); }

private:
    ExfatFolderReader(ExfatVolume& volume, std::uint32_t first,
                      std::optional<std::uint64_t> clusters, bool contiguous, std::uint64_t bytes);
    bool loadNextBlock();
    void note(const std::string& problem);
    void fail(const std::string& reason);

    ExfatVolume& volume_;
    ExfatEntryDecoder decoder_;
    ClusterChain chain_;
    std::uint64_t bytesLeft_; // of the folder's length; the root has no other bound than its chain
    std::uint32_t cluster_ = 0;
    std::uint64_t inCluster_ = 0; // bytes of `cluster_` read so far
    std::uint32_t blockBytes_;
    std::vector<std::uint8_t> block_;
    std::size_t at_ = 0;           // next entry in `block_`
    std::uint64_t entryIndex_ = 0; // of the next entry in the folder
    bool done_ = false;
    std::optional<std::string> failure_;
};

} // namespace kesp::fat
