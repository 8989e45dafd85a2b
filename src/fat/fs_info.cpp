#include "fat/fs_info.h"

#include <vector>

namespace kesp::fat {

std::optional<std::uint32_t> fsInfoFreeCount(ByteReader& volume, const FatBootSector& boot) {
    if (boot.type != FatType::Fat32) return std::nullopt;
    const std::uint32_t sector = boot.fsInfoSector;
    if (sector == 0 || sector >= boot.reservedSectors) return std::nullopt;
    std::vector<std::uint8_t> bytes(512);
    if (!volume.read(std::uint64_t(sector) * boot.bytesPerSector, bytes)) return std::nullopt;
    if (le32(bytes, 0) != 0x41615252 || le32(bytes, 484) != 0x61417272 ||
        le32(bytes, 508) != 0xAA550000)
        return std::nullopt;
    const std::uint32_t free = le32(bytes, 488);
    if (free == 0xFFFFFFFF) return std::nullopt;
    return free;
}

} // namespace kesp::fat
