#pragma once
// The mount table as /proc/self/mountinfo gives it, reduced to the volumes a user can scan.
#include <string>
#include <string_view>
#include <vector>

namespace kesp {

struct MountEntry {
    std::string mountPoint; // decoded (\040 and the other octal escapes)
    std::string type;       // "ext4", "vfat", "fuse.fusefat" ...
    std::string source;     // device, image path or a free word ("fusefat", "none")
    std::string options;    // per-mount options, then the super-block options
};

// Kernel pseudo file systems (proc, sysfs, cgroup ...): not volumes.
bool isPseudoFileSystem(std::string_view type);

// Parses mountinfo text. Malformed lines, pseudo file systems and whatever is mounted below one
// are dropped; a mount point that is mounted over several times appears once, with the last
// (visible) mount, at the place of its first appearance.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// The mounts the drive list offers: memory file systems (tmpfs, ramfs, devtmpfs, overlay) left
// out unless mounted at "/", the mount at "/" first, then the others by mount point.
std::vector<MountEntry> listedDrives(std::vector<MountEntry> mounts);

// Reads and parses a mountinfo file; empty when it cannot be read.
std::vector<MountEntry> readMountTable(const std::string& path);

// The mount that holds `realPath` (an absolute path without "." or ".." parts or links): the
// longest mount point that is `realPath` or one of its parent folders. nullptr when none does.
const MountEntry* mountHolding(const std::vector<MountEntry>& mounts, std::string_view realPath);

} // namespace kesp
