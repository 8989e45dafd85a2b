#pragma once
// Folder listings of FAT images: a folder is opened by its first cluster, which each listing
// delivers as the cookie of its sub-folders. A walk from a volume's root whose balance was asked
// for (ImageVolumes::gatherBalance) has its listings claim every chain they deliver.
#include <memory>
#include <string>

#include "images/image_registry.h"
#include "os/folder_enum.h"

namespace kesp {

class ImageFolderEnumerator final : public FolderEnumerator {
public:
    explicit ImageFolderEnumerator(ImageRegistry& images) : images_(images) {}
    void beginWalk(const std::string& root) override;
    void endWalk() override;
    // "IMAGE[:N]:/A/B/": the root, then each folder found by its name.
    std::unique_ptr<FolderListing> open(const std::string& path) override;
    char separatorFor(const std::string&) const override { return '/'; }

private:
    ImageRegistry& images_;
    // The volume whose root the walk about to start opens first, to claim for its balance; only
    // that listing and those it opens claim, not the folder tree's.
    ImageVolume* rootToClaim_ = nullptr;
    ImageVolume* claiming_ = nullptr;
};

} // namespace kesp
