#include "os/folder_check.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace kesp {

PathCheck checkFolder(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? PathCheck{PathKind::Missing, {}}
                               : PathCheck{PathKind::Unreachable, std::strerror(errno)};
    if (S_ISDIR(st.st_mode)) return {PathKind::Folder, {}};
    return {S_ISREG(st.st_mode) || S_ISBLK(st.st_mode) ? PathKind::NotFolder : PathKind::Special,
            {}};
}

} // namespace kesp
