#pragma once
// Folder listings of FAT images: a folder is opened by its first cluster, which each listing
// delivers as the cookie of its sub-folders.
#include <memory>
#include <string>

#include "images/image_registry.h"
#include "os/folder_enum.h"

namespace kesp {

class ImageFolderEnumerator final : public FolderEnumerator {
public:
    explicit ImageFolderEnumerator(ImageRegistry& images) : images_(images) {}
    // "IMAGE[:N]:/A/B/": the root, then each folder found by its name.
    std::unique_ptr<FolderListing> open(const std::string& path) override;
    char separatorFor(const std::string&) const override { return '/'; }

private:
    ImageRegistry& images_;
};

} // namespace kesp
