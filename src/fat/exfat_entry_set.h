#pragma once
// exFAT folder entries of 32 bytes, gathered into entry sets in on-disk order: a File entry
// (0x85), its Stream Extension (0xC0), then File Name entries (0xC1) of 15 UTF-16 units each,
// checked against the set's checksum before anything in them is believed. Deleted entries and
// the volume's own entries (bitmap, up-case table, label, GUID, padding) are never files.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fat/exfat_fat.h"

namespace kesp::fat {

// What a sub-folder is opened with: where its entries lie and how far they go.
struct ExfatFolder {
    std::uint32_t firstCluster = 0;
    std::uint64_t dataLength = 0; // the folder's whole allocation, in bytes
    bool noFatChain = false;      // one contiguous run: the FAT is not read
};

struct ExfatEntry {
    std::string name; // UTF-8, never empty, without "/" or NUL
    bool isDirectory = false;
    std::uint16_t attributes = 0;
    // The size users see, and what the allocation follows: ceil(dataLength / cluster size)
    // clusters. validDataLength only says how much of it was written.
    std::uint64_t dataLength = 0;
    std::uint64_t validDataLength = 0;
    std::uint32_t firstCluster = 0;
    bool noFatChain = false;
    unsigned nameUnits = 0;      // the name's length in UTF-16 units, 1 to 255
    unsigned secondaryCount = 0; // entries of the set after the File entry
    // Clusters that Vendor Allocation entries (0xE1) of the set hold besides the data.
    std::vector<ExfatExtent> vendorAllocations;

    // 32-byte entries the set takes in its folder.
    unsigned setEntries() const { return 1 + secondaryCount; }
    // Clusters the entry holds: its data and any vendor allocation.
    std::uint64_t clusters(std::uint32_t clusterBytes) const;
    ExfatFolder folder() const { return {firstCluster, dataLength, noFatChain}; }
};

// The volume's own entries, met in the root folder.
struct ExfatRootFacts {
    std::optional<ExfatExtent> bitmaps[2]; // by BitmapFlags bit 0 (the second only with TexFAT)
    std::optional<ExfatExtent> upcase;
    std::optional<std::string> label; // UTF-8; empty when the label entry holds none
    bool hasGuid = false;
};

// The checksum of an entry set (all its entries), its own bytes 2 and 3 left out.
std::uint16_t exfatSetChecksum(std::span<const std::uint8_t> set);

// Feeds a folder's entries one at a time, in order.
class ExfatEntryDecoder {
public:
    enum class Result { Skipped, Entry, End };

    // `raw` is 32 bytes. Entry: `out` holds a file or folder to deliver. Skipped: part of a set
    // still incomplete, a deleted or volume-level entry, or a set thrown away (then problem()
    // says why). End: the end-of-folder marker, after which nothing belongs to the folder.
    Result feed(std::span<const std::uint8_t> raw, ExfatEntry& out);

    // Set by the feed that threw a set away (French), cleared by the next one.
    const std::string& problem() const { return problem_; }
    const ExfatRootFacts& rootFacts() const { return facts_; }
    // Whether a set has begun and not ended: at the end of a folder, one cut short.
    bool gathering() const { return expected_ > 0; }

private:
    Result startSet(std::span<const std::uint8_t> raw);
    Result finishSet(ExfatEntry& out);
    void noteVolumeEntry(std::span<const std::uint8_t> raw);

    std::vector<std::uint8_t> set_; // the entries gathered, the File entry first
    unsigned expected_ = 0;         // entries the set holds; 0 when none is being gathered
    std::string problem_;
    ExfatRootFacts facts_;
};

} // namespace kesp::fat
