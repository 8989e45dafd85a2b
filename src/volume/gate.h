#pragma once
// Cluster size, file-system gate, drive change and the partition report.
#include <cstdint>
#include <string>

#include "os/volume_service.h"
#include "scan/scan_state.h"
#include "volume/gate_view.h"

namespace kesp {

// What the drive routines keep between calls, owned by the caller (the main window, kesp-scan or
// a test): the drives chosen and the last partition report.
struct DriveState {
    // Drive1's entry at start-up: where the drive-change recovery returns while LecteurPrecedent is
    // still empty (the very first drive chosen has no medium). Set by the window before it
    // selects its start-up drive; when empty too, Drive1 is left as it is.
    std::string LecteurDemarrage;
    // Drive1's entry after the last drive change that completed.
    std::string LecteurPrecedent;
    // The last report built by AfficherInfosPartition; unchanged when a report fails.
    std::string TexteInfosPartition;
};

// The drive a failed drive change goes back to: LecteurPrecedent, or the start-up drive while no
// drive change has completed yet. Empty when neither is known.
const std::string& LecteurDeRetour(const DriveState& drives);

// Validated volume-information query. True only when the query itself succeeded; outputs are
// untouched when the designation is invalid or the root probe finds nothing. `remarque`, when
// given, receives the volume's remark for the partition report.
bool InfosVolume(std::string designation, VolumeService& volumes, std::string& nomVolume,
                 std::uint32_t& numeroSerie, std::string& typePartition, std::uint32_t& drapeaux,
                 std::uint32_t& longueurMax, std::string* remarque = nullptr);

// Computes TailleCluster, fills panels 4 and 5 and List1, applies the gate to OK.
void CalculCluster(EtatScan& etat, GateView& view, VolumeService& volumes);

// Runs when Drive1 reports a change (from the user or from setDriveText). A drive without medium
// is handled here (beep, "Lecteur vide !", back to LecteurPrecedent); any other failure of the
// folder change ends the handling and is returned as its platform error number, 0 otherwise.
int Drive1_Change(EtatScan& etat, DriveState& drives, GateView& view, VolumeService& volumes);

// Right-click on Dir1: the partition report box for `designation`; stores the report in
// drives.TexteInfosPartition.
void AfficherInfosPartition(const std::string& designation, DriveState& drives, GateView& view,
                            VolumeService& volumes);

} // namespace kesp
