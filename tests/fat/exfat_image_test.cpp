// The exFAT reader on real volumes: mkfs.exfat, then a tree of awkward names copied in through
// exfat-fuse on a loop device. Truth: the source tree's own names and sizes, fls for the names
// and their order on disk, dump.exfat for the free clusters.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "fat/exfat_folder_reader.h"
#include "fat/exfat_volume.h"
#include "support/exfat_image.h"
#include "support/temp_dir.h"

namespace kesp::fat {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t KiB = 1024, MiB = KiB * KiB;

class FileReader final : public ByteReader {
public:
    explicit FileReader(const std::string& path)
        : in_(path, std::ios::binary), size_(fs::file_size(path)) {}
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        if (offset > size_ || out.size() > size_ - offset) return false;
        in_.seekg(std::streamoff(offset));
        in_.read(reinterpret_cast<char*>(out.data()), std::streamsize(out.size()));
        return bool(in_);
    }
    std::uint64_t size() const override { return size_; }

private:
    std::ifstream in_;
    std::uint64_t size_;
};

void makeTree(const kesp::test::TempDir& tree) {
    tree.file("Été 2024/photo ü.jpg", 5000);
    tree.file("Été 2024/vidéo.mp4", 100000);
    tree.file("Été 2024/vide dedans/rien", 0);
    tree.file("vide.txt", 0);
    tree.file("\xF0\x9F\x98\x80 sourire.txt", 33); // a surrogate pair on disk
    tree.file("\xE4\xB8\xAD\xE6\x96\x87.txt", 4096);
    tree.file(std::string(15, 'q'), 1);
    tree.file(std::string(16, 'r'), 4097);
    tree.file(std::string(255, 'L'), 12);
    tree.file("a/b/c/d/e/profond.bin", 70000);
    tree.folder("dossier vide");
    // A folder that grows past its first cluster while it is filled.
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "trois cents/fichier %03d.txt", i);
        tree.file(name, std::size_t(i) * 37);
    }
}

struct Walked {
    std::vector<std::string> paths;             // every file and folder, parents first
    std::map<std::string, std::uint64_t> sizes; // files
    std::map<std::string, std::vector<std::string>> children; // in on-disk order
    std::uint64_t clusters = 0;                               // files' and sub-folders' allocations
    std::vector<std::string> failures;
};

void walk(ExfatVolume& volume, ExfatFolderReader reader, const std::string& prefix, Walked& out) {
    ExfatEntry entry;
    std::vector<std::pair<std::string, ExfatFolder>> folders;
    auto& children = out.children[prefix];
    while (reader.next(entry)) {
        const std::string path = prefix.empty() ? entry.name : prefix + "/" + entry.name;
        out.paths.push_back(path);
        children.push_back(entry.name);
        out.clusters += entry.clusters(volume.geometry().clusterBytes);
        if (entry.isDirectory)
            folders.emplace_back(path, entry.folder());
        else
            out.sizes[path] = entry.dataLength;
    }
    if (reader.failure()) out.failures.push_back(prefix + ": " + *reader.failure());
    for (const auto& [path, folder] : folders)
        walk(volume, ExfatFolderReader::at(volume, folder), path, out);
}

class ExfatImageRead : public testing::TestWithParam<std::uint32_t> {};

