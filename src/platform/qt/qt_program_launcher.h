#pragma once
// Programs started through QProcess with an argument vector; the desktop opener is
// QDesktopServices.
#include "platform/launcher.h"

namespace kesp {

class QtProgramLauncher : public ProgramLauncher {
public:
    // Without `finished` the program is started detached. With it, the program stays a child
    // until it exits; the callback then runs from the event loop.
    LaunchResult start(
        const std::vector<std::string>& argv,
        std::function<void(int exitStatus, const std::string& stderrText)> finished = {}) override;
    LaunchResult startWatched(
        const std::vector<std::string>& argv, int windowMs,
        std::function<void(int exitStatus, const std::string& stderrText)> failed) override;
    bool openWithDesktop(const std::string& pathOrAddress) override;
};

} // namespace kesp
