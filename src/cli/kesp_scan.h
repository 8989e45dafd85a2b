#pragma once
// kesp-scan: the scan run of the window, for terminals, scripts and benchmarks.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "images/image_volumes.h"
#include "os/folder_enum.h"
#include "os/number_chars.h"
#include "os/output_files.h"
#include "os/ticks.h"
#include "os/volume_service.h"

namespace kesp {

// Exit statuses.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitCancelled = 130; // stopped without a signal number: as by SIGINT
// The walk ended, but folders could not be read or the volume stopped answering: the totals
// leave something out.
inline constexpr int kExitIncomplete = 3;

// `args` without the program name. Uses the POSIX services, reads LC_NUMERIC, treats SIGINT,
// SIGTERM, SIGHUP and a closed stdout as the cancel press (the exit status is then 128 + the
// signal), draws the status line on stderr when `err` is std::cerr on a terminal and escapes
// control bytes on whichever of stdout and stderr is one.
int runKespScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same with every service handed in (tests).
struct KespScanServices {
    FolderEnumerator& folders;
    TickCounter& ticks;
    OutputFiles& files;
    VolumeService& volumes;
    NumberChars chars;
    std::function<bool()> interrupted; // true once the user asked to stop
    bool statusOnErr = false;          // draw the status line on `err`
    ImageVolumes* images = nullptr;    // null: IMAGE arguments name nothing
    bool escapeOut = false;            // `out` is a terminal: control bytes escaped
    bool escapeErr = false;            // the same for `err`
    std::function<int()> stopSignal;   // the signal behind the stop, for the exit status
};
int runKespScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                KespScanServices& services);

} // namespace kesp
