// exFAT images read without a mount, as the drive list and the walk see them: a tree copied in
// through exfat-fuse on a loop device, the drive entry, the volume's facts against dump.exfat,
// each folder's identity and folders found by their path (names, order and sizes are the
// reader's, tested against fls in tests/fat); an exFAT partition of a disk beside one that only
// looks like it.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "images/image_folders.h"
#include "images/image_registry.h"
#include "images/image_volume_service.h"
#include "support/exfat_image.h"
#include "support/fat_image.h"
#include "support/temp_dir.h"

namespace kesp::test {
namespace {

constexpr std::uint64_t MiB = 1 << 20;

struct Walked {
    std::map<std::string, std::vector<std::string>> children; // by folder, in delivery order
    std::set<std::uint64_t> ids;                              // of the folders that have one
    std::size_t folders = 0;
    std::vector<std::string> failures;
};

void walk(FolderListing& listing, const std::string& path, Walked& out) {
    ++out.folders;
    if (const auto id = listing.id()) {
        EXPECT_TRUE(out.ids.insert(id->node).second) << path;
    }
    std::vector<FolderEntry> folders;
    auto& children = out.children[path];
    FolderEntry entry;
    while (listing.next(entry)) {
        children.push_back(entry.name);
        if (entry.isDirectory) folders.push_back(entry);
    }
    if (const auto failure = listing.failure()) out.failures.push_back(failure->reason);
    for (const FolderEntry& folder : folders)
        walk(*listing.openChild(folder), path.empty() ? folder.name : path + "/" + folder.name,
             out);
}

void makeTree(const TempDir& tree) {
    tree.file("Été 2024/photo ü.jpg", 5000);
    tree.file("Été 2024/vidéo.mp4", 100000);
    tree.file("Été 2024/vide dedans/rien", 0);
    tree.file("\xF0\x9F\x98\x80 sourire.txt", 33);
    tree.file(std::string(255, 'L'), 12);
    tree.folder("dossier vide");
    for (int i = 0; i < 120; ++i)
        tree.file("beaucoup/fichier " + std::to_string(i) + ".txt", std::size_t(i) * 41);
}

TEST(ExfatImageBackend, DriveFactsIdentitiesAndPathsOfAFilledCard) {
    KESP_REQUIRE_EXFAT_TOOLS(true);
    TempDir tree;
    makeTree(tree);
    std::string error;
    auto image = ExfatImage::create(80 * MiB, 16384, "CARTE SD", error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->copyIn(tree.path(), error)) << error;
    const auto facts = dumpExfat(image->imagePath());
    ASSERT_TRUE(facts);
    const std::string img = image->imagePath();

    ImageRegistry images;
    const OpenedImage opened = images.openImage(img);
    ASSERT_EQ(opened.error, "");
    EXPECT_EQ(opened.drives, std::vector<std::string>{img + " [CARTE SD]"});
    std::vector<ImagePartition> partitions;
    ASSERT_TRUE(images.partitions(img, partitions, error)) << error;
    ASSERT_EQ(partitions.size(), 1u);
    EXPECT_EQ(partitions[0].fileSystem, "exFAT");
    EXPECT_EQ(partitions[0].label, "CARTE SD");

    ImageVolumeService volumes(images);
    VolumeInformation info;
    ASSERT_TRUE(volumes.volumeInformation(img + ":/", info));
    EXPECT_EQ(info.fileSystem, "exFAT");
    EXPECT_EQ(info.name, "CARTE SD");
    EXPECT_EQ(info.serial, facts->serial);
    EXPECT_EQ(info.maxComponentLength, 255u);
    EXPECT_EQ(info.remark, "");
    std::uint32_t sectorsPerCluster = 0, bytesPerSector = 0;
    ASSERT_TRUE(volumes.diskFreeSpace(img + ":/", sectorsPerCluster, bytesPerSector));
    EXPECT_EQ(sectorsPerCluster * bytesPerSector, facts->clusterBytes);
    EXPECT_EQ(volumes.totalBytes(img + ":/"), facts->volumeSectors * 512);
    EXPECT_TRUE(volumes.probeRoot(img + ":/"));

    ImageFolderEnumerator folders(images);
    Walked walked;
    walk(*folders.open(img + ":/"), "", walked);
    EXPECT_EQ(walked.failures, std::vector<std::string>{});
    // Every folder its own first cluster, the root's included.
    EXPECT_EQ(walked.ids.size(), walked.folders);
    EXPECT_TRUE(walked.ids.count(facts->rootCluster));

    // A folder by its path: exactly, else with case ignored.
    Walked summer;
    walk(*folders.open(img + ":/été 2024/"), "", summer);
    EXPECT_EQ(summer.children[""], walked.children["Été 2024"]);
    EXPECT_EQ(summer.children[""].size(), 3u);
    EXPECT_EQ(images.problemWith(img + ":/Été 2024/absent/"), "dossier introuvable : absent");
}

// Type 0x07 is NTFS or exFAT: the boot sector decides. A disk with one of each.
TEST(ExfatImageBackend, APartitionOfType07IsWhatItsBootSectorSays) {
    KESP_REQUIRE_EXFAT_TOOLS(false);
    std::string output;
    if (runProgram({"sfdisk", "--version"}, output) != 0) GTEST_SKIP() << "sfdisk is missing";
    TempDir dir;
    const std::string disk = dir / "disque.img";
    const std::string volume = dir / "volume.img";
    ASSERT_EQ(makeExfat(volume, 40 * MiB, 0, "PART1", output), 0) << output;
    ASSERT_EQ(runProgram({"truncate", "-s", "100M", disk}, output), 0) << output;
    ASSERT_EQ(runProgram({"sh", "-c",
                          "printf 'label: dos\\nstart=2048, size=81920, type=7\\nstart=86016, "
                          "size=81920, type=7\\n' | sfdisk -q " +
                              disk},
                         output),
              0)
        << output;
    ASSERT_EQ(runProgram({"dd", "if=" + volume, "of=" + disk, "bs=1M", "seek=1", "conv=notrunc",
                          "status=none"},
                         output),
              0)
        << output;
    // The second starts like NTFS and holds nothing else.
    ASSERT_EQ(runProgram({"sh", "-c",
                          "printf '\\353\\122\\220NTFS    ' | dd of=" + disk +
                              " bs=512 seek=86016 conv=notrunc status=none"},
                         output),
              0)
        << output;

    ImageRegistry images;
    std::vector<ImagePartition> partitions;
    std::string error;
    ASSERT_TRUE(images.partitions(disk, partitions, error)) << error;
    ASSERT_EQ(partitions.size(), 2u);
    EXPECT_EQ(partitions[0].type + " " + partitions[0].fileSystem + " " + partitions[0].label,
              "07 exFAT PART1");
    EXPECT_EQ(partitions[1].type + " " + partitions[1].fileSystem, "07 NTFS");
    EXPECT_EQ(images.openImage(disk).drives, std::vector<std::string>{disk + ":1 [PART1]"});
    EXPECT_EQ(images.problemWith(disk + ":2:/"), disk + ":2 : pas un volume FAT ni exFAT (NTFS)");
    EXPECT_EQ(images.problemWith(disk + ":/"), "");
}

} // namespace
} // namespace kesp::test
