#include "os/file_identity.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kesp {

namespace {

struct Located {
    int folder = -1; // descriptor of the folder that holds the name
    std::string name;
    ~Located() {
        if (folder >= 0) ::close(folder);
    }
};

bool locate(const std::string& path, Located& out) {
    const auto slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    out.name = slash == std::string::npos ? path : path.substr(slash + 1);
    out.folder = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return out.folder >= 0;
}

bool sameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string swappedCase(std::string name) {
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        c = static_cast<char>(std::islower(u) ? std::toupper(u) : std::tolower(u));
    }
    return name;
}

// An entry of the folder whose name has a letter, looked up with its case swapped: found as
// itself, or found though no entry has that name (a FUSE driver numbers each name it is asked
// for). nullopt when the folder has no such entry.
std::optional<bool> caseIgnoredByEntries(int folder) {
    const int copy = ::dup(folder);
    DIR* dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (dir == nullptr) {
        if (copy >= 0) ::close(copy);
        return std::nullopt;
    }
    std::set<std::string> names;
    while (const dirent* entry = ::readdir(dir))
        names.insert(entry->d_name);
    ::closedir(dir);
    for (const std::string& name : names) {
        const std::string swapped = swappedCase(name);
        struct stat a {};
        struct stat b {};
        if (swapped == name || ::fstatat(folder, name.c_str(), &a, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (::fstatat(folder, swapped.c_str(), &b, AT_SYMLINK_NOFOLLOW) != 0) return false;
        return sameInode(a, b) || names.count(swapped) == 0;
    }
    return std::nullopt;
}

// Asks the volume itself, whatever its driver (vfat, a FUSE FAT driver, exFAT ...): an entry
// of the folder, or else a probe file, looked up under its name with the case swapped.
bool ignoresCase(int folder) {
    if (const auto byEntries = caseIgnoredByEntries(folder)) return *byEntries;
    const std::string lower = ".kesp-case-" + std::to_string(::getpid());
    const std::string upper = swappedCase(lower);
    const int fd = ::openat(folder, lower.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat made {};
    struct stat found {};
    // Made just now under one name: whatever the other name finds is the same file.
    const bool same = ::fstat(fd, &made) == 0 &&
                      ::fstatat(folder, upper.c_str(), &found, AT_SYMLINK_NOFOLLOW) == 0;
    ::close(fd);
    ::unlinkat(folder, lower.c_str(), 0);
    return same;
}

} // namespace

bool sameOutputFile(const std::string& a, const std::string& b) {
    Located la;
    Located lb;
    if (!locate(a, la) || !locate(b, lb)) return false;
    struct stat fa {};
    struct stat fb {};
    if (::fstatat(la.folder, la.name.c_str(), &fa, 0) == 0 &&
        ::fstatat(lb.folder, lb.name.c_str(), &fb, 0) == 0 && sameInode(fa, fb))
        return true;
    struct stat da {};
    struct stat db {};
    if (::fstat(la.folder, &da) != 0 || ::fstat(lb.folder, &db) != 0 || !sameInode(da, db))
        return false;
    if (la.name == lb.name) return true;
    return equalIgnoringCase(la.name, lb.name) && ignoresCase(la.folder);
}

bool isWithinFolder(const std::string& path, const std::string& folder) {
    Located at;
    struct stat target {};
    if (!locate(path, at) || ::stat(folder.c_str(), &target) != 0) return false;
    // Up from the file's folder through "..", by descriptor, to the root of the file system tree.
    int fd = ::dup(at.folder);
    for (int steps = 0; fd >= 0 && steps < 4096; ++steps) {
        struct stat here {};
        // The walk stays on its folder's file system: a file on another one is not in its tree.
        if (::fstat(fd, &here) != 0 || here.st_dev != target.st_dev) break;
        if (sameInode(here, target)) {
            ::close(fd);
            return true;
        }
        const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat up {};
        const bool atRoot = parent < 0 || ::fstat(parent, &up) != 0 || sameInode(up, here);
        ::close(fd);
        fd = parent;
        if (atRoot) break;
    }
    if (fd >= 0) ::close(fd);
    return false;
}

} // namespace kesp
