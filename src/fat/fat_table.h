#pragma once
// The first FAT of a volume, read in pages as the chains need them. The pages kept stay under a
// fixed budget whatever the volume (FAT32 allows a FAT of 1 GiB); below the budget, each page is
// read once.
#include <cstdint>
#include <list>
#include <optional>
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

    bool endOfChain(std::uint32_t value) const { return value >= endMarker_; }
    bool badCluster(std::uint32_t value) const { return value == endMarker_ - 1; }

    std::size_t pagesRead() const { return pagesRead_; }
    std::size_t bytesHeld() const { return pages_.size() * kPageBytes; }

private:
    std::optional<std::uint8_t> byteAt(std::uint64_t offset);

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
