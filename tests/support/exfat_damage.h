#pragma once
// Damage done in place to an exFAT image held in memory: an entry set found by its name, a field
// of its Stream Extension rewritten, the set's checksum made to hold again, as a faulty writer
// that keeps its checksums right leaves it.
#include <cstdint>
#include <span>
#include <string>

#include "fat/exfat_entry_set.h"

namespace kesp::test {

// The byte offset of `name`'s entry set, whose single File Name entry holds the name in UTF-16;
// npos when no set holds it.
inline std::size_t exfatSetOf(const std::string& bytes, const std::u16string& name) {
    std::string pattern;
    for (char16_t c : name) {
        pattern += char(c & 0xFF);
        pattern += char(c >> 8);
    }
    const auto at = bytes.find(pattern);
    return at == std::string::npos ? at : at - 2 - 64;
}

inline void resealExfatSet(std::string& bytes, std::size_t set) {
    const auto span = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()) + set, 96);
    const std::uint16_t sum = fat::exfatSetChecksum(span);
    bytes[set + 2] = char(sum & 0xFF);
    bytes[set + 3] = char(sum >> 8);
}

// The Stream Extension's fields, little-endian: FirstCluster (4 bytes) and DataLength (8).
inline constexpr std::size_t kExfatFirstCluster = 32 + 20;
inline constexpr std::size_t kExfatDataLength = 32 + 24;

inline std::uint64_t exfatField(const std::string& bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | std::uint8_t(bytes[at + std::size_t(i)]);
    return value;
}

inline void setExfatField(std::string& bytes, std::size_t at, int size, std::uint64_t value) {
    for (int i = 0; i < size; ++i)
        bytes[at + std::size_t(i)] = char(value >> (8 * i));
}

} // namespace kesp::test
