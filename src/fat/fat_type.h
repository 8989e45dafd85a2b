#pragma once
// The width of a FAT's entries: FAT12, FAT16 or FAT32.
#include <cstdint>
#include <string>

namespace kesp::fat {

enum class FatType { Fat12 = 12, Fat16 = 16, Fat32 = 32 };

// FAT12 and FAT16 are both "FAT", as Windows names them.
std::string fatTypeName(FatType type);

// The type for a count of data clusters: under 4085 FAT12, under 65525 FAT16, otherwise FAT32.
FatType fatTypeForClusters(std::uint64_t clusterCount);

} // namespace kesp::fat
