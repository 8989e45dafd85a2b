#pragma once
// exFAT images made with mkfs.exfat and filled through exfat-fuse on a loop device (the only way
// to write into one on a machine without the kernel driver), for tests on real exFAT volumes.
// Everything lives in a fresh temporary folder that the destructor unmounts, detaches and
// removes, also when a test fails; what a crashed test process left behind is swept by the next
// create(). The truth about an image comes from exfatprogs' dump.exfat and The Sleuth Kit's fls,
// never from our own code (and never from fsstat, which loops on exFAT).
//
//   auto image = ExfatImage::create(64ull << 20, 4096, "CARTE", error);
//   image->copyIn(sourceFolder, error);   // cp -r through the mount, then unmount and detach
//   auto facts = dumpExfat(image->imagePath());
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kesp::test {

// What dump.exfat prints about an image.
struct DumpExfatFacts {
    std::uint64_t volumeSectors = 0;
    std::uint64_t fatOffset = 0;  // sectors
    std::uint64_t fatLength = 0;  // sectors
    std::uint64_t heapOffset = 0; // sectors
    std::uint64_t clusterCount = 0;
    std::uint64_t rootCluster = 0;
    std::uint32_t serial = 0;
    std::uint32_t clusterBytes = 0;
    std::uint64_t bitmapCluster = 0;
    std::uint64_t upcaseCluster = 0;
    std::uint64_t freeClusters = 0;
    std::string label;
};

std::optional<DumpExfatFacts> dumpExfat(const std::string& image);

// Empty when mkfs.exfat and dump.exfat are there (and, with `fill`, fls, mount.exfat-fuse,
// losetup, a usable /dev/fuse and loop devices); else the reason to skip.
std::string exfatToolsMissing(bool fill);

// Runs mkfs.exfat on `image` (a sparse file of `sizeBytes` made first) with `-c clusterBytes`
// unless it is 0, and `-L label` unless empty; returns its exit status and output.
int makeExfat(const std::string& image, std::uint64_t sizeBytes, std::uint32_t clusterBytes,
              const std::string& label, std::string& output);

class ExfatImage {
public:
    static std::unique_ptr<ExfatImage> create(std::uint64_t sizeBytes, std::uint32_t clusterBytes,
                                              const std::string& label, std::string& error);
    ~ExfatImage();
    ExfatImage(const ExfatImage&) = delete;
    ExfatImage& operator=(const ExfatImage&) = delete;

    const std::string& imagePath() const { return image_; }

    // Copies the contents of the folder `source` into the volume's root (cp -r through
    // exfat-fuse on a loop device), then unmounts and detaches, so the image holds it all.
    bool copyIn(const std::string& source, std::string& error);

    // Mounts the image with exfat-fuse on a loop device and leaves it mounted (a "fuseblk"
    // mount whose source is the loop device) until the object goes.
    bool mount(std::string& error);
    const std::string& mountPoint() const { return mountPoint_; }

    // fls -r -p: the paths of the files and folders in the order fls lists them, without the
    // entries it makes up for the volume's own structures and without deleted ones.
    std::vector<std::string> flsPaths() const;

private:
    ExfatImage() = default;
    void release();

    std::string folder_;
    std::string image_;
    std::string mountPoint_;
    std::string loop_;
};

} // namespace kesp::test

// In a test body: skips with the stated reason when the tools are missing.
#define KESP_REQUIRE_EXFAT_TOOLS(fill)                                                             \
    do {                                                                                           \
        const std::string kesp_missing = ::kesp::test::exfatToolsMissing(fill);                    \
        if (!kesp_missing.empty()) GTEST_SKIP() << kesp_missing;                                   \
    } while (false)
