// libFuzzer target: the input is the start of a volume. A boot sector that is accepted must have
// a usable geometry, and the root label search must end within the image.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "fat/boot_sector.h"

namespace {

// The input, bounding the reads: one cluster per step and the FAT in pages, at most 65536
// entries in all.
class BoundedReader final : public kesp::fat::ByteReader {
public:
    explicit BoundedReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        if (++reads_ > 2 * 65536 + 8) std::abort();
        return inner_.read(offset, out);
    }
    std::uint64_t size() const override { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    kesp::fat::BufferReader inner_{bytes_};
    int reads_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> image(data, size);
    const auto boot = kesp::fat::parseFatBootSector(image);
    if (!boot) return 0;

    // FAT32 is the layout without a 16-bit FAT length, at any count; FAT12/16 stay below the
    // FAT32 count.
    const std::uint32_t cluster = boot->clusterSize();
    const bool fat32Layout = data[22] == 0 && data[23] == 0;
    if (cluster == 0 || (cluster & (cluster - 1)) != 0 || cluster > 65536 ||
        boot->clusterCount == 0 || (boot->type == kesp::fat::FatType::Fat32) != fat32Layout ||
        (!fat32Layout && boot->clusterCount >= 65525))
        std::abort();

    BoundedReader volume(image);
    (void)kesp::fat::readRootVolumeLabel(*boot, volume);
    (void)kesp::fat::fatLabelText(image.first(std::min<std::size_t>(size, 11)));
    return 0;
}
