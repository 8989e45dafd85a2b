#pragma once
// Environment and program facts.
#include <ctime>
#include <optional>
#include <string>

namespace kesp {

class ProgramEnvironment {
public:
    virtual ~ProgramEnvironment() = default;
    // nullopt when unset.
    virtual std::optional<std::string> variable(const std::string& name) = 0;
    // Full path of the running program file.
    virtual std::string programFile() = 0;
    // Last-modified local date and time of `path`; false when it cannot be read.
    virtual bool lastModified(const std::string& path, std::tm& local) = 0;
    // The user's documents folder (xdg-user-dir DOCUMENTS on Linux, "Mes documents" on
    // Windows) when it exists, else the home folder; empty when neither is known.
    virtual std::string documentsFolder() = 0;
};

} // namespace kesp
