#include "platform/image/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kesp {

std::unique_ptr<ImageFile> ImageFile::open(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int why = errno;
        error = (why == EACCES || why == EPERM ? "lecture de " + path + " non autorisée : "
                                               : "impossible d'ouvrir " + path + " : ") +
                std::strerror(why);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISBLK(st.st_mode))) {
        ::close(fd);
        error = path + " n'est ni une image disque ni un périphérique bloc";
        return nullptr;
    }
    // A block device's size comes from seeking to its end; st_size is 0 there.
    const off_t end = S_ISBLK(st.st_mode) ? ::lseek(fd, 0, SEEK_END) : st.st_size;
    if (end < 0) {
        error = "impossible de lire la taille de " + path + " : " + std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<ImageFile>(new ImageFile(fd, std::uint64_t(end)));
}

ImageFile::~ImageFile() {
    ::close(fd_);
}

bool ImageFile::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset) return false;
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) deviceError_ = errno;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

bool isImageCandidate(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode));
}

} // namespace kesp
