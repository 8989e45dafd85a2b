#pragma once
// Volume queries: the drive list, a volume's identity and its cluster geometry.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os/error_codes.h"

namespace kesp {

// What the volume-information query reports for one volume.
struct VolumeInformation {
    std::string name; // label; empty when the volume has none
    std::uint32_t serial = 0;
    std::string fileSystem;  // "FAT", "FAT32", "NTFS", "ext4" ...
    std::uint32_t flags = 0; // capability bits, decoded by the partition report
    std::uint32_t maxComponentLength = 0;
    // One French line the partition report adds about the volume (a layout some drivers
    // refuse); empty for most volumes.
    std::string remark;
};

// Capability bits of VolumeInformation::flags, as the Windows volume query reports them.
namespace fsflag {
inline constexpr std::uint32_t CaseSensitiveSearch = 0x1;
inline constexpr std::uint32_t CasePreservedNames = 0x2;
inline constexpr std::uint32_t UnicodeOnDisk = 0x4;
inline constexpr std::uint32_t PersistentAcls = 0x8;
inline constexpr std::uint32_t FileCompression = 0x10;
inline constexpr std::uint32_t VolumeQuotas = 0x20;
inline constexpr std::uint32_t SparseFiles = 0x40;
inline constexpr std::uint32_t ReparsePoints = 0x80;
inline constexpr std::uint32_t VolumeIsCompressed = 0x8000;
inline constexpr std::uint32_t ObjectIds = 0x10000;
inline constexpr std::uint32_t Encryption = 0x20000;
inline constexpr std::uint32_t NamedStreams = 0x40000;
} // namespace fsflag

class VolumeService {
public:
    virtual ~VolumeService() = default;
    // The drive list entries, as the drive list shows them.
    virtual std::vector<std::string> drives() = 0;
    // The root path named by a drive designation (a root path, a drive-list entry ...), ending
    // with the separator; nullopt when the designation names no volume.
    virtual std::optional<std::string> rootPath(const std::string& designation) = 0;
    // The root path that CalculCluster shows and queries for a Drive1 entry. Windows keeps the
    // entry's letter case ("c:\"); elsewhere it is rootPath(), or the entry itself when that
    // names no volume (the query then fails and the gate refuses the drive).
    virtual std::string entryRoot(const std::string& entry) {
        return rootPath(entry).value_or(entry);
    }
    // True when the root can be listed, empty or not (a drive without medium, a dead mount or an
    // unreadable root cannot).
    virtual bool probeRoot(const std::string& root) = 0;
    virtual bool volumeInformation(const std::string& root, VolumeInformation& info) = 0;
    virtual bool diskFreeSpace(const std::string& root, std::uint32_t& sectorsPerCluster,
                               std::uint32_t& bytesPerSector) = 0;
    // 0 when the volume at `root` is ready, else the platform error number
    // (kErrorDeviceUnavailable for a missing medium or a dead mount).
    virtual int readiness(const std::string& root) = 0;
    // The drive-list entry of the volume that holds `folder`; empty when none does.
    virtual std::string driveOf(const std::string& folder) = 0;
    // The volume's total size in megabytes (1024 x 1024 bytes); 0 when unknown.
    virtual std::uint64_t totalMegabytes(const std::string& root) = 0;
    // The same in bytes, exact where the backend knows it (a FAT boot sector's sector count).
    virtual std::uint64_t totalBytes(const std::string& root) {
        return totalMegabytes(root) * 1024 * 1024;
    }
};

} // namespace kesp
