#pragma once
// Starting programs with CreateProcessW and handing documents and addresses to ShellExecuteW.
#include "os/launcher.h"

namespace kesp {

class Win32Launcher final : public ProgramLauncher {
public:
    // The exit status is not watched on Windows: `finished` is never called.
    LaunchResult
    start(const std::vector<std::string>& argv,
          std::function<void(int exitStatus, const std::string& stderrText)> finished) override;
    LaunchResult startWatched(
        const std::vector<std::string>& argv, int windowMs,
        std::function<void(int exitStatus, const std::string& stderrText)> failed) override;
    bool openWithDesktop(const std::string& pathOrAddress) override;
};

// argv as one command line, each element quoted the way CommandLineToArgvW splits it back.
std::wstring commandLine(const std::vector<std::string>& argv);

} // namespace kesp
