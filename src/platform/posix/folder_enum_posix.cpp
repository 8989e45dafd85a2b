#include "platform/posix/folder_enum_posix.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

class PosixListing final : public FolderListing {
public:
    explicit PosixListing(int fd) : fd_(fd), buffer_(fd >= 0 ? kBufferSize : 0) {}
    ~PosixListing() override {
        if (fd_ >= 0) ::close(fd_);
    }
    PosixListing(const PosixListing&) = delete;
    PosixListing& operator=(const PosixListing&) = delete;

    bool next(FolderEntry& entry) override {
        while (fd_ >= 0) {
            if (offset_ >= filled_ && !refill()) return false;
            const auto* d = reinterpret_cast<const dirent64*>(buffer_.data() + offset_);
            offset_ += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            if (fill(entry, name, d->d_type)) return true;
        }
        return false;
    }

private:
    bool refill() {
        for (;;) {
            const ssize_t n = getdents64(fd_, buffer_.data(), buffer_.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                // End of the folder, or it went away or became unreadable: what was read stands.
                ::close(fd_);
                fd_ = -1;
                return false;
            }
            filled_ = static_cast<std::size_t>(n);
            offset_ = 0;
            return true;
        }
    }

    // False when the entry vanished between the listing and the stat.
    bool fill(FolderEntry& entry, const char* name, unsigned char type) {
        entry.name.assign(name);
        if (type == DT_DIR) {
            entry.isDirectory = true;
            entry.size = 0;
            return true;
        }
        struct stat st {};
        if (fstatat(fd_, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) return false;
            // Listed but not measurable (a folder without search permission): a file of 0 bytes.
            entry.isDirectory = false;
            entry.size = 0;
            return true;
        }
        entry.isDirectory = S_ISDIR(st.st_mode);
        entry.size =
            entry.isDirectory || st.st_size < 0 ? 0 : static_cast<std::uint64_t>(st.st_size);
        return true;
    }

    int fd_;
    std::vector<char> buffer_;
    std::size_t filled_ = 0;
    std::size_t offset_ = 0;
};

} // namespace

void PosixFolderEnumerator::beginWalk(const std::string& root) {
    root_ = withoutTrailingSlash(root);
    struct stat st {};
    rootKnown_ = ::stat(root_.c_str(), &st) == 0;
    rootDevice_ = st.st_dev;
}

std::unique_ptr<FolderListing> PosixFolderEnumerator::open(const std::string& path) {
    const std::string target = withoutTrailingSlash(path);
    // Only the chosen folder may be reached through a symbolic link.
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (target == root_ ? 0 : O_NOFOLLOW);
    int fd;
    do {
        fd = ::open(target.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (rootKnown_ && (fstat(fd, &st) != 0 || st.st_dev != rootDevice_)) {
        ::close(fd);
        return std::make_unique<PosixListing>(-1); // another file system: no entry
    }
    return std::make_unique<PosixListing>(fd);
}

} // namespace kesp
