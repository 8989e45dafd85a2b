#pragma once
// Environment and program facts from getenv, /proc/self/exe and stat.
#include "os/environment.h"

namespace kesp {

class PosixEnvironment : public ProgramEnvironment {
public:
    std::optional<std::string> variable(const std::string& name) override;
    std::string programFile() override;
    bool lastModified(const std::string& path, std::tm& local) override;
};

} // namespace kesp
