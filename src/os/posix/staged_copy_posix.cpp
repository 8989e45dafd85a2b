#include "os/staged_copy.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "os/own_file.h"

namespace kesp {
namespace {

std::string reasonOf(int err) {
    return std::strerror(err);
}

// Closes the descriptor on every path out.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

mode_t creationMode() {
    // What a plain creat(0666) would give; mkstemp alone would make the copy private.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

StagedCopy::StagedCopy(std::string temporary, std::string destination)
    : temporary_(std::move(temporary)), destination_(std::move(destination)) {}

StagedCopy::StagedCopy(StagedCopy&& other) noexcept
    : temporary_(std::exchange(other.temporary_, {})), destination_(std::move(other.destination_)) {
}

StagedCopy::~StagedCopy() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

std::optional<StagedCopy> StagedCopy::stage(const std::string& source,
                                            const std::string& destination, CopyError& error) {
    // The source is one of our result files: a link planted under its name is never followed,
    // nor is anything but a regular file of our own read (a FIFO would hang the copy).
    Fd in{::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK)};
    if (in.fd < 0) {
        const std::string refusal = errno == ELOOP ? ownFileRefusal(source) : std::string();
        error = {source, refusal.empty() ? reasonOf(errno) : refusal, true};
        return std::nullopt;
    }
    struct stat opened {};
    if (::fstat(in.fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != ::geteuid()) {
        error = {source, ownFileRefusal(source), true};
        if (error.reason.empty()) error.reason = "ce n'est pas un fichier ordinaire";
        return std::nullopt;
    }

    const auto slash = destination.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : destination.substr(0, slash + 1);
    const std::string name =
        slash == std::string::npos ? destination : destination.substr(slash + 1);
    // What would only fail at the rename is refused here, before any copy is put in place.
    const long nameMax = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if (nameMax > 0 && name.size() > static_cast<std::size_t>(nameMax)) {
        error = {destination, reasonOf(ENAMETOOLONG), false};
        return std::nullopt;
    }
    struct stat existing {};
    if (::stat(destination.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        error = {destination, reasonOf(EISDIR), false};
        return std::nullopt;
    }
    // Hidden, and short enough to stay a valid name whatever the length of the chosen one.
    std::string pattern = folder + "." + name.substr(0, 200) + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    Fd out{::mkstemp(buffer.data())};
    if (out.fd < 0) {
        error = {destination, reasonOf(errno), false};
        return std::nullopt;
    }
    StagedCopy staged(buffer.data(), destination);

    auto failWrite = [&](int err) {
        error = {destination, reasonOf(err), false};
        return std::nullopt;
    };
    if (::fchmod(out.fd, creationMode()) != 0) return failWrite(errno);

    std::vector<char> chunk(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in.fd, chunk.data(), chunk.size());
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = {source, reasonOf(errno), true};
            return std::nullopt;
        }
        if (!writeAll(out.fd, chunk.data(), static_cast<std::size_t>(n))) return failWrite(errno);
    }
    // A full disk may only show here, on file systems that allocate late.
    if (::fsync(out.fd) != 0) return failWrite(errno);
    const int fd = std::exchange(out.fd, -1);
    if (::close(fd) != 0) return failWrite(errno);
    return staged;
}

bool StagedCopy::commit(CopyError& error) {
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        error = {destination_, reasonOf(errno), false};
        return false;
    }
    temporary_.clear();
    return true;
}

} // namespace kesp
