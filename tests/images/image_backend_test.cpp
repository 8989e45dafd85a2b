// FAT images read without a mount: names, order and sizes of every folder against mtools' own
// listing, partitioned images, and damaged images that must give a reason, never a hang.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>

#include "fat/boot_sector.h"
#include "images/image_folders.h"
#include "images/image_registry.h"
#include "images/image_volume_service.h"
#include "images/routed_services.h"
#include "os/posix/folder_enum_posix.h"
#include "support/fake_volume_service.h"
#include "support/fat_image.h"
#include "support/posix_files.h"
#include "support/temp_dir.h"

namespace kesp::test {
namespace {

// One folder's entries, "name size" or "name/" each, in order.
using Block = std::vector<std::string>;

struct Walk {
    std::vector<Block> blocks; // depth first, each folder before its sub-folders
    std::vector<std::string> failures;
    std::map<std::string, std::uint64_t> fileSizes; // by path below the root, "/" separated
};

void walk(FolderListing& listing, Walk& out, const std::string& path = "", int depth = 0) {
    Block block;
    std::vector<FolderEntry> folders;
    FolderEntry entry;
    while (listing.next(entry)) {
        block.push_back(entry.isDirectory ? entry.name + "/"
                                          : entry.name + " " + std::to_string(entry.size));
        if (entry.isDirectory)
            folders.push_back(entry);
        else
            out.fileSizes[path + entry.name] = entry.size;
    }
    if (auto failure = listing.failure()) out.failures.push_back(failure->reason);
    out.blocks.push_back(block);
    ASSERT_LT(depth, 64) << "the walk went deeper than any test tree";
    for (const FolderEntry& folder : folders) {
        auto child = listing.openChild(folder);
        walk(*child, out, path + folder.name + "/", depth + 1);
    }
}

Walk walkImage(const std::string& root) {
    ImageRegistry images;
    ImageFolderEnumerator folders(images);
    Walk out;
    auto listing = folders.open(root);
    walk(*listing, out);
    return out;
}

// `mdir -/ -a`, cut into the same blocks: the long name when there is one, else the 8.3 row as
// mtools shows it with the case bits applied.
std::vector<Block> mdirBlocks(const std::string& image) {
    std::string output;
    EXPECT_EQ(runProgram({"mdir", "-/", "-a", "-i", image, "::/"}, output), 0) << output;
    static const std::regex row(R"(^(.+?) +(<DIR>|\d+) +\d{4}-\d\d-\d\d +\d+:\d\d *(.*)$)");
    std::vector<Block> blocks;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (line.starts_with("Directory for ")) {
            blocks.emplace_back();
        } else if (!blocks.empty() && std::regex_match(line, m, row)) {
            std::string name = m[3];
            if (name.empty()) {
                std::istringstream parts(m[1].str());
                std::string base, extension;
                parts >> base >> extension;
                name = extension.empty() ? base : base + "." + extension;
            }
            if (name == "." || name == "..") continue;
            blocks.back().push_back(m[2] == "<DIR>" ? name + "/" : name + " " + m[2].str());
        }
    }
    return blocks;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ImageWalk : public ::testing::TestWithParam<FatImageLayout> {
protected:
    // mtools reads the host's file names, and prints the image's, in the locale's character set.
    void SetUp() override { ::setenv("LC_ALL", "C.UTF-8", 1); }
};

TEST_P(ImageWalk, NamesOrderAndSizesAreMtoolsOwn) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    auto image = FatImage::create(GetParam(), error);
    ASSERT_TRUE(image) << error;
    for (const auto& [path, size] : std::vector<std::pair<std::string, std::uint64_t>>{
             {"readme.txt", 6},
             {"ÉTÉ.TXT", 0},
             {"noël.txt", 4097},
             {"Mixed.Txt", 1},
             {"Long file name, with spaces.jpeg", 70000},
             {"写真フォルダ/日本語の名前.txt", 10},
             {"Photos/été/img1.jpg", 5000},
             {"Photos/été/DSC 0002.JPG", 123456},
             {"gone.txt", 3},
         })
        ASSERT_TRUE(image->addFile(path, size, error)) << error;
    // Enough entries for the folder to span several clusters, and a hole left by a deletion.
    for (int i = 0; i < 70; ++i)
        ASSERT_TRUE(image->addFile("Big/file number " + std::to_string(i) + ".bin", i, error));
    std::string output;
    ASSERT_EQ(runProgram({"mdel", "-i", image->imagePath(), "::/gone.txt"}, output), 0) << output;
    ASSERT_TRUE(image->addFile("later.txt", 2, error)) << error;

