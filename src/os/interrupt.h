#pragma once
// The signals that ask a command-line run to stop.

namespace kesp {

// While alive, SIGINT, SIGTERM and SIGHUP (SIGBREAK on Windows) are each noted as a request to
// stop, never an end of the process: the run then ends as a cancelled one, its files complete.
// SIGPIPE is ignored, so that a closed stdout shows as a failed write. The previous handling is
// restored on destruction.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    static bool interrupted();
    // The first signal noted; 0 when none.
    static int signalNumber();
};

// The signal a write to a closed pipe raises (SIGPIPE); 0 where the system has none.
int closedOutputSignal();

} // namespace kesp
