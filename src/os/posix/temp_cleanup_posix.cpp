#include "os/temp_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kesp {

int SupprimerFichiersTemporaires(const std::string& dossier) {
    DIR* dir = opendir(dossier.c_str());
    if (dir == nullptr) return 0;
    const int dirFd = dirfd(dir);
    const uid_t me = geteuid();
    int deleted = 0;
    while (const dirent* entry = readdir(dir)) {
        if (fnmatch("~qk*.tmp", entry->d_name, 0) != 0) continue;
        const int fd = openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {};
        struct stat named {};
        // Another instance's files carry its lock for as long as it runs. The lock is kept
        // until the name is gone, so that nobody takes the file in between.
        if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == me &&
            flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino &&
            unlinkat(dirFd, entry->d_name, 0) == 0)
            ++deleted;
        close(fd);
    }
    closedir(dir);
    return deleted;
}

} // namespace kesp
