#pragma once
// One FAT volume read through a ByteReader: its boot sector, geometry, FAT and label.
#include <memory>
#include <optional>
#include <string>

#include "fat/boot_sector.h"
#include "fat/byte_reader.h"
#include "fat/code_page.h"
#include "fat/fat_table.h"
#include "fat/geometry.h"

namespace kesp::fat {

class FatVolume {
public:
    // nullptr with `error` (French) when the reader holds no FAT volume, or not its FATs and
    // fixed root. A volume cut short in its data area opens: the folders past the end fail one
    // by one, and say so.
    static std::unique_ptr<FatVolume> open(ByteReader& reader, std::string& error,
                                           CodePage page = CodePage::Cp850);

    const FatBootSector& boot() const { return boot_; }
    const Geometry& geometry() const { return geometry_; }
    FatTable& fat() { return fat_; }
    ByteReader& reader() { return reader_; }
    CodePage codePage() const { return page_; }

    // The root folder's label entry, as Windows shows it; else the boot sector's; else empty.
    const std::string& label() const { return label_; }

private:
    FatVolume(ByteReader& reader, const FatBootSector& boot, CodePage page);

    ByteReader& reader_;
    FatBootSector boot_;
    Geometry geometry_;
    FatTable fat_;
    CodePage page_;
    std::string label_;
};

} // namespace kesp::fat
