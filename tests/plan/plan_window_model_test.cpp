// The window's figures without the toolkit: bar widths in pixels, the size field, the bars'
// marks and the printed text.
#include "plan/plan_window_model.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kesp::plan {
namespace {

TEST(BarWidths, ProportionalAndAddingUpToTheWidth) {
    using Parts = std::array<std::uint64_t, kBarParts>;
    using Widths = std::array<int, kBarParts>;
    const struct {
        Parts bytes;
        int width;
        Widths expected;
    } cases[] = {
        {{1, 1, 1, 1, 1}, 5, {1, 1, 1, 1, 1}},
        {{1, 2, 3, 4, 0}, 10, {1, 2, 3, 4, 0}},
        {{1, 1, 1, 0, 0}, 100, {33, 34, 33, 0, 0}},
        {{0, 0, 0, 0, 0}, 100, {0, 0, 0, 0, 0}},
        {{5, 0, 0, 0, 5}, 0, {0, 0, 0, 0, 0}},
        {{1ull << 50, 1ull << 50, 0, 0, 1ull << 51}, 400, {100, 100, 0, 0, 200}},
        {{1, 0, 0, 0, (1ull << 41) - 1}, 1000, {0, 0, 0, 0, 1000}},
    };
    for (const auto& c : cases) {
        LayoutBar bar;
        bar.bytes = c.bytes;
        EXPECT_EQ(barWidths(bar, c.width), c.expected) << c.width;
    }
}

TEST(PlanWindowModel, SizeFieldAcceptsSizesAndKeepsTheLastPlanForARefusedOne) {
    TreeTally tally;
    tallyFile(tally, 3000, 4096);
    tallyFolder(tally, {1, 3}, true);
    PlanWindowModel model(tally, 0, 4096);
    EXPECT_FALSE(model.hasPlan());
    EXPECT_EQ(model.volumeText(), "");
    EXPECT_TRUE(model.setVolumeText("67 108 864"));
    EXPECT_EQ(model.plan().volumeBytes, 67108864u);
    EXPECT_TRUE(model.setVolumeText("64M"));
    EXPECT_EQ(model.volumeError(), "");
    for (const char* refused : {"", "0", "-5", "4 Po", "99999999999999999999"}) {
        EXPECT_FALSE(model.setVolumeText(refused)) << refused;
        EXPECT_EQ(model.plan().volumeBytes, 67108864u) << "kept";
        EXPECT_NE(model.volumeError(), "") << refused;
        EXPECT_EQ(model.volumeText(), refused);
    }
    // Read, but no layout is that small.
    EXPECT_TRUE(model.setVolumeText("4 Ko"));
    EXPECT_TRUE(model.plan().rows.empty());
    EXPECT_EQ(model.volumeError(),
              "Trop petit : aucune disposition FAT ni exFAT ne tient dans 4,096 octets.");
    // Up to 256 TiB, where exFAT's formatters stop; past it, said so.
    EXPECT_TRUE(model.setVolumeText("256 To"));
    EXPECT_EQ(model.plan().volumeBytes, 256ull << 40);
    EXPECT_EQ(model.volumeError(), "");
    EXPECT_FALSE(model.setVolumeText("281474976710657"));
    EXPECT_EQ(model.volumeError(), "Trop grand : le plan va jusqu'à 281,474,976,710,656 octets "
                                   "(256 Tio).");
}

TEST(PlanWindowModel, BarsMarkTheRecommendedAndDefaultLayouts) {
    TreeTally tally;
    for (int i = 0; i < 50; ++i)
        tallyFile(tally, 10000, 4096);
    tallyFolder(tally, {50, 150}, true);
    const PlanWindowModel model(tally, 300u << 20, 4096);
    const auto bars = model.bars();
    ASSERT_EQ(bars.size(), model.plan().rows.size());
    ASSERT_TRUE(model.plan().recommended);
    for (std::size_t r = 0; r < bars.size(); ++r) {
        const PlanRow& row = model.plan().rows[r];
        EXPECT_EQ(bars[r].recommended,
                  r == *model.plan().recommended || r == model.plan().recommendedExfat);
        EXPECT_EQ(bars[r].formatterDefault, !defaultsText(row.defaults).empty());
    }
    EXPECT_EQ(bars.front().label, "FAT16, 8 Ko"); // 300 MiB: no FAT12, FAT16 from 8 KiB
    const auto firstExfat = std::find_if(bars.begin(), bars.end(), [](const LayoutBar& bar) {
        return bar.label.starts_with("exFAT");
    });
    ASSERT_NE(firstExfat, bars.begin());
    EXPECT_EQ(std::prev(firstExfat)->label, "FAT32, 64 Ko");
    EXPECT_EQ(firstExfat->label, "exFAT, 4 Ko");
    EXPECT_EQ(bars.back().label, "exFAT, 32 Mo");

    const auto lines = model.printLines();
    EXPECT_EQ(lines.front(), "Plan de formatage pour un volume de 314,572,800 octets");
    EXPECT_EQ(lines[lines.size() - kSlackBuckets - 1],
              "Espace perdu par taille de fichier (clusters de 4,096 octets)");
    EXPECT_EQ(lines[lines.size() - kSlackBuckets + 5],
              "   8 Ko  50 fichiers  114,400 octets perdus");
}

TEST(PlanWindowModel, APlanOfAWalkThatMissedFoldersSaysSoFirst) {
    TreeTally tally;
    tallyFile(tally, 3000, 4096);
    tallyFolder(tally, {1, 3}, true);
    PlanWindowModel model(tally, 64u << 20, 4096);
    EXPECT_EQ(model.partialNote(), "");
    EXPECT_NE(model.printLines().front(), partialPlanLine(1));
    model.setUnreadableFolders(3);
    EXPECT_EQ(model.partialNote(),
              "Plan partiel : 3 dossier(s) illisible(s) n'y sont pas comptés.");
    EXPECT_EQ(model.printLines().front(), model.partialNote());
}

} // namespace
} // namespace kesp::plan
