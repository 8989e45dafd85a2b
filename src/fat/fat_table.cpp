#include "fat/fat_table.h"

#include <algorithm>

namespace kesp::fat {

FatTable::FatTable(ByteReader& volume, const Geometry& geometry)
    : volume_(volume), geometry_(geometry),
      endMarker_(geometry.type == FatType::Fat12   ? 0xFF8
                 : geometry.type == FatType::Fat16 ? 0xFFF8
                                                   : 0x0FFFFFF8) {}

std::optional<std::uint8_t> FatTable::byteAt(std::uint64_t offset) {
    if (offset >= geometry_.fatBytes) return std::nullopt;
    const std::uint64_t number = offset / kPageBytes;
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
        if (!volume_.read(geometry_.fatOffset + start, page.bytes)) return std::nullopt;
        ++pagesRead_;
        ages_.push_front(number);
        page.age = ages_.begin();
        found = pages_.emplace(number, std::move(page)).first;
    } else if (found->second.age != ages_.begin()) {
        ages_.splice(ages_.begin(), ages_, found->second.age);
    }
    return found->second.bytes[static_cast<std::size_t>(offset % kPageBytes)];
}

std::optional<std::uint32_t> FatTable::entry(std::uint32_t cluster) {
    const std::uint64_t c = cluster;
    std::uint64_t offset = 0;
    int width = 0;
    switch (geometry_.type) {
    case FatType::Fat12:
        offset = c + c / 2;
        width = 2;
        break;
    case FatType::Fat16:
        offset = c * 2;
        width = 2;
        break;
    case FatType::Fat32:
        offset = c * 4;
        width = 4;
        break;
    }
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
        const auto byte = byteAt(offset + i);
        if (!byte) return std::nullopt;
        value |= std::uint32_t(*byte) << (8 * i);
    }
    switch (geometry_.type) {
    case FatType::Fat12:
        return (c & 1) ? value >> 4 : value & 0xFFF;
    case FatType::Fat16:
        return value;
    case FatType::Fat32:
        break;
    }
    return value & 0x0FFFFFFF;
}

} // namespace kesp::fat
