#include "platform/temp_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kesp {

int SupprimerFichiersTemporaires(const std::string& dossier) {
    DIR* dir = opendir(dossier.c_str());
    if (dir == nullptr) return 0;
    const int fd = dirfd(dir);
    const uid_t me = geteuid();
    int deleted = 0;
    while (const dirent* entry = readdir(dir)) {
        if (fnmatch("~qk*.tmp", entry->d_name, 0) != 0) continue;
        struct stat st {};
        if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != me) continue;
        // Should the name be swapped for a link meanwhile, unlinkat removes the link, never
        // its target.
        if (unlinkat(fd, entry->d_name, 0) == 0) ++deleted;
    }
    closedir(dir);
    return deleted;
}

} // namespace kesp
