#pragma once
// A fresh folder under /tmp (the user's temporary folder on Windows), removed with everything
// in it when the object goes. Big trees ask for a private tmpfs on it (when allowed to mount, as
// root): far faster to make and remove.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#ifdef _WIN32
#include <process.h>
#else
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace kesp::test {

class TempDir {
public:
    enum class Backing { Disk, MemoryIfPossible };

#ifdef _WIN32
    explicit TempDir(Backing = Backing::Disk) {
        static std::atomic<int> made{0};
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            const auto candidate =
                base / ("kesp-test-" + std::to_string(_getpid()) + "-" + std::to_string(made++));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) {
                path_ = candidate.string();
                break;
            }
            if (ec) std::abort();
        }
    }
#else
    explicit TempDir(Backing backing = Backing::Disk) {
        std::string pattern = "/tmp/kesp-test-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
        if (backing == Backing::MemoryIfPossible)
            inMemory_ = mount("kesp-test", path_.c_str(), "tmpfs", 0, "size=1g,mode=0700") == 0;
    }
#endif
    ~TempDir() {
#ifndef _WIN32
        if (inMemory_ && umount2(path_.c_str(), MNT_DETACH) == 0) {
            rmdir(path_.c_str());
            return;
        }
#endif
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const {
        return path_;
    }
    // `relative` below the folder.
    std::string operator/(const std::string& relative) const {
#ifdef _WIN32
        std::string native = relative;
        std::replace(native.begin(), native.end(), '/', '\\');
        return path_ + "\\" + native;
#else
        return path_ + "/" + relative;
#endif
    }

    // Writes `size` bytes (zeros) to a file below the folder; folders on the way are made.
    std::string file(const std::string& relative, std::size_t size) const {
        const std::string p = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(p).parent_path());
        std::ofstream(p, std::ios::binary) << std::string(size, '\0');
        return p;
    }
    std::string folder(const std::string& relative) const {
        const std::string p = *this / relative;
        std::filesystem::create_directories(p);
        return p;
    }

private:
    std::string path_;
    bool inMemory_ = false;
};

#ifndef _WIN32
// A 64 KiB tmpfs on an existing folder for the life of the object, when allowed to mount (root):
// a disk that fills up, or another file system below a walk's root.
class SmallTmpfs {
public:
    explicit SmallTmpfs(const std::string& path) : path_(path) {
        mounted_ = mount("kesp-test", path.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (!mounted_) reason_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
    }
    ~SmallTmpfs() {
        if (mounted_) umount(path_.c_str());
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }

private:
    std::string path_;
    bool mounted_ = false;
    std::string reason_;
};

#endif

// Reads a whole file as bytes.
inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace kesp::test
