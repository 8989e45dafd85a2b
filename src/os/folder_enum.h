#pragma once
// Folder enumeration: the entries of one folder, one at a time, as bytes. A listing opens its
// own sub-folders from the entries it delivered, so a walk never resolves a path twice and is
// not bounded by the length of one.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kesp {

// One entry of a folder. The name is the file system's bytes, never decoded.
struct FolderEntry {
    std::string name;
    bool isDirectory = false;
    // Bytes. For a folder, opaque to the walk like the cookie (an exFAT image keeps its length
    // there); 0 where the listing has no use for it.
    std::uint64_t size = 0;
    // Opaque to the walk: what the listing that delivered the entry needs to open it as a folder
    // (a first cluster in an image; unused where the name is enough).
    std::uint64_t cookie = 0;
};

// Why a folder, or the rest of it, could not be read.
struct ListingFailure {
    std::string reason; // the system's words
    // The volume stopped answering (a dead mount, an I/O error, a device gone): nothing more can
    // be read from it, so the walk stops.
    bool volumeLost = false;
};

// Who a folder is, walk-wide: a device and an inode on a mount, a first cluster in an image.
struct FolderId {
    std::uint64_t volume = 0;
    std::uint64_t node = 0;
    bool operator==(const FolderId&) const = default;
};

// An open folder; released when destroyed.
class FolderListing {
public:
    virtual ~FolderListing() = default;
    // Fills `entry` with the next entry and returns true; false at the end of the folder or when
    // it cannot be read further. "." and ".." are never delivered.
    virtual bool next(FolderEntry& entry) = 0;
    // Once next() has returned false: why the folder was not read to its end; nullopt when it was.
    virtual std::optional<ListingFailure> failure() const { return std::nullopt; }
    // Who this folder is, so a walk enters it once however many entries lead to it; nullopt
    // where the listing cannot tell (every folder is then taken as new).
    virtual std::optional<FolderId> id() const { return std::nullopt; }
    // The bytes the sub-folder `subFolder`, which this listing delivered, occupies as its file
    // system stores it (the length of an exFAT folder's entry); nullopt where the listing cannot
    // tell. Asked only where folders have no fixed size (exFAT).
    virtual std::optional<std::uint64_t> storedBytes(const FolderEntry& subFolder) const {
        (void)subFolder;
        return std::nullopt;
    }
    // Opens the sub-folder `entry`, which this listing delivered; callable after next() returned
    // false, for as long as this listing lives. Never null: a folder that cannot be opened gives a
    // listing without entries whose failure() says why.
    virtual std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) = 0;
};

class FolderEnumerator {
public:
    virtual ~FolderEnumerator() = default;
    // Called once before a walk below `root`.
    virtual void beginWalk(const std::string& root) { (void)root; }
    // Called once the walk is over: nothing of it may stay open (a volume must stay unmountable
    // after a scan).
    virtual void endWalk() {}
    // Opens a folder by its path, which ends with the separator: a walk's root, or a folder the
    // folder tree shows. Never null (see openChild).
    virtual std::unique_ptr<FolderListing> open(const std::string& path) = 0;
    // The separator of the paths below `root`: the system's for a host folder, "/" in an image
    // on every system.
    virtual char separatorFor(const std::string& root) const;
};

// A listing without entries that reports `failure`.
std::unique_ptr<FolderListing> failedListing(ListingFailure failure);

// The path separator of this build: "/" on POSIX, "\\" on Windows.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

} // namespace kesp
