#include "platform/folder_check.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace kesp {

PathCheck checkFolder(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? PathCheck{PathKind::Missing, {}}
                               : PathCheck{PathKind::Unreachable, std::strerror(errno)};
    return {S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::NotFolder, {}};
}

} // namespace kesp
