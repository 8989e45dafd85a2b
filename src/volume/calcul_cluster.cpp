#include <limits>

#include "scan/init_bar.h"
#include "volume/file_system_gate.h"
#include "volume/gate.h"

namespace kesp {

void CalculCluster(EtatScan& etat, GateView& view, VolumeService& volumes) {
    const std::string root = volumes.entryRoot(view.driveText());
    view.clearList1();

    std::string nomVolume;
    std::string typePartition;
    std::uint32_t numeroSerie = 0;
    std::uint32_t drapeaux = 0;
    std::uint32_t longueurMax = 0;
    // The result is not looked at: a failed query leaves the names empty, which the gate refuses.
    InfosVolume(root, volumes, nomVolume, numeroSerie, typePartition, drapeaux, longueurMax);

    InitBar(view);
    view.setStatusPanel(5, typePartition);
    view.setStatusPanel(4, "");
    etat.PartitionFat = false;

    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    if (volumes.diskFreeSpace(root, sectorsPerCluster, bytesPerSector)) {
        const std::uint64_t product = std::uint64_t(sectorsPerCluster) * bytesPerSector;
        // An overflowing product keeps the last size, and so does a zero one: a scan must never
        // divide by a cluster of 0 bytes.
        if (product > 0 && product <= std::uint64_t(std::numeric_limits<std::int32_t>::max()))
            etat.TailleCluster = static_cast<std::int32_t>(product);
    }

    view.appendList1(root + " " + nomVolume);
    view.setStatusPanel(4, "1 Cluster = " + std::to_string(etat.TailleCluster) + " octets");

    const GateDecision gate = fileSystemGate(typePartition);
    if (gate.list1Line) view.appendList1(*gate.list1Line);
    view.setOkEnabled(gate.okEnabled);
    etat.PartitionFat = gate.partitionFat;
    if (gate.estFat32) etat.EstFat32 = *gate.estFat32;
    if (gate.estExfat) etat.EstExfat = *gate.estExfat;
}

} // namespace kesp