TEST_P(ExfatImageRead, NamesOrderSizesAndFreeClustersAsTheToolsSeeThem) {
    KESP_REQUIRE_EXFAT_TOOLS(true);
    const std::uint32_t clusterBytes = GetParam();
    kesp::test::TempDir tree;
    makeTree(tree);
    std::string error;
    auto image = kesp::test::ExfatImage::create(96 * MiB, clusterBytes, "CARTE", error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->copyIn(tree.path(), error)) << error;
    const auto facts = kesp::test::dumpExfat(image->imagePath());
    ASSERT_TRUE(facts);

    FileReader reader(image->imagePath());
    auto volume = ExfatVolume::open(reader, error);
    ASSERT_TRUE(volume) << error;
    EXPECT_EQ(volume->bootNote(), "");
    EXPECT_EQ(volume->label(), "CARTE");
    EXPECT_EQ(volume->boot().serial, facts->serial);
    EXPECT_EQ(volume->geometry().clusterBytes, clusterBytes);

    Walked walked;
    walk(*volume, ExfatFolderReader::root(*volume), "", walked);
    EXPECT_EQ(walked.failures, std::vector<std::string>{});

    // Every path of the source tree, with its size, and nothing else.
    std::set<std::string> expected;
    for (const auto& e : fs::recursive_directory_iterator(tree.path())) {
        const std::string path = fs::relative(e.path(), tree.path()).string();
        expected.insert(path);
        if (e.is_regular_file()) {
            EXPECT_EQ(walked.sizes[path], e.file_size()) << path;
        }
    }
    EXPECT_EQ(std::set<std::string>(walked.paths.begin(), walked.paths.end()), expected);
    EXPECT_EQ(walked.paths.size(), expected.size()); // no entry delivered twice

    // fls reads each folder in its on-disk order, as we do.
    std::map<std::string, std::vector<std::string>> flsChildren;
    for (const std::string& path : image->flsPaths()) {
        const auto slash = path.rfind('/');
        flsChildren[slash == std::string::npos ? "" : path.substr(0, slash)].push_back(
            slash == std::string::npos ? path : path.substr(slash + 1));
    }
    for (auto& [folder, names] : walked.children) {
        if (names.empty()) flsChildren.try_emplace(folder);
    }
    EXPECT_EQ(walked.children, flsChildren);

    // The allocation rules account for every cluster the bitmap marks.
    std::uint64_t free = 0;
    auto freeClusters = volume->freeClusters(error);
    ASSERT_TRUE(freeClusters) << error;
    free = *freeClusters;
    EXPECT_EQ(free, facts->freeClusters);
    const auto rootClusters = volume->rootClusters(error);
    ASSERT_TRUE(rootClusters) << error;
    const auto& g = volume->geometry();
    const std::uint64_t bitmapClusters =
        (((g.clusterCount + 7) / 8) + g.clusterBytes - 1) / g.clusterBytes;
    const std::uint64_t upcaseClusters = (5836 + g.clusterBytes - 1) / g.clusterBytes;
    EXPECT_EQ(walked.clusters + *rootClusters + bitmapClusters + upcaseClusters,
              g.clusterCount - free);
}

INSTANTIATE_TEST_SUITE_P(ClusterSizes, ExfatImageRead, testing::Values(4 * KiB, 128 * KiB));

TEST(ExfatFreshImage, HasOnlyItsOwnClusters) {
    KESP_REQUIRE_EXFAT_TOOLS(false);
    kesp::test::TempDir dir;
    const std::string path = dir / "ex.img";
    std::string output;
    ASSERT_EQ(kesp::test::makeExfat(path, 300 * MiB, 0, "VIDE", output), 0) << output;
    const auto facts = kesp::test::dumpExfat(path);
    ASSERT_TRUE(facts);
    FileReader reader(path);
    std::string error;
    auto volume = ExfatVolume::open(reader, error);
    ASSERT_TRUE(volume) << error;
    EXPECT_EQ(volume->label(), "VIDE");
    EXPECT_EQ(volume->geometry().clusterCount, facts->clusterCount);
    EXPECT_EQ(volume->geometry().rootCluster, facts->rootCluster);
    EXPECT_EQ(volume->freeClusters(error), facts->freeClusters) << error;
    EXPECT_EQ(volume->rootClusters(error), 1u) << error;
    ExfatEntry entry;
    auto root = ExfatFolderReader::root(*volume);
    EXPECT_FALSE(root.next(entry));
    EXPECT_EQ(root.failure(), std::nullopt);
}

} // namespace
} // namespace kesp::fat
