#pragma once
// kesp-scan's balance sheet: asked of the image backend before the walk, printed after the totals
// (--balance) and written as a tab-separated file (--balance-table).
#include <functional>
#include <ostream>
#include <string>

#include "images/image_volumes.h"
#include "os/output_files.h"
#include "scan/run_outcome.h"

namespace kesp {

// Asks the walk about to start from `folder` to gather the sheet. Empty when it will, else why
// not (French): `folder` must be the root of a volume read directly (`readDirectly`: an image or
// a block device, opened into `images`).
std::string gatherBalance(const std::string& folder, bool readDirectly, ImageVolumes* images);

struct BalanceEmitted {
    std::string refusal;     // the walk did not cover the volume: no sheet, and why
    std::string fileProblem; // the table file could not be written
};

// Once the walk has ended: prints the sheet to `out` (each line through `forOut`) when `print`,
// writes it to `table` when given and puts that file in place.
BalanceEmitted emitBalance(const std::string& folder, RunEnd walkEnd, ImageVolumes& images,
                           bool print, LineSink* table, std::ostream& out,
                           const std::function<std::string(const std::string&)>& forOut);

} // namespace kesp
