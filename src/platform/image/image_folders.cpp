#include "platform/image/image_folders.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "fat/folder_reader.h"

namespace kesp {
namespace {

// The fixed root of FAT12/16 has no cluster; sub-folders that point at it say 0.
constexpr std::uint32_t kFixedRoot = 0;

class ImageListing final : public FolderListing {
public:
    // `path` holds the clusters from the root down to this folder, which is the last one.
    ImageListing(ImageVolume& volume, std::vector<std::uint32_t> path)
        : volume_(volume), path_(std::move(path)),
          reader_(path_.size() == 1 ? fat::FolderReader::root(*volume.fat)
                                    : fat::FolderReader::at(*volume.fat, path_.back())) {}

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
        if (!reader_.failure()) return std::nullopt;
        // The device stopped answering: nothing more can be read from it.
        if (const int error = volume_.file->deviceError())
            return ListingFailure{std::strerror(error), true};
        return ListingFailure{*reader_.failure(), false};
    }

    std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
        const auto cluster = static_cast<std::uint32_t>(entry.cookie);
        if (entry.cookie > 0xFFFFFFFFu ||
            std::find(path_.begin(), path_.end(), cluster) != path_.end())
            return failedListing({"dossier en boucle : il contient l'un de ses parents", false});
        std::vector<std::uint32_t> path = path_;
        path.push_back(cluster);
        return std::make_unique<ImageListing>(volume_, std::move(path));
    }

private:
    ImageVolume& volume_;
    std::vector<std::uint32_t> path_;
    fat::FolderReader reader_;
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

    const fat::Geometry& geometry = volume->fat->geometry();
    const bool fixedRoot = geometry.type != FatType::Fat32;
    std::unique_ptr<FolderListing> listing = std::make_unique<ImageListing>(
        *volume, std::vector<std::uint32_t>{fixedRoot ? kFixedRoot : geometry.rootCluster});
    // Each name found in its parent, exactly, else as FAT compares names (case ignored).
    std::string_view rest = address->inner;
    while (!rest.empty()) {
        const auto slash = rest.find('/');
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