    const std::string before = fileBytes(image->imagePath());
    const Walk walked = walkImage(image->imagePath() + ":/");
    EXPECT_EQ(walked.failures, std::vector<std::string>{});
    EXPECT_EQ(walked.blocks, mdirBlocks(image->imagePath()));
    EXPECT_EQ(fileBytes(image->imagePath()), before) << "reading changed the image";

    ImageRegistry images;
    ImageVolumeService volumes(images);
    const auto minfo = image->minfo();
    ASSERT_TRUE(minfo);
    // Each file's clusters as mdu counts them. mdu's paths show a short folder name's case bits
    // on ASCII letters only ("ÉtÉ" for "été"), so paths are compared with the Latin-1 capitals
    // folded.
    const auto fold = [](std::string text) {
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '\xC3' && std::uint8_t(text[i + 1]) >= 0x80 &&
                std::uint8_t(text[i + 1]) <= 0x9E)
                text[i + 1] = char(text[i + 1] + 0x20);
        return text;
    };
    std::map<std::string, std::uint64_t> mduClusters;
    for (const auto& [path, clusters] : image->clustersByPath())
        mduClusters[fold(path)] = clusters;
    const std::uint64_t cluster = std::uint64_t(minfo->sectorSize) * minfo->sectorsPerCluster;
    for (const auto& [path, size] : walked.fileSizes)
        EXPECT_EQ(mduClusters[fold("::/" + path)], (size + cluster - 1) / cluster) << path;

    std::uint32_t sectorsPerCluster = 0, bytesPerSector = 0;
    ASSERT_TRUE(
        volumes.diskFreeSpace(image->imagePath() + ":/", sectorsPerCluster, bytesPerSector));
    EXPECT_EQ(sectorsPerCluster, minfo->sectorsPerCluster);
    EXPECT_EQ(bytesPerSector, minfo->sectorSize);
    VolumeInformation info;
    ASSERT_TRUE(volumes.volumeInformation(image->imagePath(), info));
    EXPECT_EQ(info.name, minfo->label);
    EXPECT_EQ(info.serial, minfo->serial);
    EXPECT_EQ(info.fileSystem, GetParam().fatBits == 32 ? "FAT32" : "FAT");
    EXPECT_EQ(volumes.driveOf(image->imagePath() + ":/Photos/"),
              image->imagePath() + " [" + minfo->label + "]");
}

INSTANTIATE_TEST_SUITE_P(Fat, ImageWalk,
                         ::testing::Values(labelledFat(12, 4, "KESPF12", "CAFE0012", 8 << 20),
                                           labelledFat(16, 4, "KESPF16", "0BADF00D", 20 << 20),
                                           labelledFat(32, 1, "KESPF32", "1234ABCD", 40 << 20)));

