#include "os/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kesp {
namespace {

bool readableAsImage(const struct stat& st) {
    return S_ISREG(st.st_mode) || S_ISBLK(st.st_mode);
}

class PosixReadOnlyFile final : public ReadOnlyFile {
public:
    PosixReadOnlyFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~PosixReadOnlyFile() override { ::close(fd_); }
    PosixReadOnlyFile(const PosixReadOnlyFile&) = delete;
    PosixReadOnlyFile& operator=(const PosixReadOnlyFile&) = delete;

    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;
    std::uint64_t size() const override { return size_; }
    std::string deviceFailure() const override { return failure_; }

private:
    int fd_;
    std::uint64_t size_;
    std::string failure_;
};

bool PosixReadOnlyFile::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset) return false;
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failure_ = std::strerror(errno);
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

} // namespace

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::string& path, std::string& error) {
    // Opening a FIFO for reading waits for a writer, and no signal ends that wait: what cannot
    // be an image is refused before open().
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !readableAsImage(st)) {
        error = notAnImageText(path);
        return nullptr;
    }
    // Should the name have been replaced in between, the open still does not wait, and the
    // descriptor's own type is checked again.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int why = errno;
        error = (why == EACCES || why == EPERM ? "lecture de " + path + " non autorisée : "
                                               : "impossible d'ouvrir " + path + " : ") +
                std::strerror(why);
        return nullptr;
    }
    if (::fstat(fd, &st) != 0 || !readableAsImage(st)) {
        ::close(fd);
        error = notAnImageText(path);
        return nullptr;
    }
    // Reads block as usual: a file system (FUSE) may otherwise answer EAGAIN.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // A block device's size comes from seeking to its end; st_size is 0 there.
    const off_t end = S_ISBLK(st.st_mode) ? ::lseek(fd, 0, SEEK_END) : st.st_size;
    if (end < 0) {
        error = "impossible de lire la taille de " + path + " : " + std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixReadOnlyFile>(fd, std::uint64_t(end));
}

} // namespace kesp
