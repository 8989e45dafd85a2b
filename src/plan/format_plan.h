#pragma once
// The format plan: for a volume size, every FAT layout mkfs.fat can make and every exFAT layout
// mkfs.exfat can make (with the SD Association's for a card), what the scanned tree would take and
// leave free on it, which drivers read it, which formatters choose it by default, the layouts to
// recommend, and per FAT width the smallest volume that holds the tree.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fat/exfat_format_layout.h"
#include "fat/format_layout.h"
#include "plan/formatter_defaults.h"
#include "scan/tree_tally.h"

namespace kesp::plan {

enum class Validity {
    Everywhere,      // "oui"
    DependsOnDriver, // "selon le pilote"
    DependsOnDevice, // "selon l'appareil": exFAT, which DOS, Windows 9x and small devices lack
    TooSmall,        // "trop petit": the tree does not fit
};

struct Defaults {
    bool mkfs = false; // mkfs.fat on a FAT row, mkfs.exfat on an exFAT row
    bool windows = false;
    bool sd = false;
};

struct PlanRow {
    fat::FormatLayout layout;              // a FAT row's
    std::optional<fat::ExfatLayout> exfat; // an exFAT row's; `layout` is then unused
    bool sdLayout = false;                 // the SD Association's layout of the card
    // Files, folders and the root (FAT32's chain, exFAT's root folder); on exFAT without the
    // bitmap and up-case table, which "Zone de données" holds besides.
    std::uint64_t usedClusters = 0;
    std::uint64_t occupiedBytes = 0;
    std::uint64_t lostBytes = 0; // file slack and the unused part of folder clusters
    std::uint64_t freeBytes = 0; // what is left after the copy; 0 when the tree does not fit
    Validity validity = Validity::Everywhere;
    Defaults defaults;

    // The volume cut in five, in bytes, for the bars: they add up to the volume size when the
    // tree fits.
    std::uint64_t fileBytes = 0;
    std::uint64_t slackBytes = 0;  // file slack only
    std::uint64_t folderBytes = 0; // whole folder clusters
    // Reserved sectors, FATs, fixed root and the unusable tail; on exFAT also the bitmap and
    // up-case table, and the card's first boundary unit for the SD layout.
    std::uint64_t systemBytes = 0;

    std::uint32_t clusterBytes() const {
        return exfat ? exfat->clusterBytes : layout.clusterBytes();
    }
};

struct MinimalSize {
    fat::FatType bits = fat::FatType::Fat12;
    std::uint64_t volumeBytes = 0; // 0: no volume of this width holds the tree
    std::uint32_t clusterBytes = 0;
};

struct FormatPlan {
    std::uint64_t volumeBytes = 0;
    // FAT12, FAT16, FAT32, exFAT, each by growing cluster size; then exFAT in the SD layout.
    std::vector<PlanRow> rows;
    std::optional<std::size_t> recommended;
    // The best 64 KiB row when it would leave more free space than the recommended one.
    std::optional<std::size_t> better64k;
    // For devices that read exFAT: the exFAT row that leaves the most free space.
    std::optional<std::size_t> recommendedExfat;
    std::array<MinimalSize, 3> minimal{};
};

// The row of one layout for `tally`, defaults not filled in.
PlanRow planRow(const fat::FormatLayout& layout, const TreeTally& tally, std::uint64_t volumeBytes);
// The same for an exFAT layout: folders by their entry sets, the root with its bitmap, up-case
// table and label entries.
PlanRow exfatPlanRow(const fat::ExfatLayout& layout, const TreeTally& tally,
                     std::uint64_t volumeBytes);

FormatPlan makePlan(const TreeTally& tally, std::uint64_t volumeBytes);

// The smallest volume of width `bits` on which every driver reads a layout that holds `tally`.
MinimalSize minimalSize(const TreeTally& tally, fat::FatType bits);

} // namespace kesp::plan
