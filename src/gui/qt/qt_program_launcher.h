#pragma once
// Programs started through QProcess with an argument vector; the desktop opener is
// QDesktopServices.
#include <memory>

#include "os/launcher.h"

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

    // Children started with a `finished` callback that have not yet been reported.
    int running() const { return *running_; }

private:
    // Shared with the callbacks, which may run after this launcher is gone.
    std::shared_ptr<int> running_ = std::make_shared<int>(0);
};

} // namespace kesp
