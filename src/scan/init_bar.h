#pragma once
#include <string>

namespace kesp {

// Empties status panels 1 to 3 (folders, files, lost megabytes) and leaves the others alone.
// Shared by the run (a ScanView) and CalculCluster (a GateView).
template <typename View> void InitBar(View& view) {
    for (int panel = 1; panel <= 3; ++panel)
        view.setStatusPanel(panel, std::string());
}

} // namespace kesp
