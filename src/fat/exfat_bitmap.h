#pragma once
// The exFAT allocation bitmap, which alone says which clusters are in use: bit n stands for
// cluster n + 2, least significant bit first. Read in pieces, whatever the volume's size.
#include <cstdint>
#include <optional>
#include <string>

#include "fat/byte_reader.h"
#include "fat/exfat_boot_sector.h"
#include "fat/exfat_fat.h"

namespace kesp::fat {

// The clusters marked in use (bad clusters are marked too), counting only the bits of the
// volume's clusters. nullopt with `error` (French) when the bitmap is too short for the cluster
// count, lies outside the heap or cannot be read.
std::optional<std::uint64_t> countAllocatedClusters(ByteReader& volume, ExfatFat& fat,
                                                    const ExfatGeometry& geometry,
                                                    const ExfatExtent& bitmap, std::string& error);

} // namespace kesp::fat
