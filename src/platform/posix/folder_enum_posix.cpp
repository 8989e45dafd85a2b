#include "platform/posix/folder_enum_posix.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
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

} // namespace

// An open folder descriptor, shared by its listing and the enumerator's chain of parents.
struct PosixFolderEnumerator::OpenFolder {
    explicit OpenFolder(int fd) : fd(fd) {}
    ~OpenFolder() { ::close(fd); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    const int fd;
};

namespace {

using OpenFolder = PosixFolderEnumerator::OpenFolder;

class PosixListing final : public FolderListing {
public:
    // No folder: a listing without entries. The buffer is left uninitialised: zeroing 32 KiB
    // per folder shows in a walk's profile.
    explicit PosixListing(std::shared_ptr<OpenFolder> folder)
        : folder_(std::move(folder)), buffer_(folder_ ? new char[kBufferSize] : nullptr) {}

    bool next(FolderEntry& entry) override {
        while (folder_) {
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

private:
    bool refill() {
        for (;;) {
            const ssize_t n = getdents64(folder_->fd, buffer_.get(), kBufferSize);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                // End of the folder, or it went away or became unreadable: what was read stands.
                folder_.reset();
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
        if (fstatat(folder_->fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
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

    std::shared_ptr<OpenFolder> folder_;
    std::unique_ptr<char[]> buffer_;
    std::size_t filled_ = 0;
    std::size_t offset_ = 0;
};

// A mount point field of mountinfo, its octal escapes (\040 for a blank ...) decoded.
std::string unescapeMountPoint(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

// Every mount point of the table, pseudo file systems included; false when it cannot be read.
bool readMountPoints(const std::string& path, std::vector<std::string>& points) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        if (fields >> id >> parent >> device >> root >> point)
            points.push_back(unescapeMountPoint(point));
    }
    return true;
}

} // namespace

void PosixFolderEnumerator::beginWalk(const std::string& root) {
    chain_.clear();
    root_ = withoutTrailingSlash(root);
    mountsBelow_.clear();
    checkDevice_ = false;
    // The table holds real paths; the walk spells them from the root as it was given.
    char real[PATH_MAX];
    std::vector<std::string> points;
    if (realpath(root_.c_str(), real) && readMountPoints(mountInfo_, points)) {
        const std::string realRoot = real;
        const std::string realPrefix = realRoot == "/" ? "/" : realRoot + "/";
        const std::string walkPrefix = root_ == "/" ? "/" : root_ + "/";
        for (const std::string& point : points) {
            if (point.size() > realPrefix.size() &&
                point.compare(0, realPrefix.size(), realPrefix) == 0)
                mountsBelow_.insert(walkPrefix + point.substr(realPrefix.size()));
        }
        return;
    }
    struct stat st {};
    checkDevice_ = ::stat(root_.c_str(), &st) == 0;
    rootDevice_ = st.st_dev;
}

PosixFolderEnumerator::~PosixFolderEnumerator() = default;

std::unique_ptr<FolderListing> PosixFolderEnumerator::open(const std::string& path) {
    const std::string target = withoutTrailingSlash(path);
    // A FAT volume holds no other volume: the walk stays on the root's file system.
    if (!mountsBelow_.empty() && mountsBelow_.count(target))
        return std::make_unique<PosixListing>(nullptr);

    // Keep only the folders of the chain that lead to `path`; a child of the last one is opened
    // relative to it, which spares the walk of the whole path.
    while (!chain_.empty() && path.compare(0, chain_.back().first.size(), chain_.back().first) != 0)
        chain_.pop_back();
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    int fd;
    std::string_view name;
    if (!chain_.empty() && path.size() > chain_.back().first.size()) {
        name = std::string_view(path).substr(chain_.back().first.size());
        if (!name.empty() && name.back() == '/') name.remove_suffix(1);
    }
    if (!name.empty() && name.find('/') == std::string_view::npos) {
        const std::string child(name);
        do {
            fd = ::openat(chain_.back().second->fd, child.c_str(), flags | O_NOFOLLOW);
        } while (fd < 0 && errno == EINTR);
    } else {
        // Only the chosen folder may be reached through a symbolic link.
        do {
            fd = ::open(target.c_str(), flags | (target == root_ ? 0 : O_NOFOLLOW));
        } while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) return nullptr;
    auto folder = std::make_shared<OpenFolder>(fd);
    struct stat st {};
    if (checkDevice_ && (fstat(fd, &st) != 0 || st.st_dev != rootDevice_))
        return std::make_unique<PosixListing>(nullptr); // another file system: no entry
    if (chain_.size() < kChainDepth) chain_.emplace_back(path, folder);
    return std::make_unique<PosixListing>(std::move(folder));
}

} // namespace kesp
