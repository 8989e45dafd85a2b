#pragma once
// The host's volumes and the opened images behind one volume service and one folder enumerator:
// designations and paths in an image this process opened go to the image backend, the rest to
// the host's. The choice is made from the opened images' names alone: no system call, which
// could wait on a mount that does not answer, and no file taken for an image unless opened as
// one (a host folder "pics:" stays the host's beside an image "pics").
#include <memory>

#include "images/image_folders.h"
#include "images/image_registry.h"
#include "images/image_volume_service.h"
#include "os/folder_enum.h"
#include "os/volume_service.h"

namespace kesp {

class RoutedVolumeService final : public VolumeService {
public:
    RoutedVolumeService(std::unique_ptr<VolumeService> host, std::shared_ptr<ImageRegistry> images)
        : host_(std::move(host)), images_(std::move(images)), image_(*images_) {}

    std::vector<std::string> drives() override;
    std::optional<std::string> rootPath(const std::string& designation) override {
        return pick(designation).rootPath(designation);
    }
    std::string entryRoot(const std::string& entry) override {
        return pick(entry).entryRoot(entry);
    }
    bool probeRoot(const std::string& root) override { return pick(root).probeRoot(root); }
    bool volumeInformation(const std::string& root, VolumeInformation& info) override {
        return pick(root).volumeInformation(root, info);
    }
    bool diskFreeSpace(const std::string& root, std::uint32_t& sectorsPerCluster,
                       std::uint32_t& bytesPerSector) override {
        return pick(root).diskFreeSpace(root, sectorsPerCluster, bytesPerSector);
    }
    int readiness(const std::string& root) override { return pick(root).readiness(root); }
    std::string driveOf(const std::string& folder) override { return pick(folder).driveOf(folder); }
    std::uint64_t totalMegabytes(const std::string& root) override {
        return pick(root).totalMegabytes(root);
    }
    std::uint64_t totalBytes(const std::string& root) override {
        return pick(root).totalBytes(root);
    }

private:
    VolumeService& pick(const std::string& text) {
        return images_->claims(text) ? static_cast<VolumeService&>(image_) : *host_;
    }
    std::unique_ptr<VolumeService> host_;
    std::shared_ptr<ImageRegistry> images_;
    ImageVolumeService image_;
};

class RoutedFolderEnumerator final : public FolderEnumerator {
public:
    RoutedFolderEnumerator(std::unique_ptr<FolderEnumerator> host,
                           std::shared_ptr<ImageRegistry> images)
        : host_(std::move(host)), images_(std::move(images)), image_(*images_) {}

    void beginWalk(const std::string& root) override {
        inImage_ = images_->claims(root);
        if (inImage_)
            image_.beginWalk(root);
        else
            host_->beginWalk(root);
    }
    void endWalk() override {
        if (inImage_)
            image_.endWalk();
        else
            host_->endWalk();
    }
    std::unique_ptr<FolderListing> open(const std::string& path) override {
        return images_->claims(path) ? image_.open(path) : host_->open(path);
    }
    char separatorFor(const std::string& root) const override {
        return images_->claims(root) ? image_.separatorFor(root) : host_->separatorFor(root);
    }

private:
    std::unique_ptr<FolderEnumerator> host_;
    std::shared_ptr<ImageRegistry> images_;
    ImageFolderEnumerator image_;
    bool inImage_ = false;
};

} // namespace kesp
