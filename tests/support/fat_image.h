#pragma once
// FAT12/16/32 images made with mkfs.fat, filled with mtools and mounted read-only with fusefat,
// for tests on real FAT volumes. Everything lives in a fresh temporary folder that the
// destructor unmounts and removes, also when a test fails; what a crashed test process left
// behind is swept by the next create(). The truth about an image comes from
// mtools (minfo, mdu), never from our own code.
//
//   auto image = FatImage::create(labelledFat(16, 4, "KESPF16", "0BADF00D", 20 << 20), error);
//   image->addFile("SUB/DATA.BIN", 5000);    // before mount(); folders are made as needed
//   image->mount(error);                       // then image->mountPoint() is the volume
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kesp::test {

struct FatImageLayout {
    int fatBits = 32; // 12, 16 or 32 (mkfs.fat -F)
    int sectorsPerCluster = 8;
    std::string label;                     // mkfs.fat -n; empty for none
    std::string serial;                    // mkfs.fat -i, 8 hex digits; empty for a random one
    std::uint64_t sizeBytes = 64ull << 20; // a sparse file
    int sectorSize = 512;                  // mkfs.fat -S
};

// The layout of a labelled image, in one line of a test table.
inline FatImageLayout labelledFat(int fatBits, int sectorsPerCluster, std::string label,
                                  std::string serial, std::uint64_t sizeBytes) {
    FatImageLayout layout;
    layout.fatBits = fatBits;
    layout.sectorsPerCluster = sectorsPerCluster;
    layout.label = std::move(label);
    layout.serial = std::move(serial);
    layout.sizeBytes = sizeBytes;
    return layout;
}

// Test names and failures show the layout, not its bytes.
// The offset of the 32-byte directory entry whose 11-byte short name is `name11` in an
// image's bytes; npos when there is none.
inline std::size_t entryAt(const std::string& bytes, const std::string& name11) {
    for (std::size_t at = bytes.find(name11); at != std::string::npos;
         at = bytes.find(name11, at + 1))
        if (at % 32 == 0) return at;
    return std::string::npos;
}

inline void PrintTo(const FatImageLayout& layout, std::ostream* out) {
    *out << "FAT" << layout.fatBits << " " << layout.sectorsPerCluster << "x" << layout.sectorSize
         << " " << layout.label;
}

// What minfo prints about an image.
struct MinfoFacts {
    std::uint32_t sectorSize = 0;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t serial = 0;
    std::string label;              // blanks trimmed
    std::string diskType;           // "FAT12", "FAT16", "FAT32", blanks trimmed
    std::uint64_t totalSectors = 0; // "small size", else "big size"
    std::uint32_t reservedSectors = 0;
    std::uint32_t fats = 0;
    std::uint32_t sectorsPerFat = 0; // "sectors per fat", else "Big fatlen"
    std::uint32_t rootEntries = 0;   // "max available root directory slots"
};

// What `fsck.fat -n` says of an image; with `salvage`, `fsck.fat -n -f`, which also counts the
// lost chains.
struct FsckFacts {
    std::string output;
    std::optional<std::uint64_t> reclaimedClusters; // "Reclaimed N unused clusters"
    std::optional<std::uint64_t> reclaimedChains;   // "… in K chains" (salvage)
    std::optional<std::uint64_t> statedFree;        // "Free cluster summary wrong (A vs. really B)"
    std::optional<std::uint64_t> reallyFree;
    std::uint64_t usedClusters = 0; // "N files, U/T clusters"
    std::uint64_t totalClusters = 0;
};
std::optional<FsckFacts> fsckFacts(const std::string& image, bool salvage);

// Empty when the image tools are present (and, with `mount`, fusefat and /dev/fuse); else the
// reason to skip.
std::string fatToolsMissing(bool mount);

// Whether `point` is in this process's mount table.
bool isMounted(const std::string& point);

// Runs a program with an argument vector (no shell), MTOOLS_SKIP_CHECK=1 in its environment;
// returns its exit status (-1 when it could not run) and its standard output and error.
int runProgram(const std::vector<std::string>& argv, std::string& output);

// The fusefat daemon serving `image`, found by its command line since it detaches itself; -1
// when none does.
int fusefatDaemonOf(const std::string& image);
// Kills `pid` with SIGKILL and waits (up to 2 s) until it is gone.
bool killAndWait(int pid);

class FatImage {
public:
    static std::unique_ptr<FatImage> create(const FatImageLayout& layout, std::string& error);
    ~FatImage();
    FatImage(const FatImage&) = delete;
    FatImage& operator=(const FatImage&) = delete;

    const std::string& imagePath() const { return image_; }
    const std::string& mountPoint() const { return mountPoint_; }

    // Copies a file of `size` bytes to `path` ("SUB/NAME.BIN", "/" separated) in the image,
    // making its folders first. Only before mount().
    bool addFile(const std::string& path, std::uint64_t size, std::string& error);
    bool addFolder(const std::string& path, std::string& error);

    // Mounts read-only at a fresh folder below the temporary one, with the image as the mount's
    // source.
    bool mount(std::string& error);
    void unmount();

    std::optional<MinfoFacts> minfo() const;
    // mdu -a: clusters per path ("::/SUB/NAME.BIN"), as mtools counts them.
    std::map<std::string, std::uint64_t> clustersByPath() const;

private:
    FatImage() = default;
    std::string folder_;
    std::string image_;
    std::string mountPoint_;
    std::vector<std::string> folders_; // already made in the image
    int files_ = 0;
};

} // namespace kesp::test

// In a test body: skips with the stated reason when the tools are missing.
#define KESP_REQUIRE_FAT_TOOLS(mount)                                                              \
    do {                                                                                           \
        const std::string kesp_missing = ::kesp::test::fatToolsMissing(mount);                     \
        if (!kesp_missing.empty()) GTEST_SKIP() << kesp_missing;                                   \
    } while (false)
