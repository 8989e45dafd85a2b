#pragma once
// The exFAT FAT, read in pages as chains need them, and the clusters of one allocation: a FAT
// chain, or one contiguous run (NoFatChain) whose FAT entries are never read. The FAT says only
// how clusters follow each other; the allocation bitmap says which are in use.
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "fat/byte_reader.h"
#include "fat/exfat_boot_sector.h"

namespace kesp::fat {

// Where a metadata allocation lies: its first cluster and its length in bytes.
struct ExfatExtent {
    std::uint32_t firstCluster = 0;
    std::uint64_t bytes = 0;
};

class ExfatFat {
public:
    static constexpr std::size_t kPageBytes = 64 * 1024;
    // A 2 TiB volume of 4 KiB clusters has a FAT of 2 GiB: only this much of it is kept.
    static constexpr std::size_t kBudgetBytes = 16 * 1024 * 1024;
    static constexpr std::uint32_t kBad = 0xFFFFFFF7;
    static constexpr std::uint32_t kEnd = 0xFFFFFFFF;

    ExfatFat(ByteReader& volume, const ExfatGeometry& geometry);

    // The FAT entry of `cluster`; nullopt when the FAT cannot be read there.
    std::optional<std::uint32_t> entry(std::uint32_t cluster);

    std::size_t pagesRead() const { return pagesRead_; }
    std::size_t bytesHeld() const { return held_; }

private:
    const std::vector<std::uint8_t>* page(std::uint64_t number);

    struct Page {
        std::vector<std::uint8_t> bytes;
        std::list<std::uint64_t>::iterator age;
    };
    ByteReader& volume_;
    ExfatGeometry geometry_;
    std::unordered_map<std::uint64_t, Page> pages_;
    std::list<std::uint64_t> ages_; // most recent first
    std::size_t held_ = 0;
    std::size_t pagesRead_ = 0;
};

// The clusters of one allocation, in order. With a length, exactly that many clusters are
// delivered, and the chain must end there: one that ends sooner or goes on is damage. Without
// one, the chain is followed to its end marker, at most `limit` clusters. A chain that loops is
// caught in time proportional to its length without remembering what it visited, so a few
// clusters of the loop may be delivered twice before failure() says so.
class ClusterChain {
public:
    ClusterChain(ExfatFat& fat, const ExfatGeometry& geometry, std::uint32_t first,
                 std::optional<std::uint64_t> length, bool contiguous, std::uint64_t limit);

    // The next cluster; nullopt at the end of the allocation, or on damage (then failure()).
    std::optional<std::uint32_t> next();
    // Why the chain stopped early (French); empty when it did not.
    const std::string& failure() const { return failure_; }
    std::uint64_t delivered() const { return delivered_; }

private:
    std::optional<std::uint32_t> stop(std::string reason);

    ExfatFat& fat_;
    const ExfatGeometry& geometry_;
    std::uint32_t current_;
    std::optional<std::uint64_t> length_;
    bool contiguous_;
    std::uint64_t limit_;
    std::uint64_t delivered_ = 0;
    bool done_ = false;
    std::string failure_;
    // Brent's cycle check: a cluster saved at each power of two, compared with every later one.
    std::uint32_t saved_ = 0;
    std::uint64_t power_ = 1;
    std::uint64_t sinceSaved_ = 0;
};

// Clusters in the chain from `first` to its end marker: the size of the root folder, which has
// no length of its own. nullopt with `error` (French) when the chain is damaged.
std::optional<std::uint64_t> chainLength(ExfatFat& fat, const ExfatGeometry& geometry,
                                         std::uint32_t first, std::uint64_t limit,
                                         std::string& error);

} // namespace kesp::fat
