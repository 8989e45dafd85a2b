#include "volume/partition_report.h"

#include <cstdio>
#include <utility>

#include "volume/gate.h"

namespace kesp {
namespace {

// The lines after the first four: each shows one bit of the flag word.
constexpr std::pair<const char*, std::uint32_t> kFlagLines[] = {
    {"Casse sauvegardée = ", fsflag::CasePreservedNames},
    {"Support de la recherche sensible à la casse = ", fsflag::CaseSensitiveSearch},
    {"Support du Unicode = ", fsflag::UnicodeOnDisk},
    {"Gestion des ACLs = ", fsflag::PersistentAcls},
    {"Support de la compression = ", fsflag::FileCompression},
    {"Le disque est compressé = ", fsflag::VolumeIsCompressed},
    {"Support du Named Streams = ", fsflag::NamedStreams},
    {"Support du Encrypted File System (EFS) = ", fsflag::Encryption},
    {"Support du Object Identifiers = ", fsflag::ObjectIds},
    {"Support du Reparse Points = ", fsflag::ReparsePoints},
    {"Support du Sparse Files = ", fsflag::SparseFiles},
    {"Support des Quotas = ", fsflag::VolumeQuotas},
};

} // namespace

std::string serialText(std::uint32_t serial) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(serial));
    return digits;
}

std::string partitionReportText(const std::string& nomVolume, std::uint32_t numeroSerie,
                                const std::string& typePartition, std::uint32_t drapeaux,
                                std::uint32_t longueurMax, const std::string& remarque) {
    std::string text = "Nom du Volume = " + nomVolume;
    text += "\rNuméro de série = " + serialText(numeroSerie);
    text += "\rType de partition = " + typePartition;
    text += "\rLongueur maximum de nom de fichier = " + std::to_string(longueurMax);
    for (const auto& [label, bit] : kFlagLines)
        text += std::string("\r") + label + ((drapeaux & bit) ? "Vrai" : "Faux");
    if (!remarque.empty()) text += "\rRemarque = " + remarque;
    return text;
}

void AfficherInfosPartition(const std::string& designation, DriveState& drives, GateView& view,
                            VolumeService& volumes) {
    std::string nomVolume;
    std::string typePartition;
    std::uint32_t numeroSerie = 0;
    std::uint32_t drapeaux = 0;
    std::uint32_t longueurMax = 0;
    std::string remarque;
    if (!InfosVolume(designation, volumes, nomVolume, numeroSerie, typePartition, drapeaux,
                     longueurMax, &remarque))
        return;
    drives.TexteInfosPartition =
        partitionReportText(nomVolume, numeroSerie, typePartition, drapeaux, longueurMax, remarque);
    view.messageBox(drives.TexteInfosPartition, "Informations sur la partition " + designation,
                    MessageIcon::None);
}

} // namespace kesp
