#include "fat/fat_table.h"

#include <algorithm>

namespace kesp::fat {

FatTable::FatTable(ByteReader& volume, const Geometry& geometry)
    : volume_(volume), geometry_(geometry),
      endMarker_(geometry.type == FatType::Fat12   ? 0xFF8
                 : geometry.type == FatType::Fat16 ? 0xFFF8
                                                   : 0x0FFFFFF8) {}

const std::vector<std::uint8_t>* FatTable::page(std::uint64_t number) {
    auto found = pages_.find(number);
    if (found == pages_.end()) {
        if ((pages_.size() + 1) * kPageBytes > kBudgetBytes) {
            pages_.erase(ages_.back());
            ages_.pop_back();
        }
        const std::uint64_t start = number * kPageBytes;
        const std::uint64_t length =
            std::min<std::uint64_t>(kPageBytes, geometry_.fatBytes - start);
        Page page;
        page.bytes.resize(static_cast<std::size_t>(length));
        if (!volume_.read(geometry_.fatOffset + start, page.bytes)) return nullptr;
        ++pagesRead_;
        ages_.push_front(number);
        page.age = ages_.begin();
        found = pages_.emplace(number, std::move(page)).first;
    } else if (found->second.age != ages_.begin()) {
        ages_.splice(ages_.begin(), ages_, found->second.age);
    }
    return &found->second.bytes;
}

namespace {

// Where the entry of `cluster` starts in the FAT, and how many bytes hold it.
std::uint64_t entryOffset(FatType type, std::uint64_t cluster) {
    switch (type) {
    case FatType::Fat12:
        return cluster + cluster / 2;
    case FatType::Fat16:
        return cluster * 2;
    case FatType::Fat32:
        break;
    }
    return cluster * 4;
}

std::size_t entryWidth(FatType type) {
    return type == FatType::Fat32 ? 4 : 2;
}

// The entry of `cluster` from the bytes at its offset.
std::uint32_t decode(FatType type, std::uint32_t cluster, const std::uint8_t* bytes) {
    switch (type) {
    case FatType::Fat12: {
        const std::uint32_t value = bytes[0] | std::uint32_t(bytes[1]) << 8;
        return (cluster & 1) ? value >> 4 : value & 0xFFF;
    }
    case FatType::Fat16:
        return bytes[0] | std::uint32_t(bytes[1]) << 8;
    case FatType::Fat32:
        break;
    }
    return (bytes[0] | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
            std::uint32_t(bytes[3]) << 24) &
           0x0FFFFFFF;
}

} // namespace

std::optional<std::uint32_t> FatTable::entry(std::uint32_t cluster) {
    const std::uint64_t offset = entryOffset(geometry_.type, cluster);
    const std::size_t width = entryWidth(geometry_.type);
    if (offset + width > geometry_.fatBytes) return std::nullopt;
    std::uint8_t bytes[4] = {};
    // A FAT12 entry may straddle two pages; the others never do.
    for (std::size_t i = 0; i < width;) {
        const std::vector<std::uint8_t>* held = page((offset + i) / kPageBytes);
        if (!held) return std::nullopt;
        for (std::size_t at = (offset + i) % kPageBytes; i < width && at < held->size(); ++at)
            bytes[i++] = (*held)[at];
    }
    return decode(geometry_.type, cluster, bytes);
}

bool FatTable::readEntries(std::uint32_t first, std::span<std::uint32_t> out) {
    if (out.empty()) return true;
    const std::uint32_t last = first + static_cast<std::uint32_t>(out.size() - 1);
    const std::uint64_t start = entryOffset(geometry_.type, first);
    const std::uint64_t end = entryOffset(geometry_.type, last) + entryWidth(geometry_.type);
    if (end > geometry_.fatBytes) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end - start));
    if (!volume_.read(geometry_.fatOffset + start, bytes)) return false;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto cluster = static_cast<std::uint32_t>(first + i);
        out[i] =
            decode(geometry_.type, cluster, &bytes[entryOffset(geometry_.type, cluster) - start]);
    }
    return true;
}

} // namespace kesp::fat
