#pragma once
// Environment and program facts from getenv, /proc/self/exe and stat.
#include "os/environment.h"

namespace kesp {

class PosixEnvironment : public ProgramEnvironment {
public:
    std::optional<std::string> variable(const std::string& name) override;
    std::string programFile() override;
    bool lastModified(const std::string& path, std::tm& local) override;
    // XDG_DOCUMENTS_DIR of user-dirs.dirs in XDG_CONFIG_HOME (~/.config), as xdg-user-dir reads
    // it, when that folder exists; else HOME, else the home folder of the password database.
    std::string documentsFolder() override;
};

// XDG_DOCUMENTS_DIR's folder in the text of a user-dirs.dirs file ("$HOME/Documents" with `home`
// put in for $HOME); empty when the file sets none, or sets the home folder itself (the way to
// turn the folder off).
std::string documentsInUserDirs(const std::string& userDirs, const std::string& home);

} // namespace kesp