// Volumes a card holds just after formatting, or once everything on it is deleted, and a FAT32
// layout below the FAT32 cluster count (mkfs.fat -F 32 on a small image): each opens, its root
// is probed as readable, and the report gives its facts.
TEST(ImageVolumeService, EmptyAndSmallFat32VolumesAreVolumes) {
    KESP_REQUIRE_FAT_TOOLS(false);
    struct Case {
        FatImageLayout layout;
        bool deleteFile;
        bool belowFat32Count;
    };
    for (const auto& c : {Case{labelledFat(12, 4, "NEUVE", "", 8 << 20), false, false},
                          Case{labelledFat(16, 4, "VIDEE", "", 20 << 20), true, false},
                          Case{labelledFat(32, 1, "NEUVE32", "", 40 << 20), false, false},
                          Case{labelledFat(32, 8, "PETITE32", "", 40 << 20), false, true}}) {
        SCOPED_TRACE(c.layout.label);
        std::string error, output;
        auto image = FatImage::create(c.layout, error);
        ASSERT_TRUE(image) << error;
        if (c.deleteFile) {
            ASSERT_TRUE(image->addFile("seul.txt", 10, error)) << error;
            ASSERT_EQ(runProgram({"mdel", "-i", image->imagePath(), "::/seul.txt"}, output), 0)
                << output;
        }
        const std::string root = image->imagePath() + ":/";
        ImageRegistry images;
        ImageVolumeService volumes(images);
        EXPECT_EQ(images.openImage(image->imagePath()).error, "");
        EXPECT_TRUE(volumes.probeRoot(root));
        const Walk walked = walkImage(root);
        EXPECT_EQ(walked.blocks, std::vector<Block>{{}});
        EXPECT_EQ(walked.failures, std::vector<std::string>{});

        VolumeInformation info;
        ASSERT_TRUE(volumes.volumeInformation(root, info));
        const auto minfo = image->minfo();
        ASSERT_TRUE(minfo);
        EXPECT_EQ(info.name, minfo->label);
        EXPECT_EQ(info.fileSystem, c.layout.fatBits == 32 ? "FAT32" : "FAT");
        // fsck.fat reads the small FAT32 one too, and counts its clusters.
        runProgram({"/usr/sbin/fsck.fat", "-n", image->imagePath()}, output);
        std::smatch counted;
        ASSERT_TRUE(std::regex_search(output, counted, std::regex(R"(\d+/(\d+) clusters)")))
            << output;
        if (c.belowFat32Count)
            EXPECT_EQ(info.remark, "FAT32 de " + counted[1].str() +
                                       " clusters (moins de 65 525) : certains pilotes refusent "
                                       "ce volume");
        else
            EXPECT_EQ(info.remark, "");
    }
}

// What the opening found out is what the refusal says.
TEST(ImageRegistry, RefusalsGiveThePreciseReason) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    auto image = FatImage::create(labelledFat(16, 4, "COUPEE", "", 20 << 20), error);
    ASSERT_TRUE(image) << error;
    const std::string path = image->imagePath();
    ASSERT_TRUE(image->addFile("a.txt", 10, error)) << error;
    std::filesystem::resize_file(path, 4096); // the boot sector and part of the first FAT
    ImageRegistry images;
    EXPECT_EQ(images.openImage(path).error,
              path + " : image tronquée : la table d'allocation ou le dossier racine manque");
    ImageVolumeService volumes(images);
    EXPECT_FALSE(volumes.probeRoot(path + ":/"));

    std::filesystem::resize_file(path, 0);
    ImageRegistry again;
    EXPECT_EQ(again.openImage(path).error, path + " : image vide");
    std::vector<ImagePartition> partitions;
    EXPECT_FALSE(again.partitions(path, partitions, error));
    EXPECT_EQ(error, path + " : image vide");
}

// Chain damage is the FAT library's (its tests build it in memory); this one needs a whole
// image. A cycle through folder entries is the walk's to stop (kesp-scan's image tests).
TEST(DamagedImage, EachDamageGivesAReasonAndTheWalkEnds) {
    KESP_REQUIRE_FAT_TOOLS(false);
    struct Case {
        const char* what;
        const char* reason;
        std::function<void(std::string&, const fat::FatBootSector&)> damage;
    };
    const std::vector<Case> cases = {
        {"the image cut after its FATs", "lecture impossible",
         [&](std::string& bytes, const fat::FatBootSector& boot) {
             bytes.resize(boot.firstDataSector() * boot.bytesPerSector + 512);
         }},
    };
    std::string error;
    auto image = FatImage::create(labelledFat(32, 1, "DAMAGE", "0000DA4A", 40 << 20), error);
    ASSERT_TRUE(image) << error;
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(image->addFile("SUB/INNER/F" + std::to_string(i) + ".BIN", 100, error));
    const std::string clean = fileBytes(image->imagePath());
    const auto boot = fat::parseFatBootSector(
        std::span(reinterpret_cast<const std::uint8_t*>(clean.data()), 512));
    ASSERT_TRUE(boot);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = clean;
        c.damage(bytes, *boot);
        const std::string damaged = image->imagePath() + ".damaged";
        std::ofstream(damaged, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        const Walk walked = walkImage(damaged + ":/");
        ASSERT_FALSE(walked.failures.empty());
        EXPECT_NE(walked.failures.front().find(c.reason), std::string::npos)
            << walked.failures.front();
    }
}

