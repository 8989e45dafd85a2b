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

TEST(PlanWindowModel, SizeFieldAcceptsDigitsAndGroupBlanksOnly) {
    TreeTally tally;
    tallyFile(tally, 3000, 4096);
    tallyFolder(tally, {1, 3}, true);
    PlanWindowModel model(tally, 0, 4096);
    EXPECT_FALSE(model.hasPlan());
    EXPECT_EQ(model.volumeText(), "");
    EXPECT_TRUE(model.setVolumeText("67 108 864"));
    EXPECT_EQ(model.plan().volumeBytes, 67108864u);
    for (const char* refused : {"", "0", "64M", "-5", "99999999999999999999"}) {
        EXPECT_FALSE(model.setVolumeText(refused)) << refused;
        EXPECT_EQ(model.plan().volumeBytes, 67108864u) << "kept";
        EXPECT_EQ(model.volumeText(), "67 108 864");
        EXPECT_EQ(model.problem(), "");
    }
    // Up to 256 TiB; one byte more is refused with its reason, which the next size clears.
    EXPECT_TRUE(model.setVolumeText("281474976710656"));
    EXPECT_FALSE(model.setVolumeText("281474976710657"));
    EXPECT_EQ(model.plan().volumeBytes, 281474976710656u);
    EXPECT_EQ(model.problem(), "Taille du volume : au plus 281474976710656 octets (256 Tio), le "
                               "plus grand volume que le plan traite");
    EXPECT_TRUE(model.setVolumeText("2 199 023 255 552"));
    EXPECT_EQ(model.problem(), "");
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
    EXPECT_EQ(lines.front(), "Plan de formatage pour un volume de 314572800 octets");
    EXPECT_EQ(lines[lines.size() - kSlackBuckets - 1],
              "Espace perdu par taille de fichier (clusters de 4096 octets)");
    EXPECT_EQ(lines[lines.size() - kSlackBuckets + 5], "8 Ko\t50 fichiers\t114400 octets perdus");
}

} // namespace
} // namespace kesp::plan
