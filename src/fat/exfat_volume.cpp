#include "fat/exfat_volume.h"

#include <algorithm>
#include <vector>

#include "fat/exfat_bitmap.h"
#include "fat/exfat_folder_reader.h"

namespace kesp::fat {
namespace {

constexpr std::uint64_t kRegionSectors = 12;

// The boot region at sector `first` (0 for the main one, 12 for the backup), checked whole.
std::optional<ExfatBootSector> readRegion(ByteReader& reader, std::uint64_t first,
                                          unsigned sectorShift, std::string& error) {
    std::vector<std::uint8_t> sector(512);
    if (!reader.read(first << sectorShift, sector)) {
        error = "image trop courte pour contenir un volume";
        return std::nullopt;
    }
    auto boot = parseExfatBootSector(sector, error);
    if (!boot) return std::nullopt;
    if (boot->bytesPerSectorShift != sectorShift) {
        error = "secteur de démarrage exFAT invalide : taille de secteur incohérente";
        return std::nullopt;
    }
    std::vector<std::uint8_t> region(kRegionSectors << sectorShift);
    if (!reader.read(first << sectorShift, region)) {
        error = "image tronquée dans la région de démarrage exFAT";
        return std::nullopt;
    }
    if (!exfatBootChecksumHolds(region, boot->bytesPerSector())) {
        error = "somme de contrôle de la région de démarrage exFAT fausse";
        return std::nullopt;
    }
    return boot;
}

} // namespace

ExfatVolume::ExfatVolume(ByteReader& reader, const ExfatBootSector& boot)
    : reader_(reader), boot_(boot), geometry_(exfatGeometryOf(boot)), fat_(reader, geometry_) {}

std::unique_ptr<ExfatVolume> ExfatVolume::open(ByteReader& reader, std::string& error) {
    std::vector<std::uint8_t> first(512);
    if (!reader.read(0, first)) {
        error = "image trop courte pour contenir un volume";
        return nullptr;
    }
    // The main region says its own sector size; a backup is looked for at each possible one.
    std::string mainError;
    std::optional<ExfatBootSector> boot;
    if (const auto parsed = parseExfatBootSector(first, mainError))
        boot = readRegion(reader, 0, parsed->bytesPerSectorShift, mainError);
    std::string note;
    for (unsigned shift = 9; !boot && shift <= 12; ++shift) {
        std::string ignored;
        boot = readRegion(reader, kRegionSectors, shift, ignored);
        if (boot) note = mainError + " : copie de secours de la région de démarrage utilisée";
    }
    if (!boot) {
        error = mainError;
        return nullptr;
    }
    std::unique_ptr<ExfatVolume> volume(new ExfatVolume(reader, *boot));
    volume->bootNote_ = std::move(note);
    // A truncated image still opens as long as its metadata is there: the folders past the end
    // fail one by one, and say so.
    if (volume->geometry_.heapOffset > reader.size()) {
        error = "image tronquée : la FAT ou la zone des clusters manque";
        return nullptr;
    }
    ExfatFolderReader root = ExfatFolderReader::root(*volume);
    ExfatEntry entry;
    const auto complete = [&root, &volume] {
        const ExfatRootFacts& facts = root.rootFacts();
        return facts.bitmaps[volume->boot_.activeFat()] && facts.upcase && facts.label;
    };
    while (!complete() && root.next(entry)) {
    }
    volume->facts_ = root.rootFacts();
    volume->label_ = volume->facts_.label.value_or(std::string());
    return volume;
}

std::string ExfatVolume::remark(bool mounted) const {
    std::string text;
    const auto add = [&text](const std::string& part) {
        text += (text.empty() ? "" : " ; ") + part;
    };
    if (boot_.volumeDirty() && !mounted)
        add("volume exFAT marqué en cours d'usage : il n'a pas été démonté proprement");
    if (boot_.mediaFailure()) add("volume exFAT marqué comme ayant des secteurs défectueux");
    if (boot_.activeFat() == 1) add("seconde FAT et seconde bitmap en usage (TexFAT)");
    if (!bootNote_.empty()) add(bootNote_);
    return text;
}

std::optional<std::uint64_t> ExfatVolume::freeClusters(std::string& error) {
    const auto& bitmap = facts_.bitmaps[boot_.activeFat()];
    if (!bitmap) {
        error = "le dossier racine ne contient pas de bitmap d'allocation";
        return std::nullopt;
    }
    const auto allocated = countAllocatedClusters(reader_, fat_, geometry_, *bitmap, error);
    if (!allocated) return std::nullopt;
    return geometry_.clusterCount - *allocated;
}

std::optional<std::uint64_t> ExfatVolume::rootClusters(std::string& error) {
    return chainLength(
        fat_, geometry_, geometry_.rootCluster,
        std::max<std::uint64_t>(1, kExfatFolderMaximumBytes / geometry_.clusterBytes), error);
}

} // namespace kesp::fat
