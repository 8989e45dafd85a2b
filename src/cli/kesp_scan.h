#pragma once
// kesp-scan: the scan run of the window, for terminals, scripts and benchmarks.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/folder_enum.h"
#include "platform/image_volumes.h"
#include "platform/number_chars.h"
#include "platform/output_files.h"
#include "platform/ticks.h"
#include "platform/volume_service.h"

namespace kesp {

// Exit statuses.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitCancelled = 130;
// The walk ended, but folders could not be read or the volume stopped answering: the totals
// leave something out.
inline constexpr int kExitIncomplete = 3;

// `args` without the program name. Uses the POSIX services, reads LC_NUMERIC, treats SIGINT as
// the cancel press and draws the status line on stderr when `err` is std::cerr on a terminal.
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
};
int runKespScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                KespScanServices& services);

} // namespace kesp
