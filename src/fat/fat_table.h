#pragma once
// The first FAT of a volume, read in pages as the chains need them. The pages kept stay under a
// fixed budget whatever the volume (FAT32 allows a FAT of 1 GiB); below the budget, each page is
// read once.
#include <cstdint>
#include <list>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "fat/byte_reader.h"
#include "fat/geometry.h"

namespace kesp::fat {

class FatTable {
public:
    static constexpr std::size_t kPageBytes = 64 * 1024;
    static constexpr std::size_t kBudgetBytes = 16 * 1024 * 1024;

    FatTable(ByteReader& volume, const Geometry& geometry);

    // The FAT entry of `cluster` (already masked to 28 bits on FAT32); nullopt when the FAT
    // cannot be read there.
    std::optional<std::uint32_t> entry(std::uint32_t cluster);

    // The entries of clusters `first` to `first + out.size() - 1`, read straight from the volume in
    // one piece and decoded, without going through the pages: for passes over the whole FAT,
    // which would only push the chains' pages out. False when they cannot all be read.
    bool readEntries(std::uint32_t first, std::span<std::uint32_t> out);

    bool endOfChain(std::uint32_t value) const { return value >= endMarker_; }
    bool badCluster(std::uint32_t value) const { return value == endMarker_ - 1; }

    std::size_t pagesRead() const { return pagesRead_; }
    std::size_t bytesHeld() const { return pages_.size() * kPageBytes; }

private:
    // The bytes of page `number`, read when not held; nullptr when it cannot be read.
    const std::vector<std::uint8_t>* page(std::uint64_t number);

    struct Page {
        std::vector<std::uint8_t> bytes;
        std::list<std::uint64_t>::iterator age;
    };
    ByteReader& volume_;
    Geometry geometry_;
    std::uint32_t endMarker_;
    std::unordered_map<std::uint64_t, Page> pages_;
    std::list<std::uint64_t> ages_; // most recent first
    std::size_t pagesRead_ = 0;
};

} // namespace kesp::fat