TEST(PartitionedImage, TablesListTheirVolumesAndEachCanBeWalked) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string output;
    if (runProgram({"sfdisk", "--version"}, output) != 0) GTEST_SKIP() << "sfdisk is missing";
    std::string error;
    auto scratch = FatImage::create(labelledFat(12, 4, "SCRATCH", "", 1 << 20), error);
    ASSERT_TRUE(scratch) << error;
    struct Case {
        const char* table;
        const char* expected; // number, first byte, size, type, file system, label per line
    };
    for (const auto& c : {
             Case{"label: dos\nstart=2048, size=40960, type=6\nstart=43008, size=40960, type=c\n",
                  "1 1048576 20971520 06 FAT P1|2 22020096 20971520 0c FAT P2|"},
             Case{"label: gpt\nstart=2048, size=40960, "
                  "type=EBD0A0A2-B9E5-4433-87C0-68B6B72699C7\nstart=43008, size=40960, "
                  "type=0FC63DAF-8483-4772-8E79-3D69D8477DE4\n",
                  "1 1048576 20971520 Microsoft basic data FAT P1|2 22020096 20971520 Linux "
                  "filesystem FAT P2|"},
         }) {
        SCOPED_TRACE(c.table);
        const std::string disk = scratch->imagePath() + ".disk";
        std::filesystem::remove(disk);
        ASSERT_EQ(runProgram({"truncate", "-s", "48M", disk}, output), 0) << output;
        ASSERT_EQ(
            runProgram({"sh", "-c", "printf '" + std::string(c.table) + "' | sfdisk -q " + disk},
                       output),
            0)
            << output;
        for (const auto& [offset, label] : {std::pair{"2048", "P1"}, std::pair{"43008", "P2"}})
            ASSERT_EQ(runProgram({"mkfs.fat", "-F", "16", "-s", "4", "-n", label, "--offset",
                                  offset, disk, "20480"},
                                 output),
                      0)
                << output;
        ASSERT_EQ(
            runProgram({"mcopy", "-i", disk + "@@22020096", scratch->imagePath(), "::/only.bin"},
                       output),
            0)
            << output;

        ImageRegistry images;
        std::vector<ImagePartition> partitions;
        ASSERT_TRUE(images.partitions(disk, partitions, error)) << error;
        std::string lines;
        for (const auto& p : partitions)
            lines += std::to_string(p.number) + " " + std::to_string(p.offset) + " " +
                     std::to_string(p.size) + " " + p.type + " " + p.fileSystem + " " + p.label +
                     "|";
        EXPECT_EQ(lines, c.expected);
        EXPECT_EQ(images.openImage(disk).drives,
                  (std::vector<std::string>{disk + ":1 [P1]", disk + ":2 [P2]"}));
        EXPECT_EQ(walkImage(disk + ":2:/").blocks,
                  (std::vector<Block>{{"only.bin " + std::to_string(1 << 20)}}));
        EXPECT_EQ(walkImage(disk + ":/").blocks, std::vector<Block>{{}}) << "the first FAT one";
        EXPECT_EQ(images.problemWith(disk + ":3:/"), disk + " : pas de partition 3");
    }
}

