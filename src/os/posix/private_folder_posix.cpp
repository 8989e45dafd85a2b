#include "os/private_folder.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kesp {

bool isPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

bool makePrivateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    // Checked also when just made: the umask may have taken bits away, never added them.
    return isPrivateFolder(path);
}

std::string makeFreshPrivateFolder(const std::string& prefix) {
    std::string pattern = prefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) return {};
    return buffer.data();
}

std::string userTag() {
    return std::to_string(::geteuid());
}

std::string processTag() {
    return std::to_string(::getpid());
}

} // namespace kesp
