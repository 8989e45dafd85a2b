#pragma once
#include "os/environment.h"

namespace kesp {

class Win32Environment final : public ProgramEnvironment {
public:
    std::optional<std::string> variable(const std::string& name) override;
    std::string programFile() override;
    bool lastModified(const std::string& path, std::tm& local) override;
    // The shell's "Documents" folder, else USERPROFILE.
    std::string documentsFolder() override;
};

} // namespace kesp
