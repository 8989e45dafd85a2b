#pragma once
// The FSInfo sector of a FAT32 volume: the free-cluster count the volume keeps for quick display,
// which devices and tools show as is and which is often wrong.
#include <cstdint>
#include <optional>

#include "fat/boot_sector.h"
#include "fat/byte_reader.h"

namespace kesp::fat {

// The free count the FSInfo sector states; nullopt when the volume is not FAT32, has no FSInfo
// sector, its signatures are wrong (fsck.fat then ignores the sector too) or it states none
// (0xFFFFFFFF, "unknown").
std::optional<std::uint32_t> fsInfoFreeCount(ByteReader& volume, const FatBootSector& boot);

} // namespace kesp::fat
