// kesp-scan --plan and --plan-table: the volume the plan is for, the walk's tally reaching it,
// the table file in CR LF, and the refusal when no size is known.
#include "scan_harness.h"

#include <fstream>
#include <iterator>

#include "plan/plan_text.h"

namespace kesp::test {
namespace {

class PlanOption : public ScanHarness {
protected:
    // A 3000-byte file and a sub-folder with a long-named empty file.
    PlanOption() {
        dir.file("scan/a.bin", 3000);
        dir.file("scan/Sous Dossier/Un nom assez long.txt", 0);
        tallyFile(expected, 3000, 4096);
        tallyFile(expected, 0, 4096);
        tallyFolder(expected, {1 + 2, 2 + 2}, false); // the long name: 2 long entries; 18 units
        tallyFolder(expected, {1 + 2, 3 + 3}, true);  // "a.bin"; "Sous Dossier" with its long name
    }
    TreeTally expected;
};

TEST_F(PlanOption, FatVolumeIsPlannedAtItsOwnSizeAndTheTableFileIsWritten) {
    volumes.add(dir.path(), "FAT", "KESP").megabytes = 16;
    const std::string table = dir / "plan.txt";
    ASSERT_EQ(run({"--plan", "--plan-table", table, dir / "scan"}), kExitDone) << err;
    const plan::FormatPlan plan = plan::makePlan(expected, 16u << 20);
    EXPECT_TRUE(endsWith(out, joined(plan::planReportLines(plan))));
    std::ifstream in(table, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(written, joined(plan::planTableLines(plan), "\r\n"));
}

TEST_F(PlanOption, VolumeSizeOverridesAndCancelledRunsGetNoPlan) {
    ASSERT_EQ(run({"--cluster-size", "512", "--plan", "--volume-size", "5000000", dir / "scan"}),
              kExitDone)
        << err;
    EXPECT_TRUE(endsWith(out, joined(plan::planReportLines(plan::makePlan(expected, 5000000)))));

    interrupted = [] { return true; };
    ASSERT_EQ(run({"--cluster-size", "512", "--plan", "--volume-size", "5000000", dir / "scan"}),
              kExitCancelled);
    EXPECT_EQ(out.find("Plan de formatage"), std::string::npos);
}

TEST_F(PlanOption, WithoutSubFoldersEachStillTakesAFolderOfItsOwn) {
    ASSERT_EQ(run({"--cluster-size", "512", "--no-subfolders", "--plan", "--volume-size", "5000000",
                   dir / "scan"}),
              kExitDone)
        << err;
    TreeTally shallow;
    tallyFile(shallow, 3000, 512);
    tallyFolder(shallow, {}, false);
    tallyFolder(shallow, {1 + 2, 3 + 3}, true);
    EXPECT_TRUE(endsWith(out, joined(plan::planReportLines(plan::makePlan(shallow, 5000000)))));
}

TEST_F(PlanOption, UnknownSizeIsRefusedBeforeTheWalk) {
    volumes.add(dir.path(), "ext4");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--cluster-size", "4096", "--plan", dir / "scan"},
          {"--cluster-size", "4096", "--plan-table", dir / "p.txt", dir / "scan"}}) {
        EXPECT_EQ(run(args), kExitFailed);
        EXPECT_EQ(out, "");
        EXPECT_EQ(err, "kesp-scan: --volume-size est requis : la taille du volume à planifier est "
                       "inconnue (" +
                           dir / "scan" + " n'est pas sur un volume FAT ni exFAT)\n");
    }
}

// A 128 GiB card: planned at its own size, the SD row among the exFAT ones; past the largest
// size planned for, said before the walk.
TEST_F(PlanOption, ExfatVolumeIsPlannedAtItsSizeUpToTheLargest) {
    auto& card = volumes.add(dir.path(), "exFAT", "CARTE");
    card.megabytes = 128 * 1024;
    card.sectorsPerCluster = 256;
    ASSERT_EQ(run({"--plan", dir / "scan"}), kExitDone) << err;
    const plan::FormatPlan plan = plan::makePlan(expected, 128ull << 30);
    EXPECT_TRUE(endsWith(out, joined(plan::planReportLines(plan)))) << out;
    EXPECT_NE(out.find("selon l'appareil  SD\n"), std::string::npos) << out;

    card.megabytes = 300ull << 20; // 300 TiB
    EXPECT_EQ(run({"--plan", dir / "scan"}), kExitFailed);
    EXPECT_EQ(err, "kesp-scan: " + dir / "scan" + " : au plus 281474976710656 octets (256 Tio), " +
                       "le plus grand volume que le plan traite\n");
    EXPECT_EQ(out.find("Taille totale"), std::string::npos);
    EXPECT_EQ(run({"--plan", "--volume-size", "281474976710657", dir / "scan"}), kExitFailed);
    EXPECT_EQ(err, "kesp-scan: --volume-size : au plus 281474976710656 octets (256 Tio), le plus "
                   "grand volume que le plan traite\n");
    ASSERT_EQ(run({"--plan", "--volume-size", "2199023255552", dir / "scan"}), kExitDone) << err;
    EXPECT_NE(out.find("Plan de formatage pour un volume de 2199023255552 octets"),
              std::string::npos);
}

TEST_F(PlanOption, UnwritableTableFileIsReported) {
    const std::string table = dir / "missing/plan.txt";
    EXPECT_EQ(run({"--cluster-size", "512", "--plan-table", table, "--volume-size", "5000000",
                   dir / "scan"}),
              kExitFailed);
    EXPECT_EQ(err.rfind("kesp-scan: " + table + " : ", 0), 0u) << err;
}

} // namespace
} // namespace kesp::test

namespace kesp::test {
namespace {

TEST_F(PlanOption, APlanOfAWalkThatMissedAFolderSaysSoFirst) {
    TamperingEnumerator tampering(folders, [this](const std::string& path) {
        if (path == dir / "scan/Sous Dossier/")
            std::filesystem::remove_all(dir / "scan/Sous Dossier");
    });
    enumerator = &tampering;
    const std::string table = dir / "plan.txt";
    ASSERT_EQ(run({"--cluster-size", "512", "--plan", "--plan-table", table, "--volume-size",
                   "5000000", dir / "scan"}),
              kExitIncomplete)
        << err;
    const std::string partial = "Plan partiel : 1 dossier(s) illisible(s) n'y sont pas comptés.";
    EXPECT_NE(out.find("\n" + partial + "\nPlan de formatage pour un volume de 5000000 octets\n"),
              std::string::npos)
        << out;
    std::ifstream in(table, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(endsWith(written, "\r\n" + partial + "\r\n"));
}

} // namespace
} // namespace kesp::test
