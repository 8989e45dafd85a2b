#include "plan/format_plan.h"

#include <bit>

#include "scan/cluster_sizes.h"

namespace kesp::plan {
namespace {

using fat::FatType;

constexpr FatType kWidths[] = {FatType::Fat12, FatType::Fat16, FatType::Fat32};

std::size_t sizeIndex(std::uint32_t clusterBytes) {
    return clusterSizeIndex(clusterBytes);
}

// exFAT's root holds the bitmap, up-case table and label entries besides the tree's.
constexpr std::uint64_t kExfatRootSystemEntries = 3;
// The exFAT layouts planned for: from 4 KiB, below which no formatter goes, to exFAT's largest.
constexpr std::uint32_t kSmallestExfatCluster = 4096;

// For devices that read exFAT, every row is one: most free space, ties to the larger cluster.
bool moreFree(const PlanRow& a, const PlanRow& b) {
    return a.freeBytes > b.freeBytes ||
           (a.freeBytes == b.freeBytes && a.clusterBytes() >= b.clusterBytes());
}

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

// Whether every common driver takes the cluster count for the width the volume claims.
bool readEverywhere(const fat::FormatLayout& layout) {
    const std::uint32_t n = layout.clusterCount;
    switch (layout.bits) {
    case FatType::Fat12:
        return n <= fat::kMaxFat12Clusters;
    case FatType::Fat16:
        return n >= fat::kMinFat16Clusters && n <= fat::kMaxFat16Clusters;
    case FatType::Fat32:
        return n >= fat::kMinFat32Clusters && n <= fat::kMaxFat32Clusters;
    }
    return false;
}

bool sameChoice(const std::optional<Choice>& choice, const fat::FormatLayout& layout) {
    return choice && choice->bits == layout.bits &&
           choice->sectorsPerCluster == layout.sectorsPerCluster;
}

} // namespace

PlanRow planRow(const fat::FormatLayout& layout, const TreeTally& tally,
                std::uint64_t volumeBytes) {
    PlanRow row;
    row.layout = layout;
    const std::uint64_t k = layout.clusterBytes();
    const std::size_t i = sizeIndex(layout.clusterBytes());
    const bool fat32 = layout.bits == FatType::Fat32;
    // mkfs.fat gives the FAT32 root its first cluster even when empty.
    const std::uint64_t rootClusters =
        fat32 ? std::max<std::uint64_t>(1, ceilDiv(tally.rootEntries * 32, k)) : 0;
    row.usedClusters = tally.fileClusters[i] + tally.folderClusters[i] + rootClusters;
    row.occupiedBytes = row.usedClusters * k;
    const std::uint64_t entryBytes = (tally.folderEntries + (fat32 ? tally.rootEntries : 0)) * 32;
    row.lostBytes = row.occupiedBytes - tally.fileBytes - entryBytes;
    const bool fits = row.usedClusters <= layout.clusterCount &&
                      (fat32 || tally.rootEntries <= layout.rootEntries);
    row.freeBytes = fits ? (layout.clusterCount - row.usedClusters) * k : 0;
    row.validity = !fits                    ? Validity::TooSmall
                   : readEverywhere(layout) ? Validity::Everywhere
                                            : Validity::DependsOnDriver;
    row.fileBytes = tally.fileBytes;
    row.slackBytes = tally.fileClusters[i] * k - tally.fileBytes;
    row.folderBytes = (tally.folderClusters[i] + rootClusters) * k;
    row.systemBytes = volumeBytes - layout.dataBytes();
    return row;
}

PlanRow exfatPlanRow(const fat::ExfatLayout& layout, const TreeTally& tally,
                     std::uint64_t volumeBytes) {
    PlanRow row;
    row.exfat = layout;
    const std::uint64_t k = layout.clusterBytes;
    const std::size_t i = sizeIndex(layout.clusterBytes);
    const std::uint64_t rootEntries = kExfatRootSystemEntries + tally.exfatRootEntries;
    // The formatter gives the root one cluster; a large root grows from there.
    const std::uint64_t rootClusters = exfatFolderBytes(rootEntries, k) / k;
    row.usedClusters = tally.fileClusters[i] + tally.exfatFolderClusters[i] + rootClusters;
    row.occupiedBytes = row.usedClusters * k;
    const std::uint64_t entryBytes = (tally.exfatFolderEntries + rootEntries) * 32;
    row.lostBytes = row.occupiedBytes - tally.fileBytes - entryBytes;
    const std::uint64_t metadata = std::uint64_t{layout.bitmapClusters} + layout.upcaseClusters;
    const bool fits = row.usedClusters + metadata <= layout.clusterCount;
    row.freeBytes = fits ? (layout.clusterCount - metadata - row.usedClusters) * k : 0;
    row.validity = fits ? Validity::DependsOnDevice : Validity::TooSmall;
    row.fileBytes = tally.fileBytes;
    row.slackBytes = tally.fileClusters[i] * k - tally.fileBytes;
    row.folderBytes = (tally.exfatFolderClusters[i] + rootClusters) * k;
    row.systemBytes = volumeBytes - layout.heapBytes() + metadata * k;
    return row;
}

FormatPlan makePlan(const TreeTally& tally, std::uint64_t volumeBytes) {
    FormatPlan plan;
    plan.volumeBytes = volumeBytes;
    const auto mkfs = fat::mkfsDefaultLayout(volumeBytes);
    const auto windows = windowsDefault(volumeBytes);
    const auto sd = sdDefault(volumeBytes);
    for (FatType bits : kWidths) {
        for (std::uint32_t spc = 1; spc <= 128; spc *= 2) {
            const auto layout = fat::mkfsLayout(bits, spc, volumeBytes);
            if (!layout) continue;
            PlanRow row = planRow(*layout, tally, volumeBytes);
            row.defaults.mkfs = mkfs && mkfs->bits == bits && mkfs->sectorsPerCluster == spc;
            row.defaults.windows = sameChoice(windows, *layout);
            row.defaults.sd = sameChoice(sd, *layout);
            plan.rows.push_back(row);
        }
    }
    const std::uint32_t mkfsExfat = fat::mkfsExfatDefaultClusterBytes(volumeBytes);
    const auto windowsExfat = windowsExfatDefault(volumeBytes);
    for (std::uint32_t k = kSmallestExfatCluster; k <= fat::kExfatMaximumClusterBytes; k *= 2) {
        const auto layout = fat::mkfsExfatLayout(volumeBytes, k);
        if (!layout) continue;
        PlanRow row = exfatPlanRow(*layout, tally, volumeBytes);
        row.defaults.mkfs = k == mkfsExfat;
        row.defaults.windows = windowsExfat == k;
        plan.rows.push_back(row);
    }
    if (const auto card = fat::sdExfatLayout(volumeBytes)) {
        PlanRow row = exfatPlanRow(*card, tally, volumeBytes);
        row.sdLayout = true;
        row.defaults.sd = true;
        plan.rows.push_back(row);
    }
    for (std::size_t r = 0; r < plan.rows.size(); ++r) {
        const PlanRow& row = plan.rows[r];
        if (row.validity == Validity::DependsOnDevice &&
            (!plan.recommendedExfat || moreFree(row, plan.rows[*plan.recommendedExfat])))
            plan.recommendedExfat = r;
    }
    // Valid for every driver, clusters of 32 KiB at most (DOS, Windows 9x and most devices),
    // most free space; ties to the larger cluster, which the growing order puts last.
    const auto better = [&](const std::optional<std::size_t>& best, std::size_t r) {
        if (!best) return true;
        const PlanRow& a = plan.rows[r];
        const PlanRow& b = plan.rows[*best];
        return a.freeBytes > b.freeBytes ||
               (a.freeBytes == b.freeBytes && a.layout.clusterBytes() >= b.layout.clusterBytes());
    };
    std::optional<std::size_t> best64k;
    for (std::size_t r = 0; r < plan.rows.size(); ++r) {
        const PlanRow& row = plan.rows[r];
        if (row.validity != Validity::Everywhere) continue;
        if (row.layout.clusterBytes() <= 32768) {
            if (better(plan.recommended, r)) plan.recommended = r;
        } else if (better(best64k, r)) {
            best64k = r;
        }
    }
    if (best64k && (!plan.recommended ||
                    plan.rows[*best64k].freeBytes > plan.rows[*plan.recommended].freeBytes))
        plan.better64k = best64k;
    for (std::size_t w = 0; w < 3; ++w)
        plan.minimal[w] = minimalSize(tally, kWidths[w]);
    return plan;
}

MinimalSize minimalSize(const TreeTally& tally, FatType bits) {
    MinimalSize best;
    best.bits = bits;
    const std::uint64_t ceiling = bits == FatType::Fat12   ? fat::kMaxFat12Clusters
                                  : bits == FatType::Fat16 ? fat::kMaxFat16Clusters
                                                           : fat::kMaxFat32Clusters;
    const std::uint64_t floor = bits == FatType::Fat12   ? 0
                                : bits == FatType::Fat16 ? fat::kMinFat16Clusters
                                                         : fat::kMinFat32Clusters;
    for (std::uint32_t spc = 1; spc <= 128; spc *= 2) {
        const std::uint64_t k = spc * fat::kSectorBytes;
        const auto holds = [&](const fat::FormatLayout& layout, std::uint64_t v) {
            return planRow(layout, tally, v).validity == Validity::Everywhere;
        };
        // Large enough: a layout every driver reads that has room for the tree, or past the
        // width's ceiling. Searched in KiB, the unit mkfs.fat sizes volumes in.
        const auto largeEnough = [&](std::uint64_t kib) {
            const std::uint64_t v = kib * 1024;
            const auto layout = fat::mkfsLayout(bits, spc, v);
            if (!layout) return v / k > ceiling;
            return layout->clusterCount >= floor &&
                   planRow(*layout, tally, v).validity != Validity::TooSmall;
        };
        std::uint64_t lo = 0, hi = (std::uint64_t{0xFFFFFFFF} * fat::kSectorBytes) / 1024;
        if (!largeEnough(hi)) continue;
        while (hi - lo > 1) {
            const std::uint64_t mid = lo + (hi - lo) / 2;
            (largeEnough(mid) ? hi : lo) = mid;
        }
        const std::uint64_t v = hi * 1024;
        const auto layout = fat::mkfsLayout(bits, spc, v);
        if (!layout || !holds(*layout, v)) continue;
        if (best.volumeBytes == 0 || v < best.volumeBytes) {
            best.volumeBytes = v;
            best.clusterBytes = static_cast<std::uint32_t>(k);
        }
    }
    return best;
}

} // namespace kesp::plan
