#include "fat/exfat_folder_reader.h"

#include <algorithm>
#include <limits>

namespace kesp::fat {
namespace {

// Most folders hold a few entries: a small first read, doubling for large folders.
constexpr std::uint32_t kFirstBlockBytes = 4 * 1024;
constexpr std::uint32_t kLargestBlockBytes = 64 * 1024;

std::uint64_t folderClusterLimit(const ExfatGeometry& g) {
    return std::max<std::uint64_t>(1, kExfatFolderMaximumBytes / g.clusterBytes);
}

// Why an entry cannot be believed although its set checks out: a length no volume of this size
// holds. Sizes and totals are never made of it. (Where a file's data starts does not change
// what it occupies, and its chain is never followed.)
std::string outsideHeap(const ExfatEntry& entry, const ExfatGeometry& g) {
    const std::uint64_t heapBytes = std::uint64_t{g.clusterCount} * g.clusterBytes;
    if (entry.dataLength > heapBytes)
        return "« " + entry.name + " » : " + std::to_string(entry.dataLength) +
               " octets, plus que le volume n'en contient";
    return {};
}

} // namespace

ExfatFolderReader::ExfatFolderReader(ExfatVolume& volume, std::uint32_t first,
                                     std::optional<std::uint64_t> clusters, bool contiguous,
                                     std::uint64_t bytes)
    : volume_(volume), chain_(volume.fat(), volume.geometry(), first, clusters, contiguous,
                              folderClusterLimit(volume.geometry())),
      bytesLeft_(bytes), inCluster_(volume.geometry().clusterBytes),
      blockBytes_(std::min(kFirstBlockBytes, volume.geometry().clusterBytes)) {}

ExfatFolderReader ExfatFolderReader::root(ExfatVolume& volume) {
    return ExfatFolderReader(volume, volume.geometry().rootCluster, std::nullopt, false,
                             std::numeric_limits<std::uint64_t>::max());
}

ExfatFolderReader ExfatFolderReader::at(ExfatVolume& volume, const ExfatFolder& folder) {
    const std::uint32_t clusterBytes = volume.geometry().clusterBytes;
    if (folder.dataLength > kExfatFolderMaximumBytes) {
        ExfatFolderReader reader(volume, folder.firstCluster, 0, true, 0);
        reader.fail("dossier de " + std::to_string(folder.dataLength) + " octets (256 Mo au plus)");
        return reader;
    }
    const std::uint64_t clusters =
        folder.dataLength / clusterBytes + (folder.dataLength % clusterBytes != 0);
    return ExfatFolderReader(volume, folder.firstCluster, clusters, folder.noFatChain,
                             folder.dataLength);
}

void ExfatFolderReader::note(const std::string& problem) {
    if (!failure_) failure_ = problem;
}

void ExfatFolderReader::fail(const std::string& reason) {
    failure_ = failure_ ? *failure_ + " ; " + reason : reason;
    done_ = true;
}

bool ExfatFolderReader::loadNextBlock() {
    const ExfatGeometry& g = volume_.geometry();
    if (inCluster_ >= g.clusterBytes || bytesLeft_ == 0) {
        // Past the folder's length the chain is asked once more, to check that it ends there.
        const auto cluster = chain_.next();
        if (!cluster) {
            if (!chain_.failure().empty()) fail(chain_.failure());
            return false;
        }
        cluster_ = *cluster;
        inCluster_ = 0;
    }
    const auto length = static_cast<std::size_t>(
        std::min<std::uint64_t>({blockBytes_, g.clusterBytes - inCluster_, bytesLeft_}));
    const std::uint64_t offset = g.clusterOffset(cluster_) + inCluster_;
    block_.resize(length);
    if (!volume_.reader().read(offset, block_)) {
        fail("lecture impossible à l'octet " + std::to_string(offset) + " (image tronquée ?)");
        return false;
    }
    inCluster_ += length;
    bytesLeft_ -= length;
    blockBytes_ = std::min({blockBytes_ * 2, kLargestBlockBytes, g.clusterBytes});
    at_ = 0;
    return true;
}

bool ExfatFolderReader::next(ExfatEntry& entry) {
    while (!done_) {
        if (at_ + 32 > block_.size() && !loadNextBlock()) {
            if (!done_ && decoder_.gathering()) note("jeu d'entrées coupé par la fin du dossier");
            done_ = true;
            return false;
        }
        const auto raw = std::span<const std::uint8_t>(block_).subspan(at_, 32);
        at_ += 32;
        const std::uint64_t index = entryIndex_++;
        const auto result = decoder_.feed(raw, entry);
        if (!decoder_.problem().empty())
            note(decoder_.problem() + " (entrée " + std::to_string(index) + ")");
        switch (result) {
        case ExfatEntryDecoder::Result::End:
            done_ = true;
            return false;
        case ExfatEntryDecoder::Result::Skipped:
            continue;
        case ExfatEntryDecoder::Result::Entry:
            if (const std::string damage = outsideHeap(entry, volume_.geometry());
                !damage.empty()) {
                note(damage + " (entrée " + std::to_string(index) + ")");
                continue;
            }
            return true;
        }
    }
    return false;
}

} // namespace kesp::fat
