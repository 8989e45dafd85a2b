#include "platform/posix/output_files_posix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kesp {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

std::string systemReason(int error) {
    return std::strerror(error);
}

class PosixLineSink final : public LineSink {
public:
    explicit PosixLineSink(int fd) : fd_(fd) { buffer_.reserve(kBufferSize); }
    ~PosixLineSink() override { close(); }
    PosixLineSink(const PosixLineSink&) = delete;
    PosixLineSink& operator=(const PosixLineSink&) = delete;

    bool writeLine(std::string_view line) override {
        if (!error_.empty() || fd_ < 0) return fail(error_.empty() ? EBADF : 0);
        if (buffer_.size() + line.size() + 2 > kBufferSize && !flush()) return false;
        if (line.size() + 2 > kBufferSize)
            return writeAll(line.data(), line.size()) && writeAll("\r\n", 2);
        buffer_.insert(buffer_.end(), line.begin(), line.end());
        buffer_.push_back('\r');
        buffer_.push_back('\n');
        return true;
    }

    bool close() override {
        if (fd_ < 0) return error_.empty();
        const bool flushed = flush();
        const int rc = ::close(fd_);
        fd_ = -1;
        if (rc != 0 && flushed) return fail(errno);
        return flushed;
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

    int fd_;
    std::vector<char> buffer_;
    std::string error_;
};

} // namespace

std::unique_ptr<LineSink> PosixOutputFiles::create(const std::string& path, std::string& error) {
    // No O_TRUNC before the checks; O_NONBLOCK so that a FIFO planted there cannot hang us.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        const int openError = errno;
        struct stat st {};
        if (openError == ELOOP && lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            error = "le fichier est un lien symbolique";
        } else {
            error = systemReason(openError);
        }
        return nullptr;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        error = systemReason(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error = "ce n'est pas un fichier ordinaire";
    } else if (st.st_uid != geteuid()) {
        error = "le fichier appartient à un autre utilisateur";
    } else if (st.st_nlink > 1) {
        // A hard link planted in a shared folder could name any file of ours.
        error = "le fichier a d'autres liens";
    } else if (ftruncate(fd, 0) != 0) {
        error = systemReason(errno);
    } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error = systemReason(errno);
    } else {
        return std::make_unique<PosixLineSink>(fd);
    }
    ::close(fd);
    return nullptr;
}

} // namespace kesp
