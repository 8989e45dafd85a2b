#pragma once
// What the tests set up on a POSIX system beyond std::filesystem: the user they run as, owners,
// FIFOs, the file system a folder lies on, folders deeper than any path, read-only mounts.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace kesp::test {

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}
inline unsigned userId() {
    return ::geteuid();
}

// A FIFO only its owner may use.
inline bool makeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}
// Opens the FIFO's writing end without waiting and closes it: a reader waiting for a writer
// goes on.
inline void touchFifoWriter(const std::string& path) {
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
}

// The name itself, links not followed.
struct FileFacts {
    bool exists = false;
    bool folder = false;
    unsigned mode = 0; // permission bits
    unsigned owner = 0;
};
inline FileFacts factsOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {};
    return {true, S_ISDIR(st.st_mode), unsigned(st.st_mode & 07777), unsigned(st.st_uid)};
}
inline bool giveTo(const std::string& path, unsigned user, unsigned group) {
    return ::chown(path.c_str(), user, group) == 0;
}

inline bool onSameFileSystem(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev;
}

// `levels` folders named `name`, each in the one before under `root`, each holding an empty file
// "f"; made relative to each new folder's descriptor, so the depth knows no path limit. False
// at the first step that fails.
inline bool makeDeepTree(const std::string& root, const std::string& name, int levels) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; fd >= 0 && level < levels; ++level) {
        ::close(::openat(fd, "f", O_WRONLY | O_CREAT, 0600));
        const int next = ::mkdirat(fd, name.c_str(), 0700) == 0
                             ? ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY)
                             : -1;
        ::close(fd);
        fd = next;
    }
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

inline bool remountReadOnly(const std::string& mountPoint) {
    return ::mount(nullptr, mountPoint.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

} // namespace kesp::test
