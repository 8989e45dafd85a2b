#pragma once
// Starting another program without waiting for it (the document viewer, the browser, lp), and
// the desktop's own opener for when no such program is installed.
#include <functional>
#include <string>
#include <vector>

#include "os/error_codes.h"

namespace kesp {

struct LaunchResult {
    int error = 0;           // 0: started
    std::string description; // the system's description of `error`
};

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts argv[0] (looked up in PATH) with the other elements as its arguments, never through
    // a shell, and returns at once. error kErrorFileNotFound when the program does not exist.
    // When `finished` is given it is called later, on the caller's thread, with the exit status
    // (-1 when the program crashed) and what the program wrote to its standard error; whatever it
    // captures must outlive the program.
    virtual LaunchResult
    start(const std::vector<std::string>& argv,
          std::function<void(int exitStatus, const std::string& stderrText)> finished = {}) = 0;
    // Starts argv as start() does and watches it for `windowMs`: when it exits by then with a
    // non-zero status, or crashes (-1), `failed` is called later, on the caller's thread, with
    // the status and its standard error. Past the window it is left to run and nothing is
    // reported: an opener such as xdg-open fails at once but may then stay with the browser for
    // hours.
    virtual LaunchResult
    startWatched(const std::vector<std::string>& argv, int windowMs,
                 std::function<void(int exitStatus, const std::string& stderrText)> failed) = 0;
    // Hands an absolute local path or an address ("https:", "mailto:") to the desktop's own
    // opener. False when the desktop could not take it; no reason is given.
    virtual bool openWithDesktop(const std::string& pathOrAddress) = 0;
};

// How long an opener is watched for a failure of its own: xdg-open exits within a fraction of a
// second when no application takes the document.
inline constexpr int kOpenerWatchMs = 3000;

// Opens a document or an address with xdg-open; without xdg-open, with the desktop's own opener,
// and then a failure has nothing to report. Returns the failure of an xdg-open that exists but
// could not be started, error 0 otherwise.
inline LaunchResult openDocument(ProgramLauncher& launcher, const std::string& pathOrAddress) {
    LaunchResult result = launcher.start({"xdg-open", pathOrAddress});
    if (result.error != kErrorFileNotFound) return result;
    launcher.openWithDesktop(pathOrAddress);
    return {};
}

} // namespace kesp
