#include "plan/formatter_defaults.h"

// Sources of the tables:
// - Windows: Microsoft support article 140365, "Default cluster size for NTFS, FAT, and exFAT"
//   (FAT16: 7-16 MB 2 KB, 17-32 MB 512 B, then doubling per size doubling up to 64 KB at 4 GB;
//   FAT32: 33-64 MB 512 B, 65-128 MB 1 KB, 129-256 MB 2 KB, 257 MB-8 GB 4 KB, 8-16 GB 8 KB,
//   16-32 GB 16 KB; format offers no FAT32 above 32 GB).
// - SD: the SD Association's file-system rules for cards, as its SD Memory Card Formatter
//   applies them (reproduced by sdFormatLinux, github.com/profi200/sdFormatLinux,
//   source/format.cpp): up to 8 MB FAT12 8 KB, up to 64 MB FAT12 16 KB, up to 1 GB FAT16 16 KB,
//   up to 2 GB FAT16 32 KB, up to 32 GB FAT32 32 KB, exFAT above.
// - mkfs.fat: dosfstools 4.2 itself, see mkfsDefaultLayout.
// - exFAT: Windows from the same Microsoft article (7 MB-256 MB 4 KB, 256 MB-32 GB 32 KB,
//   32 GB-256 TB 128 KB); mkfs.exfat from exfatprogs 1.2.0 (fat::mkfsExfatDefaultClusterBytes);
//   the SD Association's format parameters for SDXC cards (fat::sdExfatParameters).

namespace kesp::plan {
namespace {

constexpr std::uint64_t MiB = 1ull << 20;

struct Step {
    std::uint64_t upTo; // bytes, inclusive
    std::uint32_t sectorsPerCluster;
};

} // namespace

std::optional<Choice> windowsDefault(std::uint64_t volumeBytes) {
    static constexpr Step fat32[] = {{64 * MiB, 1},   {128 * MiB, 2},    {256 * MiB, 4},
                                     {8192 * MiB, 8}, {16384 * MiB, 16}, {32768 * MiB, 32}};
    if (volumeBytes < 7 * MiB) return std::nullopt;
    if (volumeBytes > 32 * MiB) {
        for (const Step& step : fat32)
            if (volumeBytes <= step.upTo)
                return Choice{fat::FatType::Fat32, step.sectorsPerCluster};
        return std::nullopt;
    }
    // FAT: Windows takes 12 bits when the clusters are too few for 16.
    const std::uint32_t spc = volumeBytes <= 16 * MiB ? 4 : 1;
    const std::uint64_t clusters = volumeBytes / (spc * fat::kSectorBytes);
    return Choice{clusters < 4085 ? fat::FatType::Fat12 : fat::FatType::Fat16, spc};
}

std::optional<Choice> sdDefault(std::uint64_t volumeBytes) {
    struct SdStep {
        std::uint64_t upTo;
        fat::FatType bits;
        std::uint32_t sectorsPerCluster;
    };
    static constexpr SdStep table[] = {{8 * MiB, fat::FatType::Fat12, 16},
                                       {64 * MiB, fat::FatType::Fat12, 32},
                                       {1024 * MiB, fat::FatType::Fat16, 32},
                                       {2048 * MiB, fat::FatType::Fat16, 64},
                                       {32768 * MiB, fat::FatType::Fat32, 64}};
    for (const SdStep& step : table)
        if (volumeBytes <= step.upTo) return Choice{step.bits, step.sectorsPerCluster};
    return std::nullopt;
}

std::optional<std::uint32_t> windowsExfatDefault(std::uint64_t volumeBytes) {
    if (volumeBytes < 7 * MiB || volumeBytes > (std::uint64_t{256} << 40)) return std::nullopt;
    if (volumeBytes <= 256 * MiB) return 4096;
    if (volumeBytes <= 32768 * MiB) return 32768;
    return 131072;
}

} // namespace kesp::plan
