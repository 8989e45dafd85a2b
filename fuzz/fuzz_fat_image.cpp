// libFuzzer target: the input is a whole tiny disk image. Every volume found in it, FAT or
// exFAT, is walked folder by folder, as the image backend walks it: each walk must end, and
// every name it delivers must be UTF-8 the result files can hold, and never "." or "..".
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "fat/byte_reader.h"
#include "fat/container.h"
#include "fat/exfat_folder_reader.h"
#include "fat/exfat_volume.h"
#include "fat/fat_volume.h"
#include "fat/folder_reader.h"
#include "fat/partition_table.h"

namespace {

// Entries visited per input; a walk of a tiny image that needs more has gone wrong.
constexpr int kMaximumEntries = 1 << 20;

bool validUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

void walk(kesp::fat::FatVolume& volume, kesp::fat::FolderReader reader,
          std::vector<std::uint32_t>& path, int& budget) {
    kesp::fat::DirectoryEntry entry;
    std::vector<std::uint32_t> folders;
    while (reader.next(entry)) {
        if (--budget < 0) std::abort();
        if (entry.name.empty() || entry.name == "." || entry.name == ".." ||
            !validUtf8(entry.name) ||
            entry.name.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
            std::abort();
        if (entry.isDirectory) folders.push_back(entry.firstCluster);
    }
    for (const std::uint32_t cluster : folders) {
        // A folder already on the path is a cycle: not entered, as the backend does.
        if (std::find(path.begin(), path.end(), cluster) != path.end()) continue;
        path.push_back(cluster);
        walk(volume, kesp::fat::FolderReader::at(volume, cluster), path, budget);
        path.pop_back();
    }
}

bool deliverable(const std::string& name) {
    return !name.empty() && validUtf8(name) &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

void walkExfat(kesp::fat::ExfatVolume& volume, kesp::fat::ExfatFolderReader reader,
               std::vector<std::uint32_t>& path, int& budget) {
    kesp::fat::ExfatEntry entry;
    std::vector<kesp::fat::ExfatFolder> folders;
    while (reader.next(entry)) {
        if (--budget < 0 || !deliverable(entry.name)) std::abort();
        if (entry.nameUnits == 0 && entry.name != "\xEF\xBF\xBD") std::abort();
        (void)entry.clusters(volume.geometry().clusterBytes);
        if (entry.isDirectory) folders.push_back(entry.folder());
    }
    for (const auto& folder : folders) {
        if (std::find(path.begin(), path.end(), folder.firstCluster) != path.end()) continue;
        path.push_back(folder.firstCluster);
        walkExfat(volume, kesp::fat::ExfatFolderReader::at(volume, folder), path, budget);
        path.pop_back();
    }
}

void walkExfatVolume(kesp::fat::ByteReader& slice, int& budget) {
    std::string error;
    auto volume = kesp::fat::ExfatVolume::open(slice, error);
    if (!volume) {
        if (error.empty()) std::abort();
        return;
    }
    if (!validUtf8(volume->label())) std::abort();
    const auto free = volume->freeClusters(error);
    if (free && *free > volume->geometry().clusterCount) std::abort();
    (void)volume->rootClusters(error);
    std::vector<std::uint32_t> path{volume->geometry().rootCluster};
    walkExfat(*volume, kesp::fat::ExfatFolderReader::root(*volume), path, budget);
}

// The boot checksum stops nearly every mutation of the boot sector before its fields are read:
// a bare exFAT volume whose checksum fails is also walked with the checksum made to hold.
void walkWithBootChecksumFixed(const std::uint8_t* data, std::size_t size, int& budget) {
    const std::span<const std::uint8_t> input(data, size);
    if (!kesp::fat::isExfatBootSector(input) || data[108] < 9 || data[108] > 12) return;
    const std::uint32_t sector = 1u << data[108];
    if (size < 12 * std::size_t(sector) || kesp::fat::exfatBootChecksumHolds(input, sector)) return;
    std::vector<std::uint8_t> fixed(data, data + size);
    const std::uint32_t sum = kesp::fat::exfatBootChecksum(fixed, sector);
    for (std::size_t at = 11 * std::size_t(sector); at < 12 * std::size_t(sector); at += 4)
        for (int i = 0; i < 4; ++i)
            fixed[at + i] = std::uint8_t(sum >> (8 * i));
    kesp::fat::BufferReader volume(fixed);
    walkExfatVolume(volume, budget);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kesp::fat::BufferReader file(std::span(data, size));
    const auto container = kesp::fat::checkContainer(file);
    if (!container.refusal.empty()) return 0;
    kesp::fat::SliceReader disk(file, 0, container.rawBytes);
    int budget = kMaximumEntries;
    for (const auto& partition : kesp::fat::readPartitions(disk).partitions) {
        kesp::fat::SliceReader slice(disk, partition.offset, partition.size);
        (void)kesp::fat::fileSystemOf(slice);
        walkExfatVolume(slice, budget);
        std::string error;
        auto volume = kesp::fat::FatVolume::open(slice, error);
        if (!volume) continue;
        const auto& g = volume->geometry();
        std::vector<std::uint32_t> path{g.type == kesp::fat::FatType::Fat32 ? g.rootCluster : 0};
        walk(*volume, kesp::fat::FolderReader::root(*volume), path, budget);
    }
    walkWithBootChecksumFixed(data, size, budget);
    return 0;
}
