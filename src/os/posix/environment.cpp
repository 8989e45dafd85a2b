#include "os/posix/environment.h"

#include <cstdlib>
#include <fstream>
#include <limits.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

std::string documentsInUserDirs(const std::string& userDirs, const std::string& home) {
    static const std::string key = "XDG_DOCUMENTS_DIR=";
    std::istringstream lines(userDirs);
    std::string line;
    std::string found;
    while (std::getline(lines, line)) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        // A value in double quotes, "$HOME/…" or an absolute path; "\" escapes the next character.
        const std::string quoted = line.substr(start + key.size());
        if (quoted.empty() || quoted.front() != '"') continue;
        std::string value;
        bool closed = false;
        for (std::size_t i = 1; i < quoted.size() && !closed; ++i) {
            if (quoted[i] == '\\' && i + 1 < quoted.size())
                value += quoted[++i];
            else if (quoted[i] == '"')
                closed = true;
            else
                value += quoted[i];
        }
        if (!closed) continue;
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            value = home + value.substr(5);
        else if (value.empty() || value.front() != '/')
            continue;
        found = value; // the last setting counts, as when the shell reads the file
    }
    while (found.size() > 1 && found.back() == '/')
        found.pop_back();
    std::string homeTrimmed = home;
    while (homeTrimmed.size() > 1 && homeTrimmed.back() == '/')
        homeTrimmed.pop_back();
    return found == homeTrimmed ? std::string() : found;
}

std::string PosixEnvironment::documentsFolder() {
    std::string home = variable("HOME").value_or("");
    if (home.empty()) {
        std::vector<char> buffer(16384);
        struct passwd entry {};
        struct passwd* result = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result)
            home = result->pw_dir;
    }
    std::string config = variable("XDG_CONFIG_HOME").value_or("");
    if (config.empty() || config.front() != '/') config = home.empty() ? "" : home + "/.config";
    if (!config.empty()) {
        std::ifstream file(config + "/user-dirs.dirs");
        std::stringstream text;
        text << file.rdbuf();
        const std::string documents = documentsInUserDirs(text.str(), home);
        struct stat st {};
        if (!documents.empty() && stat(documents.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return documents;
    }
    return home;
}

} // namespace kesp
