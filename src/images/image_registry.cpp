#include "images/image_registry.h"

#include <algorithm>

#include "fat/container.h"
#include "images/image_folders.h"
#include "os/host_folder.h"

namespace kesp {

std::string ImageVolume::label() const {
    return fat ? fat->label() : exfat ? exfat->label() : std::string();
}

std::string ImageVolume::driveEntry() const {
    return imageDriveEntry(image, partition.number, label());
}

ImageRegistry::Image* ImageRegistry::image(const std::string& named, std::string& error) {
    // Drive entries and paths name the image absolutely, however it was given.
    const std::string path = absoluteHostPath(named);
    if (const auto found = images_.find(path); found != images_.end()) return &found->second;
    Image opened;
    opened.file = ImageFile::open(path, error);
    if (!opened.file) return nullptr;
    const fat::ContainerCheck container = fat::checkContainer(*opened.file);
    if (!container.refusal.empty()) {
        error = path + " : " + container.refusal;
        return nullptr;
    }
    opened.raw = std::make_unique<fat::SliceReader>(*opened.file, 0, container.rawBytes);
    fat::PartitionTable table = fat::readPartitions(*opened.raw);
    opened.tableProblem = std::move(table.problem);
    for (const fat::Partition& partition : table.partitions) {
        auto volume = std::make_unique<ImageVolume>();
        volume->image = path;
        volume->file = opened.file.get();
        volume->partition = partition;
        volume->slice =
            std::make_unique<fat::SliceReader>(*opened.raw, partition.offset, partition.size);
        volume->fileSystem = fat::fileSystemOf(*volume->slice);
        // An MBR type 0x07 is NTFS or exFAT: the boot sector decides, as for any partition.
        if (volume->fileSystem.starts_with("FAT"))
            volume->fat = fat::FatVolume::open(*volume->slice, volume->failure);
        else if (volume->fileSystem == "exFAT")
            volume->exfat = fat::ExfatVolume::open(*volume->slice, volume->failure);
        opened.volumes.push_back(std::move(volume));
    }
    order_.push_back(path);
    return &images_.emplace(path, std::move(opened)).first->second;
}

OpenedImage ImageRegistry::openImage(const std::string& path) {
    OpenedImage result;
    Image* opened = image(path, result.error);
    if (!opened) return result;
    for (const auto& volume : opened->volumes)
        if (volume->readable()) result.drives.push_back(volume->driveEntry());
    if (result.drives.empty())
        result.error = noFatVolume(*opened, path);
    else
        opened->listed = true;
    return result;
}

std::string ImageRegistry::noFatVolume(const Image& opened, const std::string& image) {
    if (opened.volumes.empty())
        return image + " : " +
               (opened.tableProblem.empty() ? std::string("aucune partition")
                                            : opened.tableProblem);
    // One volume: why it is not one that can be read; several: the reasons of those that looked
    // like FAT or exFAT.
    if (opened.volumes.size() == 1) return refusal(*opened.volumes.front());
    std::string reasons;
    for (const auto& volume : opened.volumes)
        if (!volume->failure.empty()) reasons += (reasons.empty() ? "" : " ; ") + refusal(*volume);
    std::string text = image + " : aucun volume FAT ni exFAT lisible dans cette image";
    return reasons.empty() ? text : text + " (" + reasons + ")";
}

std::string ImageRegistry::refusal(const ImageVolume& volume) {
    return volume.driveEntry() + " : " +
           (!volume.failure.empty()     ? volume.failure
            : volume.fileSystem.empty() ? std::string("pas un volume FAT ni exFAT")
                                        : "pas un volume FAT ni exFAT (" + volume.fileSystem + ")");
}

bool ImageRegistry::partitions(const std::string& path, std::vector<ImagePartition>& out,
                               std::string& error) {
    Image* opened = image(path, error);
    if (!opened) return false;
    if (opened->volumes.empty()) {
        error = noFatVolume(*opened, path);
        return false;
    }
    out.clear();
    for (const auto& volume : opened->volumes)
        out.push_back({volume->partition.number, volume->partition.offset, volume->partition.size,
                       volume->partition.type, volume->fileSystem, volume->label()});
    error = opened->tableProblem.empty() ? std::string() : path + " : " + opened->tableProblem;
    return true;
}

std::string ImageRegistry::problemWith(const std::string& path) {
    auto listing = ImageFolderEnumerator(*this).open(path);
    FolderEntry entry;
    if (listing->next(entry)) return {};
    const auto failure = listing->failure();
    return failure ? failure->reason : std::string();
}

std::optional<ImageAddress> ImageRegistry::locate(std::string_view text) const {
    std::optional<ImageAddress> best;
    const auto consider = [&best](std::optional<ImageAddress> found) {
        if (found && (!best || found->image.size() > best->image.size())) best = std::move(found);
    };
    for (const auto& [path, opened] : images_) {
        consider(addressIn(path, text));
        for (const auto& volume : opened.volumes)
            if (volume->readable() && volume->driveEntry() == text)
                consider(ImageAddress{path, volume->partition.number, "/"});
    }
    return best;
}

std::optional<ImageAddress> ImageRegistry::addressOf(std::string_view text) const {
    if (auto found = locate(text)) return found;
    return parseImageAddress(text);
}

ImageVolume* ImageRegistry::volume(const ImageAddress& address, std::string& error) {
    Image* opened = image(address.image, error);
    if (!opened) return nullptr;
    for (const auto& volume : opened->volumes) {
        const bool named = address.partition < 0 ? volume->readable()
                                                 : volume->partition.number == address.partition;
        if (!named) continue;
        if (volume->readable()) return volume.get();
        error = refusal(*volume);
        return nullptr;
    }
    error = address.partition < 0
                ? noFatVolume(*opened, address.image)
                : address.image + " : pas de partition " + std::to_string(address.partition);
    return nullptr;
}

ImageVolume* ImageRegistry::volumeAtRoot(std::string_view text) {
    const auto address = locate(text);
    if (!address || (!address->inner.empty() && address->inner != "/")) return nullptr;
    std::string error;
    return volume(*address, error);
}

std::string ImageRegistry::gatherBalance(const std::string& folder) {
    const auto address = locate(folder);
    if (!address)
        return folder + " n'est pas sur une image disque ni sur un périphérique lu directement";
    std::string error;
    ImageVolume* found = volume(*address, error);
    if (!found) return error;
    if (!address->inner.empty() && address->inner != "/")
        return folder + " n'est pas la racine de son volume";
    found->balance = std::make_unique<BalanceWalk>();
    if (found->exfat)
        found->balance->exfatLedger = std::make_unique<fat::ExfatLedger>(*found->exfat);
    else
        found->balance->ledger = std::make_unique<fat::ClusterLedger>(*found->fat);
    return {};
}

std::optional<fat::BalanceFacts> ImageRegistry::balance(const std::string& folder) {
    const auto address = locate(folder);
    std::string error;
    ImageVolume* found = address ? volume(*address, error) : nullptr;
    if (!found || !found->balance || found->balance->state != BalanceWalk::State::Ended)
        return std::nullopt;
    BalanceWalk& walk = *found->balance;
    if (!walk.facts) {
        walk.facts = walk.exfatLedger ? fat::balanceFacts(*found->exfat, *walk.exfatLedger)
                                      : fat::balanceFacts(*found->fat, *walk.ledger);
        // Their bits are the bulk of them, and are read.
        walk.ledger.reset();
        walk.exfatLedger.reset();
    }
    return walk.facts;
}

std::vector<std::string> ImageRegistry::driveEntries() const {
    std::vector<std::string> entries;
    for (const std::string& path : order_) {
        const Image& opened = images_.at(path);
        if (!opened.listed) continue;
        for (const auto& volume : opened.volumes)
            if (volume->readable()) entries.push_back(volume->driveEntry());
    }
    return entries;
}

} // namespace kesp
