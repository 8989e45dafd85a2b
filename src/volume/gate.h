#pragma once
// Cluster size, file-system gate, drive change and the partition report.
#include <cstdint>
#include <string>

#include "platform/volume_service.h"
#include "scan/scan_state.h"
#include "volume/gate_view.h"

namespace kesp {

// Validated volume-information query. True only when the query itself succeeded; outputs are
// untouched when the designation is invalid or the root probe finds nothing.
bool InfosVolume(std::string designation, VolumeService& volumes, std::string& nomVolume,
                 std::uint32_t& numeroSerie, std::string& typePartition, std::uint32_t& drapeaux,
                 std::uint32_t& longueurMax);

// Computes TailleCluster, fills panels 4 and 5 and List1, applies the gate to OK.
void CalculCluster(EtatScan& etat, GateView& view, VolumeService& volumes);

// Runs when Drive1 reports a change (from the user or from setDriveText).
void Drive1_Change(EtatScan& etat, GateView& view, VolumeService& volumes);

// Right-click on Dir1: the partition report box for `designation`.
void AfficherInfosPartition(const std::string& designation, GateView& view, VolumeService& volumes);

// The last report built by AfficherInfosPartition.
const std::string& TexteInfosPartition();

} // namespace kesp
