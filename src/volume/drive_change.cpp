#include "volume/gate.h"

namespace kesp {
namespace {

// The recovery of a drive change: true when the failure was handled and the interrupted run
// goes on with its next step.
bool recover(int error, bool& reported, const DriveState& drives, GateView& view) {
    if (error != kErrorDeviceUnavailable) return false;
    // A second failure in the same run (no drive to return to) is not reported again.
    if (reported) return true;
    reported = true;
    view.beep();
    view.messageBox("Lecteur vide !", "Lecteur non prêt", MessageIcon::Critical);
    // The nested drive change runs inside setDriveText.
    const std::string& back = LecteurDeRetour(drives);
    if (!back.empty()) view.setDriveText(back);
    return true;
}

} // namespace

const std::string& LecteurDeRetour(const DriveState& drives) {
    return drives.LecteurPrecedent.empty() ? drives.LecteurDemarrage : drives.LecteurPrecedent;
}

int Drive1_Change(EtatScan& etat, DriveState& drives, GateView& view, VolumeService& volumes) {
    bool reported = false;
    if (const int error = view.setFolderPath(view.driveText()))
        if (!recover(error, reported, drives, view)) return error;
    if (const int error = view.setFolderPath(volumes.entryRoot(view.driveText())))
        if (!recover(error, reported, drives, view)) return error;

    CalculCluster(etat, view, volumes);
    drives.LecteurPrecedent = view.driveText();
    return 0;
}

} // namespace kesp
