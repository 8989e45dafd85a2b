#include "fat/exfat_entry_set.h"

#include <algorithm>

#include "fat/byte_reader.h"
#include "fat/directory_entry.h"

namespace kesp::fat {
namespace {

constexpr std::uint8_t kEndOfFolder = 0x00;
constexpr std::uint8_t kInUse = 0x80;
constexpr std::uint8_t kSecondary = 0x40;
constexpr std::uint8_t kBitmap = 0x81;
constexpr std::uint8_t kUpcase = 0x82;
constexpr std::uint8_t kLabel = 0x83;
constexpr std::uint8_t kFile = 0x85;
constexpr std::uint8_t kGuid = 0xA0;
constexpr std::uint8_t kStream = 0xC0;
constexpr std::uint8_t kFileName = 0xC1;
constexpr std::uint8_t kVendorAllocation = 0xE1;
constexpr std::uint16_t kDirectory = 0x10;
constexpr std::uint8_t kNoFatChain = 0x02;
constexpr unsigned kUnitsPerNameEntry = 15;
constexpr unsigned kLabelUnits = 11;
constexpr const char* kReplacement = "\xEF\xBF\xBD"; // U+FFFD

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) {
    return a / b + (a % b != 0);
}

std::u16string units(std::span<const std::uint8_t> bytes, std::size_t count) {
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i)
        text += char16_t(le16(bytes, 2 * i));
    return text;
}

// Damage can spell names no driver would accept; the walk and the result files still need a
// non-empty name without separators or NULs.
void makeDeliverable(std::string& name) {
    if (name.empty()) name = kReplacement;
    const std::string_view forbidden("/\0", 2);
    for (auto at = name.find_first_of(forbidden); at != std::string::npos;
         at = name.find_first_of(forbidden, at))
        name.replace(at, 1, kReplacement);
}

std::string entriesText(std::size_t n) {
    return std::to_string(n) + (n > 1 ? " entrées" : " entrée");
}

} // namespace

std::uint64_t ExfatEntry::clusters(std::uint32_t clusterBytes) const {
    std::uint64_t total = ceilDiv(dataLength, clusterBytes);
    for (const ExfatExtent& extra : vendorAllocations)
        total += ceilDiv(extra.bytes, clusterBytes);
    return total;
}

std::uint16_t exfatSetChecksum(std::span<const std::uint8_t> set) {
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < set.size(); ++i) {
        if (i == 2 || i == 3) continue;
        sum = std::uint16_t(((sum & 1) ? 0x8000 : 0) + (sum >> 1) + set[i]);
    }
    return sum;
}

void ExfatEntryDecoder::noteVolumeEntry(std::span<const std::uint8_t> raw) {
    const ExfatExtent extent{le32(raw, 20), le64(raw, 24)};
    switch (raw[0]) {
    case kBitmap:
        facts_.bitmaps[raw[1] & 1] = extent;
        break;
    case kUpcase:
        facts_.upcase = extent;
        break;
    case kLabel:
        facts_.label =
            utf8FromUtf16(units(raw.subspan(2), std::min<unsigned>(raw[1], kLabelUnits)));
        break;
    case kGuid:
        facts_.hasGuid = true;
        break;
    default:
        // Padding, access-control tables, and entries of later revisions: none is a file.
        break;
    }
}

ExfatEntryDecoder::Result ExfatEntryDecoder::startSet(std::span<const std::uint8_t> raw) {
    const unsigned secondaries = raw[1];
    if (secondaries < 2) {
        // An interrupted set noted just before is the first problem: it is kept.
        if (problem_.empty())
            problem_ = "jeu d'entrées de " + entriesText(secondaries + 1) + " seulement";
        return Result::Skipped;
    }
    set_.assign(raw.begin(), raw.end());
    expected_ = secondaries + 1;
    return Result::Skipped;
}

ExfatEntryDecoder::Result ExfatEntryDecoder::finishSet(ExfatEntry& out) {
    expected_ = 0;
    const std::span<const std::uint8_t> set(set_);
    if (exfatSetChecksum(set) != le16(set, 2)) {
        problem_ = "somme de contrôle du jeu d'entrées fausse";
        return Result::Skipped;
    }
    const auto stream = set.subspan(32, 32);
    if (stream[0] != kStream) {
        problem_ = "jeu d'entrées sans extension de flux";
        return Result::Skipped;
    }
    const unsigned nameUnits = stream[3];
    const std::size_t nameEntries = ceilDiv(nameUnits, kUnitsPerNameEntry);
    const std::size_t entries = set.size() / 32;
    std::u16string name;
    for (std::size_t i = 0; i < nameEntries; ++i) {
        const std::size_t index = 2 + i;
        if (index >= entries || set[index * 32] != kFileName) {
            problem_ = "nom incomplet dans le jeu d'entrées (" + std::to_string(i) + " " +
                       (i > 1 ? "parties" : "partie") + " sur " + std::to_string(nameEntries) + ")";
            return Result::Skipped;
        }
        const std::size_t take = std::min<std::size_t>(kUnitsPerNameEntry, nameUnits - name.size());
        name += units(set.subspan(index * 32 + 2), take);
    }

    out.name = utf8FromUtf16(name);
    makeDeliverable(out.name);
    out.attributes = std::uint16_t(le16(set, 4));
    out.isDirectory = (out.attributes & kDirectory) != 0;
    out.noFatChain = (stream[1] & kNoFatChain) != 0;
    out.validDataLength = le64(stream, 8);
    out.firstCluster = le32(stream, 20);
    out.dataLength = le64(stream, 24);
    out.nameUnits = nameUnits;
    out.secondaryCount = unsigned(entries - 1);
    out.vendorAllocations.clear();
    for (std::size_t i = 2 + nameEntries; i < entries; ++i)
        if (set[i * 32] == kVendorAllocation)
            out.vendorAllocations.push_back({le32(set, i * 32 + 20), le64(set, i * 32 + 24)});
    return Result::Entry;
}

ExfatEntryDecoder::Result ExfatEntryDecoder::feed(std::span<const std::uint8_t> raw,
                                                  ExfatEntry& out) {
    problem_.clear();
    const std::uint8_t type = raw[0];
    const bool inUse = (type & kInUse) != 0;
    if (expected_ > 0) {
        if (inUse && (type & kSecondary)) {
            set_.insert(set_.end(), raw.begin(), raw.end());
            return set_.size() / 32 == expected_ ? finishSet(out) : Result::Skipped;
        }
        // The set ends before its count: none of it can be believed. The entry that cut it
        // short is read for what it is.
        problem_ = "jeu d'entrées interrompu (" + entriesText(set_.size() / 32) + " sur " +
                   std::to_string(expected_) + ")";
        expected_ = 0;
    }
    if (type == kEndOfFolder) return Result::End;
    if (!inUse) return Result::Skipped;
    if (type == kFile) return startSet(raw);
    // A secondary entry outside any set belongs to a primary entry that is not a file.
    if (!(type & kSecondary)) noteVolumeEntry(raw);
    return Result::Skipped;
}

} // namespace kesp::fat