TEST(ImageFile, WhatCannotBeReadIsSaidInFrench) {
    ImageRegistry images;
    EXPECT_EQ(images.openImage("/nonexistent/card.img").error,
              "impossible d'ouvrir /nonexistent/card.img : No such file or directory");
    EXPECT_EQ(images.openImage("/tmp").error,
              "/tmp n'est ni une image disque ni un périphérique bloc");
    EXPECT_FALSE(images.holds("/tmp/")) << "a host folder is not an image";

    // Opened for reading, a FIFO waits for a writer, deaf to signals: it must be refused first.
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_TRUE(makeFifo(fifo));
    auto opened = std::async(std::launch::async, [&] { return images.openImage(fifo).error; });
    if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // A writer ends the wait, so that the test ends too.
        ADD_FAILURE() << "opening a FIFO as an image waits for a writer";
        touchFifoWriter(fifo);
        opened.wait();
    }
    EXPECT_EQ(opened.get(), fifo + " n'est ni une image disque ni un périphérique bloc");
    EXPECT_EQ(images.openImage("/dev/null").error,
              "/dev/null n'est ni une image disque ni un périphérique bloc");
}

// A copy of `image` at `path` with every "CARTE      " label turned into `label` (11 bytes).
void copyRelabelled(const std::string& image, const std::string& path, const std::string& label) {
    std::string bytes = fileBytes(image);
    for (auto at = bytes.find("CARTE      "); at != std::string::npos;
         at = bytes.find("CARTE      ", at + 1))
        bytes.replace(at, 11, label);
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// Which backend answers is decided from the images opened, by name: a file is no image until
// opened as one, and an opened image's entries and paths find it whatever its name and label
// hold.
TEST(RoutedServices, OnlyOpenedImagesGoToTheImagesAndAnyNameFindsItsImage) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    auto image = FatImage::create(labelledFat(16, 4, "CARTE", "0BADF00D", 20 << 20), error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->addFile("IN.TXT", 5, error)) << error;
    TempDir dir;
    copyRelabelled(image->imagePath(), dir / "pics", "CARTE      ");
    dir.file("pics:/ON_HOST", 7);
    const std::string card = dir / "card [1]";
    copyRelabelled(image->imagePath(), card, "A:/B [C]   ");

    auto images = std::make_shared<ImageRegistry>();
    auto host = std::make_unique<test::FakeVolumeService>();
    host->add(dir.path(), "ext4");
    RoutedVolumeService volumes(std::move(host), images);
    RoutedFolderEnumerator folders(std::make_unique<PosixFolderEnumerator>(), images);
    const auto names = [&folders](const std::string& path) {
        std::vector<std::string> found;
        auto listing = folders.open(path);
        for (FolderEntry entry; listing->next(entry);)
            found.push_back(entry.name);
        return found;
    };

    EXPECT_EQ(names(dir / "pics:/"), std::vector<std::string>{"ON_HOST"});
    EXPECT_EQ(volumes.driveOf(dir / "pics:/"), dir.path());
    EXPECT_EQ(volumes.rootPath(dir / "pics"), std::nullopt) << "neither a volume nor opened";

    const OpenedImage opened = images->openImage(card);
    ASSERT_EQ(opened.error, "");
    const std::string entry = card + " [A:/B [C]]";
    ASSERT_EQ(opened.drives, std::vector<std::string>{entry});
    EXPECT_EQ(volumes.drives().back(), entry);
    EXPECT_EQ(volumes.rootPath(entry), card + ":/");
    EXPECT_EQ(volumes.entryRoot(entry), card + ":/");
    EXPECT_EQ(volumes.driveOf(card + ":/"), entry);
    EXPECT_EQ(volumes.totalBytes(card + ":/"), std::uint64_t(20 << 20));
    EXPECT_EQ(names(card + ":/"), std::vector<std::string>{"IN.TXT"});
    EXPECT_EQ(names(dir / "pics:/"), std::vector<std::string>{"ON_HOST"}) << "still the host's";
}

} // namespace
} // namespace kesp::test
