#include "fat/fat_volume.h"

#include <vector>

namespace kesp::fat {

FatVolume::FatVolume(ByteReader& reader, const FatBootSector& boot, CodePage page)
    : reader_(reader), boot_(boot), geometry_(geometryOf(boot)), fat_(reader, geometry_),
      page_(page) {}

std::unique_ptr<FatVolume> FatVolume::open(ByteReader& reader, std::string& error, CodePage page) {
    std::vector<std::uint8_t> sector(512);
    if (!reader.read(0, sector)) {
        error = "image trop courte pour contenir un volume";
        return nullptr;
    }
    const auto boot = parseFatBootSector(sector);
    if (!boot) {
        error = "pas de volume FAT";
        return nullptr;
    }
    std::unique_ptr<FatVolume> volume(new FatVolume(reader, *boot, page));
    // A truncated image still opens as long as its metadata is there: the folders past the end
    // fail one by one, and say so.
    if (volume->geometry_.dataOffset > reader.size()) {
        error = "image tronquée : la table d'allocation ou le dossier racine manque";
        return nullptr;
    }
    volume->label_ = readRootVolumeLabel(*boot, reader).value_or(boot->label);
    return volume;
}

} // namespace kesp::fat
