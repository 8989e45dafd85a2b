#include "os/posix/output_files_posix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kesp {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

std::string systemReason(int error) {
    return std::strerror(error);
}

// Why what stands under `path` may not be replaced by a file of ours; empty when it may (or
// when nothing is there).
std::string replaceRefusal(const std::string& path, struct stat& st, bool& exists) {
    exists = false;
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? std::string() : systemReason(errno);
    exists = true;
    if (S_ISLNK(st.st_mode)) return "le fichier est un lien symbolique";
    if (S_ISDIR(st.st_mode)) return systemReason(EISDIR);
    if (!S_ISREG(st.st_mode)) return "ce n'est pas un fichier ordinaire";
    if (st.st_uid != geteuid()) return "le fichier appartient à un autre utilisateur";
    // A hard link planted in a shared folder could name any file of ours.
    if (st.st_nlink > 1) return "le fichier a d'autres liens";
    // A file its owner made read-only is not replaced behind their back.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return systemReason(errno);
    return {};
}

mode_t creationMode() {
    // What a plain creat(0666) would give; mkstemp alone would make the file private.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

class PosixLineSink final : public LineSink {
public:
    PosixLineSink(PosixOutputFiles& owner, int fd, std::string temporary, std::string destination)
        : owner_(owner), fd_(fd), temporary_(std::move(temporary)),
          destination_(std::move(destination)) {
        buffer_.reserve(kBufferSize);
    }
    ~PosixLineSink() override {
        if (fd_ >= 0) ::close(fd_);
        if (!temporary_.empty()) ::unlink(temporary_.c_str());
    }
    PosixLineSink(const PosixLineSink&) = delete;
    PosixLineSink& operator=(const PosixLineSink&) = delete;

    bool writeLine(std::string_view line) override {
        if (!error_.empty() || closed_) return fail(error_.empty() ? EBADF : 0);
        if (buffer_.size() + line.size() + 2 > kBufferSize && !flush()) return false;
        if (line.size() + 2 > kBufferSize)
            return writeAll(line.data(), line.size()) && writeAll("\r\n", 2);
        buffer_.insert(buffer_.end(), line.begin(), line.end());
        buffer_.push_back('\r');
        buffer_.push_back('\n');
        return true;
    }

    bool close() override {
        if (closed_) return error_.empty();
        closed_ = true;
        // A full disk may only show at the sync, on file systems that allocate late.
        if (flush() && ::fsync(fd_) != 0 && errno != EINVAL) fail(errno);
        return error_.empty();
    }

    bool commit() override {
        if (!closed_ || !error_.empty() || temporary_.empty()) return fail(EBADF);
        const bool held = owner_.holds(destination_);
        // Locked before it takes the name, so that the name is never seen free.
        if (held && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) return fail(errno);
        if (::rename(temporary_.c_str(), destination_.c_str()) != 0) return fail(errno);
        temporary_.clear();
        if (held && owner_.replaceHeld(destination_, fd_)) fd_ = -1;
        return true;
    }

    std::string error() const override { return error_; }

private:
    bool fail(int error) {
        if (error_.empty() && error != 0) error_ = systemReason(error);
        return false;
    }

    bool flush() {
        if (!error_.empty()) return false;
        const bool ok = writeAll(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

    bool writeAll(const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                return fail(errno);
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    PosixOutputFiles& owner_;
    int fd_;
    std::string temporary_; // empty once committed
    std::string destination_;
    std::vector<char> buffer_;
    std::string error_;
    bool closed_ = false;
};

} // namespace

PosixOutputFiles::~PosixOutputFiles() {
    releaseAll();
}

std::unique_ptr<LineSink> PosixOutputFiles::create(const std::string& path, std::string& error) {
    struct stat existing {};
    bool exists = false;
    error = replaceRefusal(path, existing, exists);
    if (!error.empty()) return nullptr;

    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) {
        error = systemReason(EISDIR);
        return nullptr;
    }
    // Hidden, short enough for any folder, and never matching the clean-up's "~qk*.tmp".
    std::string pattern = folder + "." + name.substr(0, 200) + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) {
        error = systemReason(errno);
        return nullptr;
    }
    // Best effort: a FAT volume gives every file the mode of its mount options and refuses
    // any other.
    (void)::fchmod(fd, exists ? (existing.st_mode & 07777) : creationMode());
    return std::make_unique<PosixLineSink>(*this, fd, buffer.data(), path);
}

HoldResult PosixOutputFiles::hold(const std::string& path, std::string& error) {
    if (holds(path)) return HoldResult::Held;
    struct stat st {};
    bool exists = false;
    error = replaceRefusal(path, st, exists);
    if (!error.empty()) return HoldResult::Refused;
    // O_EXCL when nothing was there: a link planted since the check is not followed either way.
    const int flags =
        O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (exists ? 0 : O_CREAT | O_EXCL);
    const int fd = ::open(path.c_str(), flags, creationMode());
    if (fd < 0) {
        error = systemReason(errno);
        return HoldResult::Refused;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != geteuid()) {
        error = "ce n'est pas un fichier ordinaire";
        ::close(fd);
        return HoldResult::Refused;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int lockError = errno;
        ::close(fd);
        if (lockError == EWOULDBLOCK) return HoldResult::HeldByOther;
        error = systemReason(lockError);
        return HoldResult::Refused;
    }
    held_[path] = fd;
    return HoldResult::Held;
}

bool PosixOutputFiles::replaceHeld(const std::string& path, int fd) {
    const auto it = held_.find(path);
    if (it == held_.end()) return false;
    ::close(it->second);
    it->second = fd;
    return true;
}

void PosixOutputFiles::releaseAll() {
    for (const auto& [path, fd] : held_)
        ::close(fd);
    held_.clear();
}

} // namespace kesp
