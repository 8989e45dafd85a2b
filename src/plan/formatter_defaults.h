#pragma once
// The layouts formatters choose when told nothing but the volume's size.
#include <cstdint>
#include <optional>

#include "fat/format_layout.h"

namespace kesp::plan {

struct Choice {
    fat::FatType bits;
    std::uint32_t sectorsPerCluster;
};

// The format command of current Windows: FAT32 where it offers it (above 32 MiB, up to 32 GiB),
// FAT below; nullopt outside its tables.
std::optional<Choice> windowsDefault(std::uint64_t volumeBytes);

// The SD Association's card formatter, taking the volume for the card; nullopt above 32 GiB,
// where it writes exFAT (fat::sdExfatLayout).
std::optional<Choice> sdDefault(std::uint64_t volumeBytes);

// The cluster size Windows' format command gives an exFAT volume: 4 KiB from 7 MB, 32 KiB above
// 256 MB, 128 KiB above 32 GB up to 256 TB; nullopt outside.
std::optional<std::uint32_t> windowsExfatDefault(std::uint64_t volumeBytes);

} // namespace kesp::plan
