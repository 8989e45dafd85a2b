#pragma once
// Damage done in place to a FAT image, as a power cut or a worn card leaves it: FAT entries
// rewritten in every copy, directory entries pointed elsewhere, the FSInfo free count changed.
// The layout is read here from the boot sector's fields, apart from the code under test.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesp::test {

class FatDamage {
public:
    static std::optional<FatDamage> open(const std::string& path) {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        FatDamage d;
        d.path_ = path;
        d.bytes_.resize(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
        in.seekg(0);
        if (d.bytes_.size() < 512 || !in.read(d.bytes_.data(), std::streamsize(d.bytes_.size())))
            return std::nullopt;
        d.bytesPerSector = d.u16(11);
        d.sectorsPerCluster = std::uint8_t(d.bytes_[13]);
        d.reserved = d.u16(14);
        d.fats = std::uint8_t(d.bytes_[16]);
        const std::uint32_t rootEntries = d.u16(17);
        const std::uint32_t total = d.u16(19) ? d.u16(19) : d.u32(32);
        d.sectorsPerFat = d.u16(22) ? d.u16(22) : d.u32(36);
        const std::uint32_t rootSectors =
            (rootEntries * 32 + d.bytesPerSector - 1) / d.bytesPerSector;
        const std::uint32_t data = d.reserved + d.fats * d.sectorsPerFat + rootSectors;
        d.clusterCount = (total - data) / d.sectorsPerCluster;
        d.bits = d.u16(22) == 0 ? 32 : d.clusterCount < 4085 ? 12 : 16;
        d.fsInfoSector = d.bits == 32 ? d.u16(48) : 0;
        return d;
    }

    std::uint32_t endMark() const { return bits == 12 ? 0xFFF : bits == 16 ? 0xFFFF : 0x0FFFFFFF; }
    std::uint32_t badMark() const { return endMark() - 8; }
    std::uint32_t clusterBytes() const { return bytesPerSector * sectorsPerCluster; }

    std::uint32_t fat(std::uint32_t cluster) const {
        const std::size_t base = std::size_t(reserved) * bytesPerSector;
        if (bits == 32) return u32(base + 4 * cluster) & 0x0FFFFFFF;
        if (bits == 16) return u16(base + 2 * cluster);
        const std::uint32_t v = u16(base + cluster + cluster / 2);
        return (cluster & 1) ? v >> 4 : v & 0xFFF;
    }
    void setFat(std::uint32_t cluster, std::uint32_t value) {
        for (std::uint32_t copy = 0; copy < fats; ++copy) {
            const std::size_t base =
                (std::size_t(reserved) + std::size_t(copy) * sectorsPerFat) * bytesPerSector;
            if (bits == 32) {
                put32(base + 4 * cluster, (u32(base + 4 * cluster) & 0xF0000000) | value);
            } else if (bits == 16) {
                put16(base + 2 * cluster, value);
            } else {
                const std::size_t at = base + cluster + cluster / 2;
                const std::uint32_t old = u16(at);
                put16(at, (cluster & 1) ? (old & 0x000F) | value << 4 : (old & 0xF000) | value);
            }
        }
    }
    // Links `clusters` in order and ends the chain.
    void chain(const std::vector<std::uint32_t>& clusters) {
        for (std::size_t i = 0; i + 1 < clusters.size(); ++i)
            setFat(clusters[i], clusters[i + 1]);
        setFat(clusters.back(), endMark());
    }
    std::vector<std::uint32_t> chainOf(std::uint32_t first) const {
        std::vector<std::uint32_t> out{first};
        while (out.size() <= clusterCount && fat(out.back()) >= 2 && fat(out.back()) < badMark())
            out.push_back(fat(out.back()));
        return out;
    }
    // The first `count` free clusters from `from` on.
    std::vector<std::uint32_t> freeClusters(std::uint32_t from, std::size_t count) const {
        std::vector<std::uint32_t> out;
        for (std::uint32_t c = from; c < clusterCount + 2 && out.size() < count; ++c)
            if (fat(c) == 0) out.push_back(c);
        return out;
    }
    std::uint32_t freeCount() const { return std::uint32_t(freeClusters(2, clusterCount).size()); }

    // The directory entry whose stored 8.3 name is `name11`; npos when there is none.
    std::size_t entry(const std::string& name11) const {
        const std::string_view all(bytes_.data(), bytes_.size());
        for (std::size_t at = all.find(name11); at != std::string_view::npos;
             at = all.find(name11, at + 1))
            if (at % 32 == 0) return at;
        return std::string_view::npos;
    }
    std::uint32_t firstCluster(std::size_t at) const {
        return u16(at + 26) | (bits == 32 ? u16(at + 20) << 16 : 0);
    }
    std::uint32_t size(std::size_t at) const { return u32(at + 28); }
    void setSize(std::size_t at, std::uint32_t value) { put32(at + 28, value); }

    std::uint32_t fsInfoFree() const {
        return u32(std::size_t(fsInfoSector) * bytesPerSector + 488);
    }
    void setFsInfoFree(std::uint32_t value) {
        put32(std::size_t(fsInfoSector) * bytesPerSector + 488, value);
    }

    bool save() const {
        std::ofstream out(path_, std::ios::binary | std::ios::in | std::ios::out);
        out.write(bytes_.data(), std::streamsize(bytes_.size()));
        return bool(out);
    }

    std::uint32_t bytesPerSector = 0, sectorsPerCluster = 0, reserved = 0, fats = 0,
                  sectorsPerFat = 0, clusterCount = 0, bits = 0, fsInfoSector = 0;

private:
    std::uint32_t u16(std::size_t at) const {
        return std::uint8_t(bytes_[at]) | std::uint32_t(std::uint8_t(bytes_[at + 1])) << 8;
    }
    std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
    void put16(std::size_t at, std::uint32_t v) {
        bytes_[at] = char(v & 0xFF);
        bytes_[at + 1] = char((v >> 8) & 0xFF);
    }
    void put32(std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    }

    std::string path_;
    std::vector<char> bytes_;
};

} // namespace kesp::test
