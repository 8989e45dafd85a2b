#pragma once
// The volume queries of FAT images: every designation and root names an image volume.
#include "images/image_registry.h"
#include "os/volume_service.h"

namespace kesp {

class ImageVolumeService final : public VolumeService {
public:
    explicit ImageVolumeService(ImageRegistry& images) : images_(images) {}

    std::vector<std::string> drives() override { return images_.driveEntries(); }
    std::optional<std::string> rootPath(const std::string& designation) override;
    // True when the root can be read, empty or not.
    bool probeRoot(const std::string& root) override;
    bool volumeInformation(const std::string& root, VolumeInformation& info) override;
    bool diskFreeSpace(const std::string& root, std::uint32_t& sectorsPerCluster,
                       std::uint32_t& bytesPerSector) override;
    int readiness(const std::string& root) override;
    std::string driveOf(const std::string& folder) override;
    std::uint64_t totalMegabytes(const std::string& root) override;
    std::uint64_t totalBytes(const std::string& root) override;

private:
    ImageVolume* volumeOf(const std::string& text);
    ImageRegistry& images_;
};

} // namespace kesp
