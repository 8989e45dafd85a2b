#include "fat/folder_reader.h"

#include <algorithm>

namespace kesp::fat {
namespace {

// A folder holds at most 65536 entries: a chain longer than that is damage, whatever it says.
constexpr std::uint64_t kFolderMaximumBytes = 65536 * kEntryBytes;
// The fixed root is read in pieces of this size.
constexpr std::uint64_t kRootBlockBytes = 16 * 1024;

} // namespace

FolderReader::FolderReader(FatVolume& volume, std::uint32_t firstCluster, bool fixedRoot)
    : volume_(volume), decoder_(volume.codePage()), fixedRoot_(fixedRoot), cluster_(firstCluster) {}

FolderReader FolderReader::root(FatVolume& volume) {
    const Geometry& g = volume.geometry();
    return FolderReader(volume, g.rootCluster, g.type != FatType::Fat32);
}

FolderReader FolderReader::at(FatVolume& volume, std::uint32_t firstCluster) {
    return FolderReader(volume, firstCluster, false);
}

void FolderReader::fail(std::string reason) {
    failure_ = std::move(reason);
    done_ = true;
}

bool FolderReader::linkBroken(const std::optional<std::uint32_t>& link) {
    if (!link)
        fail("table d'allocation illisible");
    else if (*link == 0)
        fail("chaîne de clusters interrompue par un cluster libre");
    else if (volume_.fat().badCluster(*link))
        fail("chaîne de clusters menant à un cluster défectueux");
    else
        return false;
    return true;
}

bool FolderReader::loadNextBlock() {
    const Geometry& g = volume_.geometry();
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    if (fixedRoot_) {
        if (bytesRead_ >= g.rootBytes) return false;
        offset = g.rootOffset + bytesRead_;
        length = std::min(kRootBlockBytes, g.rootBytes - bytesRead_);
    } else {
        if (blocksRead_ > 0) {
            const auto next = volume_.fat().entry(cluster_);
            if (linkBroken(next) || volume_.fat().endOfChain(*next)) return false;
            cluster_ = *next;
        }
        if (!g.validCluster(cluster_)) {
            fail("cluster hors du volume (" + std::to_string(cluster_) + ")");
            return false;
        }
        if (!visited_.insert(cluster_).second) {
            fail("chaîne de clusters en boucle");
            return false;
        }
        if (bytesRead_ >= kFolderMaximumBytes) {
            fail("dossier de plus de 65 536 entrées");
            return false;
        }
        offset = g.clusterOffset(cluster_);
        length = g.clusterBytes;
    }
    block_.resize(static_cast<std::size_t>(length));
    if (!volume_.reader().read(offset, block_)) {
        fail("lecture impossible à l'octet " + std::to_string(offset) + " (image tronquée ?)");
        return false;
    }
    ++blocksRead_;
    bytesRead_ += length;
    at_ = 0;
    return true;
}

// A walk keeps every folder on its path open: one that has been read keeps nothing but its place.
void FolderReader::finish() {
    done_ = true;
    std::vector<std::uint8_t>().swap(block_);
    std::unordered_set<std::uint32_t>().swap(visited_);
}

bool FolderReader::next(DirectoryEntry& entry) {
    while (!done_) {
        if (at_ + kEntryBytes > block_.size() && !loadNextBlock()) {
            finish();
            return false;
        }
        const auto raw = std::span<const std::uint8_t>(block_).subspan(at_, kEntryBytes);
        at_ += kEntryBytes;
        switch (decoder_.feed(raw, entry)) {
        case EntryDecoder::Result::End:
            // The cluster that ends the folder must still belong to a chain: one the FAT marks
            // free may already hold another file's data.
            if (!fixedRoot_) linkBroken(volume_.fat().entry(cluster_));
            finish();
            return false;
        case EntryDecoder::Result::Skipped:
            continue;
        case EntryDecoder::Result::Entry:
            // FAT12/16 keep other data in the high half of the cluster number.
            if (volume_.geometry().type != FatType::Fat32) entry.firstCluster &= 0xFFFF;
            return true;
        }
    }
    return false;
}

} // namespace kesp::fat
