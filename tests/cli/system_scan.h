#pragma once
// kesp-scan run in process with the system's own services, as its command line runs it; what it
// printed is kept as text.
#include <sstream>
#include <string>
#include <vector>

#include "cli/kesp_scan.h"

namespace kesp::test {

struct ScanResult {
    int status = 0;
    std::string out, err;
};

inline ScanResult scan(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    ScanResult run;
    run.status = runKespScan(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

} // namespace kesp::test
