#pragma once
// What Linux file systems are called and what they can do, in the terms of the volume-information
// query (the names and the twelve capability bits of the partition report).
#include <cstdint>
#include <string>
#include <string_view>

#include "os/volume_service.h"

namespace kesp {

// The name the volume query gives a mount type that is not FAT by its boot sector: ntfs, ntfs3
// and fuseblk "NTFS" (fuseblk is ntfs-3g's type unless the probed type says exFAT), udf "UDF",
// iso9660 "CDFS", exfat "exFAT"; every other type keeps its mount-table name.
std::string fileSystemName(std::string_view mountType, std::string_view probedType = {});

// The capability bits for a file-system name as fileSystemName (or the boot sector: "FAT",
// "FAT32") gives it. The mapping, from what the Linux drivers do:
//
//   FAT, FAT32, exFAT  case-preserved names, Unicode on disk (long names are UTF-16), as Windows
//                      reports FAT; lookups ignore case, no ACLs, links, sparse files or quotas.
//   NTFS               case-sensitive search (ntfs3 and ntfs-3g look names up exactly), case
//                      preserved, Unicode, ACLs (security descriptors), compression, sparse
//                      files, reparse points, named streams (as extended attributes).
//   UDF                case-sensitive search, case preserved, Unicode (OSTA compressed Unicode).
//   CDFS               case-sensitive search, case preserved, Unicode (Joliet and Rock Ridge).
//   native Linux file systems (ext2/3/4, xfs, btrfs, f2fs, jfs, reiserfs, nilfs2, bcachefs, zfs,
//   tmpfs): case-sensitive search and case preserved; names are bytes, not Unicode, so no
//   Unicode bit; sparse files; reparse points stand for symbolic links; ACLs for POSIX ACLs
//   where the driver has them; quotas where the driver enforces them; compression on btrfs and
//   f2fs; encryption (fscrypt) on ext4 and f2fs.
//   squashfs, erofs    case-sensitive, case preserved, links, and a compressed volume.
//   anything else      nothing is claimed (0): the driver is not known.
std::uint32_t capabilityFlags(std::string_view fileSystem);

// The longest name component, for FAT-family names (255, their long names); 0 for others, whose
// limit comes from statvfs.
std::uint32_t knownMaximumComponentLength(std::string_view fileSystem);

} // namespace kesp
