#pragma once
// The walk: a request in, what it finds out to an observer, how it ended as the result.
#include "scan/run_outcome.h"
#include "scan/scan_observer.h"
#include "scan/scan_request.h"
#include "scan/scan_services.h"
#include "scan/stop_token.h"

namespace kesp {

// Opens the result files, walks `request.folder` and writes the files' lines; never recursive
// and each folder entered once, so neither a deep tree nor folders sharing their clusters can
// exhaust it. The result files are put in place only when both are whole. `services.ticks` is
// not used: when to refresh a display is the observer's business.
RunOutcome runScan(const ScanRequest& request, ScanServices& services, ScanObserver& observer,
                   const StopToken& stop);

} // namespace kesp
