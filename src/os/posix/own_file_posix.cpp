#include "os/own_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kesp {

std::string ownFileRefusal(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::strerror(errno);
    if (S_ISLNK(st.st_mode)) return "le fichier est un lien symbolique";
    if (!S_ISREG(st.st_mode)) return "ce n'est pas un fichier ordinaire";
    if (st.st_uid != ::geteuid()) return "le fichier appartient à un autre utilisateur";
    return {};
}

} // namespace kesp
