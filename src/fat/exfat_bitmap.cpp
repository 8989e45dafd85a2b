#include "fat/exfat_bitmap.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace kesp::fat {
namespace {

constexpr std::uint64_t kPieceBytes = 1024 * 1024;

} // namespace

std::optional<std::uint64_t> countAllocatedClusters(ByteReader& volume, ExfatFat& fat,
                                                    const ExfatGeometry& geometry,
                                                    const ExfatExtent& bitmap, std::string& error) {
    const std::uint64_t needed = (std::uint64_t(geometry.clusterCount) + 7) / 8;
    if (bitmap.bytes < needed) {
        error = "bitmap d'allocation de " + std::to_string(bitmap.bytes) +
                " octets, trop court pour " + std::to_string(geometry.clusterCount) + " clusters";
        return std::nullopt;
    }
    const std::uint64_t clusters = (needed + geometry.clusterBytes - 1) / geometry.clusterBytes;
    ClusterChain chain(fat, geometry, bitmap.firstCluster, clusters, false, clusters);
    std::vector<std::uint8_t> piece(
        static_cast<std::size_t>(std::min<std::uint64_t>(kPieceBytes, geometry.clusterBytes)));
    // The last byte may hold bits past the last cluster: they stand for nothing.
    const unsigned tail = geometry.clusterCount % 8;
    const std::uint8_t lastMask = tail == 0 ? 0xFF : std::uint8_t((1u << tail) - 1);
    std::uint64_t counted = 0; // bytes of the bitmap counted so far
    std::uint64_t allocated = 0;
    while (const auto cluster = chain.next()) {
        const std::uint64_t start = geometry.clusterOffset(*cluster);
        for (std::uint64_t done = 0; done < geometry.clusterBytes && counted < needed;) {
            const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(
                {piece.size(), geometry.clusterBytes - done, needed - counted}));
            const auto part = std::span(piece).first(length);
            if (!volume.read(start + done, part)) {
                error = "bitmap d'allocation illisible à l'octet " + std::to_string(start + done);
                return std::nullopt;
            }
            if (counted + length == needed) part.back() &= lastMask;
            for (const std::uint8_t byte : part)
                allocated += static_cast<unsigned>(std::popcount(byte));
            done += length;
            counted += length;
        }
    }
    if (!chain.failure().empty()) {
        error = "bitmap d'allocation : " + chain.failure();
        return std::nullopt;
    }
    return allocated;
}

} // namespace kesp::fat
