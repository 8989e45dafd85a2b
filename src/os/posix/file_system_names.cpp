#include "os/posix/file_system_names.h"

#include <algorithm>
#include <iterator>

namespace kesp {
namespace {

template <std::size_t N> bool oneOf(std::string_view value, const std::string_view (&set)[N]) {
    return std::find(std::begin(set), std::end(set), value) != std::end(set);
}

} // namespace

std::string fileSystemName(std::string_view mountType, std::string_view probedType) {
    if (mountType == "fuseblk" && probedType == "exfat") return "exFAT";
    if (mountType == "ntfs" || mountType == "ntfs3" || mountType == "fuseblk") return "NTFS";
    if (mountType == "udf") return "UDF";
    if (mountType == "iso9660") return "CDFS";
    if (mountType == "exfat") return "exFAT";
    return std::string(mountType);
}

std::uint32_t capabilityFlags(std::string_view fs) {
    using namespace fsflag;
    if (fs == "FAT" || fs == "FAT32" || fs == "exFAT") return CasePreservedNames | UnicodeOnDisk;
    if (fs == "NTFS")
        return CaseSensitiveSearch | CasePreservedNames | UnicodeOnDisk | PersistentAcls |
               FileCompression | SparseFiles | ReparsePoints | NamedStreams;
    if (fs == "UDF" || fs == "CDFS")
        return CaseSensitiveSearch | CasePreservedNames | UnicodeOnDisk;

    static constexpr std::string_view kNative[] = {"ext2",   "ext3", "ext4",     "xfs",
                                                   "btrfs",  "f2fs", "jfs",      "reiserfs",
                                                   "nilfs2", "zfs",  "bcachefs", "tmpfs"};
    static constexpr std::string_view kAcls[] = {"ext2",  "ext3",     "ext4", "xfs",
                                                 "btrfs", "f2fs",     "jfs",  "reiserfs",
                                                 "zfs",   "bcachefs", "tmpfs"};
    static constexpr std::string_view kQuotas[] = {"ext2",  "ext3", "ext4", "xfs",
                                                   "btrfs", "f2fs", "jfs",  "reiserfs"};
    static constexpr std::string_view kCompression[] = {"btrfs", "f2fs", "zfs", "bcachefs"};
    static constexpr std::string_view kEncryption[] = {"ext4", "f2fs"};
    if (oneOf(fs, kNative)) {
        std::uint32_t flags =
            CaseSensitiveSearch | CasePreservedNames | SparseFiles | ReparsePoints;
        if (oneOf(fs, kAcls)) flags |= PersistentAcls;
        if (oneOf(fs, kQuotas)) flags |= VolumeQuotas;
        if (oneOf(fs, kCompression)) flags |= FileCompression;
        if (oneOf(fs, kEncryption)) flags |= Encryption;
        return flags;
    }
    if (fs == "squashfs" || fs == "erofs")
        return CaseSensitiveSearch | CasePreservedNames | ReparsePoints | VolumeIsCompressed;
    return 0;
}

std::uint32_t knownMaximumComponentLength(std::string_view fs) {
    return fs == "FAT" || fs == "FAT32" || fs == "exFAT" ? 255 : 0;
}

} // namespace kesp
