#include "fat/partition_table.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <set>
#include <string_view>

#include "fat/boot_sector.h"
#include "fat/exfat_boot_sector.h"

namespace kesp::fat {
namespace {

constexpr std::uint64_t kSector = 512;
// Logical partitions followed before an extended chain is called damaged.
constexpr int kMaximumLogical = 128;
constexpr std::uint32_t kMaximumGptEntries = 1024;

bool isExtended(std::uint8_t type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

std::string hexByte(std::uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02x", value);
    return text;
}

bool hasBootSignature(std::span<const std::uint8_t> sector) {
    return sector[510] == 0x55 && sector[511] == 0xAA;
}

// MBR entries are sane: boot flag 0x00 or 0x80, and a non-empty one starts after the table.
bool plausibleMbr(std::span<const std::uint8_t> sector) {
    for (int i = 0; i < 4; ++i) {
        const auto e = sector.subspan(446 + 16 * i, 16);
        if (e[0] != 0x00 && e[0] != 0x80) return false;
        if (e[4] != 0 && le32(e, 8) == 0) return false;
    }
    return true;
}

constexpr struct {
    const char* guid;
    const char* name;
} kGptTypes[] = {
    {"EBD0A0A2-B9E5-4433-87C0-68B6B72699C7", "Microsoft basic data"},
    {"C12A7328-F81F-11D2-BA4B-00A0C93EC93B", "EFI System"},
    {"E3C9E316-0B5C-4DB8-817D-F92DF00215AE", "Microsoft reserved"},
    {"DE94BBA4-06D1-4D40-A16A-BFD50179D6AC", "Windows recovery environment"},
    {"0FC63DAF-8483-4772-8E79-3D69D8477DE4", "Linux filesystem"},
    {"0657FD6D-A4AB-43C4-84E5-0933C84B4F4F", "Linux swap"},
    {"E6D6D379-F507-44C2-A23C-238F2A3DF928", "Linux LVM"},
    {"A19D880F-05FC-4D3B-A006-743F0F84911E", "Linux RAID"},
    {"21686148-6449-6E6F-744E-656564454649", "BIOS boot"},
    {"48465300-0000-11AA-AA11-00306543ECAC", "Apple HFS/HFS+"},
    {"7C3457EF-0000-11AA-AA11-00306543ECAC", "Apple APFS"},
};

// Fills `out` from the GPT behind a protective MBR; why nothing could be listed otherwise.
std::string readGpt(ByteReader& disk, std::vector<Partition>& out) {
    std::array<std::uint8_t, kSector> header{};
    if (!disk.read(kSector, header) || std::memcmp(header.data(), "EFI PART", 8) != 0)
        return "MBR protecteur sans table GPT derrière lui";
    const std::uint64_t entriesLba = le64(header, 72);
    const std::uint32_t count = le32(header, 80);
    const std::uint32_t entrySize = le32(header, 84);
    if (entrySize < 128 || entrySize > 4096 || count > kMaximumGptEntries ||
        entriesLba > disk.size() / kSector)
        return "en-tête GPT incohérent";
    std::vector<std::uint8_t> entry(entrySize);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!disk.read(entriesLba * kSector + std::uint64_t(i) * entrySize, entry))
            return out.empty() ? "entrées GPT hors de l'image" : "";
        const auto type = std::span<const std::uint8_t>(entry).first(16);
        if (std::all_of(type.begin(), type.end(), [](std::uint8_t b) { return b == 0; })) continue;
        const std::uint64_t first = le64(entry, 32);
        const std::uint64_t last = le64(entry, 40);
        if (last < first || last >= (std::uint64_t(1) << 54)) continue;
        Partition p;
        p.number = int(i) + 1;
        p.offset = first * kSector;
        p.size = (last - first + 1) * kSector;
        p.type = guidText(type);
        for (const auto& known : kGptTypes)
            if (p.type == known.guid) p.type = known.name;
        out.push_back(std::move(p));
    }
    return out.empty() ? "table GPT sans partition" : "";
}

// Follows the chain of EBRs from the extended partition's first sector; what went wrong in it.
std::string readExtended(ByteReader& disk, std::uint64_t extendedStart,
                         std::vector<Partition>& out) {
    std::array<std::uint8_t, kSector> ebr{};
    std::set<std::uint64_t> visited; // a chain that comes back would list its partitions again
    std::uint64_t at = extendedStart;
    for (int number = 5; number < 5 + kMaximumLogical; ++number) {
        if (!visited.insert(at).second)
            return "table de partitions étendue en boucle : chaque partition logique n'est "
                   "listée qu'une fois";
        if (!disk.read(at * kSector, ebr) || !hasBootSignature(ebr)) return {};
        const auto logical = std::span<const std::uint8_t>(ebr).subspan(446, 16);
        const auto link = std::span<const std::uint8_t>(ebr).subspan(462, 16);
        if (logical[4] != 0 && le32(logical, 12) != 0) {
            Partition p;
            p.number = number;
            p.offset = (at + le32(logical, 8)) * kSector;
            p.size = std::uint64_t(le32(logical, 12)) * kSector;
            p.type = hexByte(logical[4]);
            out.push_back(std::move(p));
        }
        if (!isExtended(link[4]) || le32(link, 8) == 0) return {};
        at = extendedStart + le32(link, 8);
    }
    return "plus de " + std::to_string(kMaximumLogical) +
           " partitions logiques : les suivantes ne sont pas listées";
}

// The file system whose boot sector `sector` is; empty when none is recognised.
std::string fileSystemIn(std::span<const std::uint8_t> sector) {
    if (const auto boot = parseFatBootSector(sector)) return fatTypeName(boot->type);
    const std::string_view oem(reinterpret_cast<const char*>(sector.data()) + 3, 8);
    if (oem == "NTFS    ") return "NTFS";
    if (oem == "EXFAT   ") return "exFAT";
    return {};
}

} // namespace

