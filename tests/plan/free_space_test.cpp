// "Libre" against the formatters and their tools: the layout made with mkfs.fat, a tree of
// awkward names copied with `mcopy -s`, and the free bytes mdir reports, for every layout every
// driver reads; the layout made with mkfs.exfat, the same tree copied through exfat-fuse, and
// the free clusters dump.exfat reports.
#include "plan/format_plan.h"
#include "support/exfat_image.h"
#include "support/fat_image.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

namespace kesp::plan {
namespace {

namespace fs = std::filesystem;
using kesp::test::runProgram;

// The tree the walk would tally: the same calls in the same places.
void tallyTree(const fs::path& folder, TreeTally& tally, bool root) {
    NameEntries entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        entries += nameEntriesFor(entry.path().filename().string());
        if (entry.is_directory())
            tallyTree(entry.path(), tally, false);
        else
            tallyFile(tally, entry.file_size(), 4096);
    }
    tallyFolder(tally, entries, root);
}

struct Volume {
    std::uint64_t bytes;
    int rootFiles; // 600: more than the 512 entries of most fixed roots
};

void PrintTo(const Volume& v, std::ostream* out) {
    *out << v.bytes << " " << v.rootFiles;
}

void makeAwkwardTree(const kesp::test::TempDir& dir, int rootFiles) {
    const std::uint64_t sizes[] = {0, 1, 511, 512, 513, 4097, 33000, 70000};
    for (int i = 0; i < rootFiles; ++i) // a root of hundreds of short names
        dir.file("tree/f" + std::to_string(1000 + i) + ".bin", sizes[i % 8]);
    for (const char* name :
         {"été", "ÉTÉ.TXT", "noël.txt", "Mixed.Txt", "readme.txt",
          "a long name with spaces.document", "x.y.z", "日本語のファイル.txt", "UPPER.lower",
          "Sous Dossier/Fichier Numéro 1.txt", "Sous Dossier/deeper/ÇA.DAT", "vide/"}) {
        const std::string path = std::string("tree/") + name;
        if (path.back() == '/')
            dir.folder(path);
        else
            dir.file(path, 1234);
    }
    for (int i = 0; i < 90; ++i) // a folder that needs several clusters of the small sizes
        dir.file("tree/Sous Dossier/Entrée numéro " + std::to_string(i) + ".txt", 100 + i);
}

std::optional<std::uint64_t> mtoolsFreeBytes(const std::string& image) {
    std::string output;
    if (runProgram({"mdir", "-i", image, "::/"}, output) != 0) return std::nullopt;
    std::smatch m;
    static const std::regex freeLine("([0-9 ]+) bytes free");
    if (!std::regex_search(output, m, freeLine)) return std::nullopt;
    std::string digits = m[1];
    std::erase(digits, ' ');
    return std::stoull(digits);
}

class FreeSpace : public testing::TestWithParam<Volume> {};

TEST_P(FreeSpace, IsWhatMtoolsReportsAfterCopyingTheTree) {
    KESP_REQUIRE_FAT_TOOLS(false);
    // mtools reads host names in the locale's character set: in "C" it cannot spell the
    // accented ones and runs out of short-name tails.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    kesp::test::TempDir dir;
    makeAwkwardTree(dir, GetParam().rootFiles);
    TreeTally tally;
    tallyTree(dir / "tree", tally, true);
    ASSERT_GT(tally.rootEntries, std::uint64_t(GetParam().rootFiles));

    const std::uint64_t volume = GetParam().bytes;
    const FormatPlan plan = makePlan(tally, volume);
    std::vector<std::string> sources;
    for (const auto& entry : fs::directory_iterator(dir / "tree"))
        sources.push_back(entry.path().string());
    int compared = 0;
    for (const PlanRow& row : plan.rows) {
        // mtools will not write those; exFAT rows are checked against dump.exfat.
        if (row.validity == Validity::DependsOnDriver || row.exfat) continue;
        SCOPED_TRACE(testing::Message() << "FAT" << static_cast<int>(row.layout.bits) << " "
                                        << row.layout.clusterBytes() << " on " << volume);
        const std::string image = dir / "v.img";
        fs::remove(image);
        std::string output;
        ASSERT_EQ(
            runProgram({"mkfs.fat", "-C", "-F", std::to_string(static_cast<int>(row.layout.bits)),
                        "-s", std::to_string(row.layout.sectorsPerCluster), "-S", "512", image,
                        std::to_string(volume / 1024)},
                       output),
            0)
            << output;
        std::vector<std::string> copy = {"mcopy", "-s", "-i", image};
        copy.insert(copy.end(), sources.begin(), sources.end());
        copy.push_back("::/");
        const int rc = runProgram(copy, output);
        if (row.validity == Validity::TooSmall) {
            EXPECT_NE(rc, 0) << "the tree was expected not to fit";
            continue;
        }
        ASSERT_EQ(rc, 0) << output;
        EXPECT_EQ(mtoolsFreeBytes(image), row.freeBytes);
        ++compared;
    }
    EXPECT_GE(compared, 2);
}

INSTANTIATE_TEST_SUITE_P(Volumes, FreeSpace,
                         testing::Values(Volume{5 << 20, 300}, Volume{16 << 20, 300},
                                         Volume{300 << 20, 300}, Volume{64 << 20, 600}));

struct ExfatVolume {
    std::uint64_t bytes;
    std::uint32_t clusterBytes;
};

void PrintTo(const ExfatVolume& v, std::ostream* out) {
    *out << v.bytes << " " << v.clusterBytes;
}

class ExfatFreeSpace : public testing::TestWithParam<ExfatVolume> {};

// Folders by their entry sets, one cluster at least, the root with its three system entries:
// what the plan says is free is what the volume has left.
TEST_P(ExfatFreeSpace, IsWhatDumpExfatReportsAfterCopyingTheTree) {
    KESP_REQUIRE_EXFAT_TOOLS(true);
    kesp::test::TempDir dir;
    makeAwkwardTree(dir, 300);
    for (const char* name : {"\xF0\x9F\x98\x80 sourire.txt", "quinze unités!!", "seize unités!!!!"})
        dir.file(std::string("tree/") + name, 0);
    dir.file("tree/" + std::string(255, 'L'), 40000);
    TreeTally tally;
    tallyTree(dir / "tree", tally, true);

    const ExfatVolume volume = GetParam();
    const FormatPlan plan = makePlan(tally, volume.bytes);
    const auto row = std::find_if(plan.rows.begin(), plan.rows.end(), [&](const PlanRow& r) {
        return r.exfat && !r.sdLayout && r.exfat->clusterBytes == volume.clusterBytes;
    });
    ASSERT_NE(row, plan.rows.end());
    ASSERT_EQ(row->validity, Validity::DependsOnDevice);

    std::string error;
    auto image = kesp::test::ExfatImage::create(volume.bytes, volume.clusterBytes, "", error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->copyIn(dir / "tree", error)) << error;
    const auto facts = kesp::test::dumpExfat(image->imagePath());
    ASSERT_TRUE(facts);
    EXPECT_EQ(row->freeBytes, facts->freeClusters * volume.clusterBytes);
    EXPECT_EQ(row->occupiedBytes + row->freeBytes +
                  (row->exfat->bitmapClusters + row->exfat->upcaseClusters) *
                      std::uint64_t{volume.clusterBytes},
              row->exfat->heapBytes());
}

INSTANTIATE_TEST_SUITE_P(Volumes, ExfatFreeSpace,
                         testing::Values(ExfatVolume{64 << 20, 4096}, ExfatVolume{64 << 20, 32768},
                                         ExfatVolume{300 << 20, 16384}));

} // namespace
} // namespace kesp::plan
