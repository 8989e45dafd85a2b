#pragma once
// kesp-scan's use of the volume routines: the file-system gate of FOLDER's volume (when no
// --cluster-size is given) and --volume-info, the partition report.
#include <ostream>
#include <string>

#include "os/volume_service.h"
#include "scan/scan_state.h"

namespace kesp {

// A volume the gate refuses, or whose report cannot be made.
inline constexpr int kExitRefused = 2;

// Runs CalculCluster for the drive entry `drive` and prints its List1 lines to `out`. Returns 0
// when the volume may be scanned (etat.TailleCluster is then its cluster size), else
// kExitRefused; a refusal other than the gate's own line is explained on `err`.
// `terminal`: control bytes of the volume's label and name are escaped on both streams.
int gateVolume(const std::string& drive, EtatScan& etat, VolumeService& volumes, std::ostream& out,
               std::ostream& err, bool terminal = false);

// The partition report of `drive`, one line per "\n"; 0, or kExitRefused (explained on `err`)
// when the volume information cannot be read.
int printVolumeInfo(const std::string& drive, VolumeService& volumes, std::ostream& out,
                    std::ostream& err, bool terminal = false);

} // namespace kesp
