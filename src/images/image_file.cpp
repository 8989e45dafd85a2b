#include "images/image_file.h"

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

std::string notAnImage(const std::string& path) {
    return path + " n'est ni une image disque ni un périphérique bloc";
}

} // namespace

std::unique_ptr<ImageFile> ImageFile::open(const std::string& path, std::string& error) {
    // Opening a FIFO for reading waits for a writer, and no signal ends that wait: what cannot
    // be an image is refused before open().
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !readableAsImage(st)) {
        error = notAnImage(path);
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
        error = notAnImage(path);
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

} // namespace kesp
