#include "images/image_folders.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "fat/exfat_folder_reader.h"
#include "fat/folder_reader.h"

namespace kesp {
namespace {

// The fixed root of FAT12/16 has no cluster; sub-folders that point at it say 0.
constexpr std::uint32_t kFixedRoot = 0;

// The cookie of an exFAT sub-folder: its first cluster, and bit 32 for a contiguous one. Its
// DataLength travels as the entry's size.
constexpr std::uint64_t kNoFatChain = std::uint64_t{1} << 32;

std::optional<ListingFailure> failureOf(const ImageVolume& volume,
                                        const std::optional<std::string>& readerFailure) {
    if (!readerFailure) return std::nullopt;
    // The device stopped answering: nothing more can be read from it.
    if (std::string lost = volume.file->deviceFailure(); !lost.empty())
        return ListingFailure{std::move(lost), true};
    return ListingFailure{*readerFailure, false};
}

class ImageListing final : public FolderListing {
public:
    // `cluster`: the folder's first cluster (the root's, or kFixedRoot).
    ImageListing(ImageVolume& volume, std::uint32_t cluster, bool root)
        : volume_(volume), cluster_(cluster),
          reader_(root ? fat::FolderReader::root(*volume.fat)
                       : fat::FolderReader::at(*volume.fat, cluster)) {}

    bool next(FolderEntry& entry) override {
        fat::DirectoryEntry raw;
        if (!reader_.next(raw)) return false;
        entry.name = std::move(raw.name);
        entry.isDirectory = raw.isDirectory;
        entry.size = raw.size;
        entry.cookie = raw.firstCluster;
        return true;
    }

    std::optional<ListingFailure> failure() const override {
        return failureOf(volume_, reader_.failure());
    }

    // A folder is its first cluster: the walk enters each once, which also ends the loop of a
    // folder that holds one of its parents.
    std::optional<FolderId> id() const override { return FolderId{0, cluster_}; }

    std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
        if (entry.cookie > 0xFFFFFFFFu) return failedListing({"cluster hors du volume", false});
        return std::make_unique<ImageListing>(volume_, static_cast<std::uint32_t>(entry.cookie),
                                              false);
    }

private:
    ImageVolume& volume_;
    std::uint32_t cluster_;
    fat::FolderReader reader_;
};

class ExfatListing final : public FolderListing {
public:
    ExfatListing(ImageVolume& volume, std::optional<fat::ExfatFolder> folder)
        : volume_(volume),
          cluster_(folder ? folder->firstCluster : volume.exfat->geometry().rootCluster),
          reader_(folder ? fat::ExfatFolderReader::at(*volume.exfat, *folder)
                         : fat::ExfatFolderReader::root(*volume.exfat)) {}

    bool next(FolderEntry& entry) override {
        fat::ExfatEntry raw;
        if (!reader_.next(raw)) return false;
        entry.name = std::move(raw.name);
        entry.isDirectory = raw.isDirectory;
        // Allocation follows DataLength, never ValidDataLength; a folder's is its whole size.
        entry.size = raw.dataLength;
        entry.cookie = raw.firstCluster | (raw.noFatChain ? kNoFatChain : 0);
        return true;
    }

    std::optional<ListingFailure> failure() const override {
        return failureOf(volume_, reader_.failure());
    }

    // A folder of no cluster (legal, and then empty) shares nothing with another.
    std::optional<FolderId> id() const override {
        if (cluster_ == 0) return std::nullopt;
        return FolderId{0, cluster_};
    }

    std::optional<std::uint64_t> storedBytes(const FolderEntry& subFolder) const override {
        return subFolder.size;
    }

    std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
        const fat::ExfatFolder folder{static_cast<std::uint32_t>(entry.cookie), entry.size,
                                      (entry.cookie & kNoFatChain) != 0};
        return std::make_unique<ExfatListing>(volume_, folder);
    }

private:
    ImageVolume& volume_;
    std::uint32_t cluster_;
    fat::ExfatFolderReader reader_;
};

// A name as FAT compares it: ASCII and Latin-1 letters (UTF-8 C3 80 to C3 9E, but not the
// multiplication sign) folded to lower case.
std::string folded(std::string name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z') {
            name[i] = char(c + 32);
        } else if (c == 0xC3 && i + 1 < name.size()) {
            const auto d = static_cast<unsigned char>(name[++i]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97) name[i] = char(d + 32);
        }
    }
    return name;
}

} // namespace

std::unique_ptr<FolderListing> ImageFolderEnumerator::open(const std::string& path) {
    const auto address = images_.addressOf(path);
    std::string error;
    ImageVolume* volume = address ? images_.volume(*address, error) : nullptr;
    if (!volume) return failedListing({error.empty() ? path + " : chemin invalide" : error, true});

    std::unique_ptr<FolderListing> listing;
    if (volume->exfat) {
        listing = std::make_unique<ExfatListing>(*volume, std::nullopt);
    } else {
        const fat::Geometry& geometry = volume->fat->geometry();
        const bool fixedRoot = geometry.type != fat::FatType::Fat32;
        listing = std::make_unique<ImageListing>(
            *volume, fixedRoot ? kFixedRoot : geometry.rootCluster, true);
    }
    // Each name found in its parent, exactly, else with case ignored as FAT and exFAT compare
    // names (exFAT through its up-case table, which folds these letters alike).
    std::string_view rest = address->inner;
    while (!rest.empty()) {
        const auto slash = rest.find_first_of("/\\");
        const std::string name(rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (name.empty()) continue;
        const std::string wanted = folded(name);
        std::optional<FolderEntry> exact, alike;
        FolderEntry entry;
        while (listing->next(entry) && !exact) {
            if (!entry.isDirectory) continue;
            if (entry.name == name)
                exact = entry;
            else if (!alike && folded(entry.name) == wanted)
                alike = entry;
        }
        const auto& found = exact ? exact : alike;
        if (!found) {
            if (auto failure = listing->failure()) return failedListing(*failure);
            return failedListing({"dossier introuvable : " + name, false});
        }
        listing = listing->openChild(*found);
    }
    return listing;
}

} // namespace kesp
