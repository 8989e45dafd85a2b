#include "os/posix/folder_enum_posix.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kesp {

namespace {

constexpr std::size_t kBufferSize = 32 * 1024;

// The path as open() should see it: without the trailing separator, so that O_NOFOLLOW applies
// to the last component.
std::string withoutTrailingSlash(const std::string& path) {
    std::string out = path;
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

// Errors after which nothing more can be read from the volume.
bool volumeGone(int error) {
    return error == ENOTCONN || error == EIO || error == ENODEV || error == ENXIO ||
           error == ESTALE;
}

ListingFailure failureOf(int error) {
    return {std::strerror(error), volumeGone(error)};
}

class PosixListing final : public FolderListing {
public:
    // `device`: the file system the walk stays on. The buffer is left uninitialised: zeroing
    // 32 KiB per folder shows in a walk's profile.
    PosixListing(int fd, dev_t device, FolderId id)
        : fd_(fd), device_(device), id_(id), buffer_(new char[kBufferSize]) {}
    ~PosixListing() override { ::close(fd_); }
    PosixListing(const PosixListing&) = delete;
    PosixListing& operator=(const PosixListing&) = delete;

    bool next(FolderEntry& entry) override {
        while (buffer_) {
            if (offset_ >= filled_ && !refill()) return false;
            const auto* d = reinterpret_cast<const dirent64*>(buffer_.get() + offset_);
            offset_ += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            if (fill(entry, name, d->d_type)) return true;
        }
        return false;
    }

    std::optional<ListingFailure> failure() const override { return failure_; }
    // Device and inode: a bind mount or a looping mount below the root is still one folder.
    std::optional<FolderId> id() const override { return id_; }

    // st_size: the Linux exfat driver and exfat-fuse both give a folder's DataLength there.
    std::optional<std::uint64_t> storedBytes(const FolderEntry& subFolder) const override {
        struct stat st {};
        if (fstatat(fd_, subFolder.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISDIR(st.st_mode) || st.st_size < 0)
            return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }

    std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
        return openListing(fd_, entry.name, O_NOFOLLOW, device_);
    }

    // A folder opened relative to `at` (AT_FDCWD for a path). `walkDevice`: the file system the
    // walk stays on; none for a walk's root, which sets it.
    static std::unique_ptr<FolderListing> openListing(int at, const std::string& name, int flags,
                                                      std::optional<dev_t> walkDevice) {
        int fd;
        do {
            fd = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | flags);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return failedListing(failureOf(errno));
        struct stat st {};
        if (fstat(fd, &st) != 0) {
            const int error = errno;
            ::close(fd);
            return failedListing(failureOf(error));
        }
        auto listing = std::make_unique<PosixListing>(
            fd, walkDevice.value_or(st.st_dev),
            FolderId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)});
        // A FAT volume holds no other volume: a mount point below it lists empty.
        if (st.st_dev != listing->device_) listing->buffer_.reset();
        return listing;
    }

private:
    bool refill() {
        for (;;) {
            const ssize_t n = getdents64(fd_, buffer_.get(), kBufferSize);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failure_ = failureOf(errno);
            if (n <= 0) {
                // Only the descriptor is kept, for the sub-folders: a deep walk holds one
                // descriptor per level, not one buffer.
                buffer_.reset();
                return false;
            }
            filled_ = static_cast<std::size_t>(n);
            offset_ = 0;
            return true;
        }
    }

    // False when the entry is not delivered: it vanished between the listing and the stat, or
    // the volume went away.
    bool fill(FolderEntry& entry, const char* name, unsigned char type) {
        entry.name.assign(name);
        entry.cookie = 0;
        if (type == DT_DIR) {
            entry.isDirectory = true;
            entry.size = 0;
            return true;
        }
        struct stat st {};
        if (fstatat(fd_, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            if (error == ENOENT) return false;
            if (volumeGone(error)) {
                failure_ = failureOf(error);
                buffer_.reset();
                return false;
            }
            // Listed but not measurable (a folder without search permission): delivered as a
            // file of 0 bytes, and the folder reported as not wholly read.
            if (!failure_) failure_ = failureOf(error);
            entry.isDirectory = false;
            entry.size = 0;
            return true;
        }
        entry.isDirectory = S_ISDIR(st.st_mode);
        entry.size =
            entry.isDirectory || st.st_size < 0 ? 0 : static_cast<std::uint64_t>(st.st_size);
        return true;
    }

    const int fd_;
    const dev_t device_;
    const FolderId id_;
    std::unique_ptr<char[]> buffer_; // null once the folder is read, or never to be read
    std::size_t filled_ = 0;
    std::size_t offset_ = 0;
    std::optional<ListingFailure> failure_;
};

} // namespace

std::unique_ptr<FolderListing> PosixFolderEnumerator::open(const std::string& path) {
    const std::string target = withoutTrailingSlash(path);
    // Only the walk's root may be reached through a symbolic link.
    return PosixListing::openListing(AT_FDCWD, target, path == root_ ? 0 : O_NOFOLLOW,
                                     std::nullopt);
}

PosixFolderEnumerator::PosixFolderEnumerator() {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

} // namespace kesp
