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
// In a sub-folder's cookie beside its first cluster: its chain was not its own (claimed before),
// so its listing claims nothing.
constexpr std::uint64_t kNotClaimed = std::uint64_t(1) << 33;

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
    // `cluster`: the folder's first cluster (the root's, or kFixedRoot). With a ledger, every
    // entry delivered is claimed in it; `path` is the folder's in the volume, ending with "/".
    ImageListing(ImageVolume& volume, std::uint32_t cluster, bool root,
                 fat::ClusterLedger* ledger = nullptr, std::string path = {})
        : volume_(volume), cluster_(cluster),
          reader_(root ? fat::FolderReader::root(*volume.fat)
                       : fat::FolderReader::at(*volume.fat, cluster)),
          ledger_(ledger), path_(std::move(path)) {}

    bool next(FolderEntry& entry) override {
        fat::DirectoryEntry raw;
        if (!reader_.next(raw)) {
            if (ledger_ && !ended_) ledger_->listingEnded(!reader_.failure());
            ended_ = true;
            return false;
        }
        entry.cookie = raw.firstCluster;
        if (ledger_) {
            if (!raw.isDirectory)
                ledger_->claimFile(raw.firstCluster, raw.size, path_, raw.name);
            else if (!ledger_->claimFolder(raw.firstCluster, path_, raw.name))
                entry.cookie |= kNotClaimed;
        }
        entry.name = std::move(raw.name);
        entry.isDirectory = raw.isDirectory;
        entry.size = raw.size;
        return true;
    }

    std::optional<ListingFailure> failure() const override {
        return failureOf(volume_, reader_.failure());
    }

    // A folder is its first cluster: the walk enters each once, which also ends the loop of a
    // folder that holds one of its parents.
    std::optional<FolderId> id() const override { return FolderId{0, cluster_}; }

    std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
        if ((entry.cookie & ~kNotClaimed) > 0xFFFFFFFFu)
            return failedListing({"cluster hors du volume", false});
        const bool claims = ledger_ && !(entry.cookie & kNotClaimed);
        return std::make_unique<ImageListing>(volume_, static_cast<std::uint32_t>(entry.cookie),
                                              false, claims ? ledger_ : nullptr,
                                              claims ? path_ + entry.name + "/" : std::string());
    }

private:
    ImageVolume& volume_;
    std::uint32_t cluster_;
    fat::FolderReader reader_;
    fat::ClusterLedger* ledger_;
    std::string path_;
    bool ended_ = false;
};

class ExfatListing final : public FolderListing {
public:
    // With a ledger, every entry delivered is claimed in it; `path` is the folder's in the
    // volume, ending with "/".
    ExfatListing(ImageVolume& volume, std::optional<fat::ExfatFolder> folder,
                 fat::ExfatLedger* ledger = nullptr, std::string path = {})
        : volume_(volume),
          cluster_(folder ? folder->firstCluster : volume.exfat->geometry().rootCluster),
          reader_(folder ? fat::ExfatFolderReader::at(*volume.exfat, *folder)
                         : fat::ExfatFolderReader::root(*volume.exfat)),
          ledger_(ledger), path_(std::move(path)) {}

    bool next(FolderEntry& entry) override {
        fat::ExfatEntry raw;
        if (!reader_.next(raw)) {
            if (ledger_ && !ended_) ledger_->listingEnded(!reader_.failure());
            ended_ = true;
            return false;
        }
        entry.cookie = raw.firstCluster | (raw.noFatChain ? kNoFatChain : 0);
        if (ledger_) {
            if (!raw.isDirectory)
                ledger_->claimFile(raw.firstCluster, raw.dataLength, raw.noFatChain, path_,
                                   raw.name);
            else if (!ledger_->claimFolder(raw.firstCluster, raw.dataLength, raw.noFatChain, path_,
                                           raw.name))
                entry.cookie |= kNotClaimed;
        }
        entry.name = std::move(raw.name);
        entry.isDirectory = raw.isDirectory;
        // Allocation follows DataLength, never ValidDataLength; a folder's is its whole size.
        entry.size = raw.dataLength;
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
        const bool claims = ledger_ && !(entry.cookie & kNotClaimed);
        return std::make_unique<ExfatListing>(volume_, folder, claims ? ledger_ : nullptr,
                                              claims ? path_ + entry.name + "/" : std::string());
    }

private:
    ImageVolume& volume_;
    std::uint32_t cluster_;
    fat::ExfatFolderReader reader_;
    fat::ExfatLedger* ledger_;
    std::string path_;
    bool ended_ = false;
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

void ImageFolderEnumerator::beginWalk(const std::string& root) {
    rootToClaim_ = nullptr;
    ImageVolume* volume = images_.volumeAtRoot(root);
    if (volume && volume->balance && volume->balance->state == BalanceWalk::State::Asked)
        rootToClaim_ = volume;
}

void ImageFolderEnumerator::endWalk() {
    if (claiming_) claiming_->balance->state = BalanceWalk::State::Ended;
    rootToClaim_ = claiming_ = nullptr;
}

std::unique_ptr<FolderListing> ImageFolderEnumerator::open(const std::string& path) {
    const auto address = images_.addressOf(path);
    std::string error;
    ImageVolume* volume = address ? images_.volume(*address, error) : nullptr;
    if (!volume) return failedListing({error.empty() ? path + " : chemin invalide" : error, true});

    // The walk's own root, the first listing opened once the walk began, claims for its
    // balance.
    BalanceWalk* balance = nullptr;
    if (volume == rootToClaim_ && images_.volumeAtRoot(path) == volume) {
        rootToClaim_ = nullptr;
        claiming_ = volume;
        balance = volume->balance.get();
        balance->state = BalanceWalk::State::Walking;
    }
    std::unique_ptr<FolderListing> listing;
    if (volume->exfat) {
        fat::ExfatLedger* ledger = balance ? balance->exfatLedger.get() : nullptr;
        if (ledger) ledger->claimRoot();
        listing = std::make_unique<ExfatListing>(*volume, std::nullopt, ledger, "/");
    } else {
        const fat::Geometry& geometry = volume->fat->geometry();
        const bool fixedRoot = geometry.type != fat::FatType::Fat32;
        fat::ClusterLedger* ledger = balance ? balance->ledger.get() : nullptr;
        if (ledger) ledger->claimRoot();
        listing = std::make_unique<ImageListing>(
            *volume, fixedRoot ? kFixedRoot : geometry.rootCluster, true, ledger, "/");
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
