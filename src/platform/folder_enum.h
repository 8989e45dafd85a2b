#pragma once
// Folder enumeration: the entries of one folder, one at a time, as bytes.
#include <cstdint>
#include <memory>
#include <string>

namespace kesp {

// One entry of a folder. The name is the file system's bytes, never decoded.
struct FolderEntry {
    std::string name;
    bool isDirectory = false;
    std::uint64_t size = 0; // bytes; 0 for folders
};

// An open listing; released when destroyed.
class FolderListing {
public:
    virtual ~FolderListing() = default;
    // Fills `entry` with the next entry and returns true; false when none is left.
    // "." and ".." are never delivered.
    virtual bool next(FolderEntry& entry) = 0;
};

class FolderEnumerator {
public:
    virtual ~FolderEnumerator() = default;
    // Called once before a walk below `root`; the POSIX backend keeps the walk on root's file
    // system (a mount point below it lists as an empty folder).
    virtual void beginWalk(const std::string& root) = 0;
    // Called once the walk is over: nothing of it may stay open (a volume must stay unmountable
    // after a scan).
    virtual void endWalk() {}
    // `path` ends with the separator. nullptr when the folder cannot be listed (not fatal: the
    // caller treats it as a folder without entries).
    virtual std::unique_ptr<FolderListing> open(const std::string& path) = 0;
};

// The path separator of this build: "/" on POSIX, "\\" on Windows.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

} // namespace kesp
