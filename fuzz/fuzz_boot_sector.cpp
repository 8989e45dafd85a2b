// libFuzzer target: the input is the start of a volume. A boot sector that is accepted must have
// a usable geometry, and the root label search must end within the image.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "fat/boot_sector.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> image(data, size);
    const auto boot = kesp::parseFatBootSector(image);
    if (!boot) return 0;

    // FAT32 is the layout without a 16-bit FAT length, at any count; FAT12/16 stay below the
    // FAT32 count.
    const std::uint32_t cluster = boot->clusterSize();
    const bool fat32Layout = data[22] == 0 && data[23] == 0;
    if (cluster == 0 || (cluster & (cluster - 1)) != 0 || cluster > 65536 ||
        boot->clusterCount == 0 || (boot->type == kesp::FatType::Fat32) != fat32Layout ||
        (!fat32Layout && boot->clusterCount >= 65525))
        std::abort();

    int reads = 0;
    (void)kesp::readRootVolumeLabel(*boot, [&](std::uint64_t offset, std::span<std::uint8_t> out) {
        // Bounded: one FAT entry and one cluster per step, at most 65536 entries in all.
        if (++reads > 2 * 65536 + 8) std::abort();
        if (offset > size || out.size() > size - offset) return false;
        std::memcpy(out.data(), data + offset, out.size());
        return true;
    });
    (void)kesp::fatLabelText(image.first(std::min<std::size_t>(size, 11)));
    return 0;
}