std::string guidText(std::span<const std::uint8_t> b) {
    char text[37];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  unsigned(le32(b, 0)), unsigned(le16(b, 4)), unsigned(le16(b, 6)), b[8], b[9],
                  b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

PartitionTable readPartitions(ByteReader& disk) {
    PartitionTable table;
    std::vector<Partition>& out = table.partitions;
    std::array<std::uint8_t, kSector> mbr{};
    if (!disk.read(0, mbr)) {
        table.problem = disk.size() == 0 ? "image vide"
                                         : "image trop courte pour une table de partitions ou un "
                                           "volume (" +
                                               std::to_string(disk.size()) + " octets)";
        return table;
    }
    if (!fileSystemIn(mbr).empty() || !hasBootSignature(mbr) || !plausibleMbr(mbr)) {
        // No table: the whole disk is the volume (boot sectors also end with 55 AA).
        out.push_back({0, 0, disk.size(), {}});
        return table;
    }
    for (int i = 0; i < 4; ++i) {
        const auto e = std::span<const std::uint8_t>(mbr).subspan(446 + 16 * i, 16);
        if (e[4] == 0xEE) {
            table.problem = readGpt(disk, out);
            return table;
        }
    }
    for (int i = 0; i < 4; ++i) {
        const auto e = std::span<const std::uint8_t>(mbr).subspan(446 + 16 * i, 16);
        const std::uint8_t type = e[4];
        if (type == 0 || le32(e, 12) == 0) continue;
        Partition p;
        p.number = i + 1;
        p.offset = std::uint64_t(le32(e, 8)) * kSector;
        p.size = std::uint64_t(le32(e, 12)) * kSector;
        p.type = hexByte(type);
        out.push_back(p);
        if (isExtended(type)) {
            std::string damage = readExtended(disk, le32(e, 8), out);
            if (table.problem.empty()) table.problem = std::move(damage);
        }
    }
    if (out.empty()) table.problem = "table MBR sans partition";
    return table;
}

std::string fileSystemOf(ByteReader& volume) {
    std::array<std::uint8_t, kSector> sector{};
    if (!volume.read(0, sector)) return {};
    return fileSystemIn(sector);
}

} // namespace kesp::fat
