#include "os/posix/environment.h"

#include <cstdlib>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kesp {

std::optional<std::string> PosixEnvironment::variable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::string PosixEnvironment::programFile() {
    std::string path(PATH_MAX, '\0');
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) return {};
        // readlink truncates silently: a full buffer may be a cut name.
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool PosixEnvironment::lastModified(const std::string& path, std::tm& local) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    return localtime_r(&st.st_mtime, &local) != nullptr;
}

} // namespace kesp
