// The plan's rules on tallies made by hand: formatter defaults, validity, the recommendation and
// its 64 KiB note, the minimal sizes, and the table file's text.
#include "plan/format_plan.h"
#include "plan/plan_text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kesp::plan {
namespace {

using fat::FatType;
constexpr std::uint64_t MiB = 1ull << 20, GiB = 1ull << 30;

TreeTally filesOf(std::uint64_t count, std::uint64_t size) {
    TreeTally t;
    for (std::uint64_t i = 0; i < count; ++i)
        tallyFile(t, size, 4096);
    tallyFolder(t, {count, 3 * count}, true);
    return t;
}

const PlanRow* findRow(const FormatPlan& plan, FatType bits, std::uint32_t clusterBytes) {
    for (const PlanRow& row : plan.rows)
        if (!row.exfat && row.layout.bits == bits && row.layout.clusterBytes() == clusterBytes)
            return &row;
    return nullptr;
}

TEST(FormatterDefaults, WindowsAndSdTablesBySize) {
    struct Expect {
        std::uint64_t bytes;
        std::optional<std::pair<FatType, std::uint32_t>> windows, sd;
    };
    const Expect cases[] = {
        {4 * MiB, std::nullopt, {{FatType::Fat12, 16}}},
        {16 * MiB, {{FatType::Fat16, 4}}, {{FatType::Fat12, 32}}},
        {32 * MiB, {{FatType::Fat16, 1}}, {{FatType::Fat12, 32}}},
        {64 * MiB, {{FatType::Fat32, 1}}, {{FatType::Fat12, 32}}},
        {300 * MiB, {{FatType::Fat32, 8}}, {{FatType::Fat16, 32}}},
        {2 * GiB, {{FatType::Fat32, 8}}, {{FatType::Fat16, 64}}},
        {8 * GiB + MiB, {{FatType::Fat32, 16}}, {{FatType::Fat32, 64}}},
        {40 * GiB, std::nullopt, std::nullopt},
    };
    const auto pair = [](const std::optional<Choice>& c) {
        return c ? std::optional(std::pair(c->bits, c->sectorsPerCluster)) : std::nullopt;
    };
    for (const Expect& e : cases) {
        EXPECT_EQ(pair(windowsDefault(e.bytes)), e.windows) << e.bytes;
        EXPECT_EQ(pair(sdDefault(e.bytes)), e.sd) << e.bytes;
    }
}

TEST(FormatPlan, RowsValidityAndDefaultsMarks) {
    const FormatPlan plan = makePlan(filesOf(400, 3000), 64 * MiB);
    const PlanRow* fat32small = findRow(plan, FatType::Fat32, 4096); // 16k clusters
    ASSERT_TRUE(fat32small);
    EXPECT_EQ(fat32small->validity, Validity::DependsOnDriver);
    const PlanRow* fat16 = findRow(plan, FatType::Fat16, 2048);
    ASSERT_TRUE(fat16);
    EXPECT_EQ(fat16->validity, Validity::Everywhere);
    EXPECT_EQ(defaultsText(fat16->defaults), "mkfs.fat");
    EXPECT_EQ(defaultsText(findRow(plan, FatType::Fat32, 512)->defaults), "Windows");
    // 400 files of 3000 bytes in 2 KiB clusters, in the fixed root.
    EXPECT_EQ(fat16->usedClusters, 800u);
    EXPECT_EQ(fat16->lostBytes, 800u * 2048 - 1200000);
    EXPECT_EQ(fat16->freeBytes, (fat16->layout.clusterCount - 800u) * 2048);
    const PlanRow* fat16big = findRow(plan, FatType::Fat16, 65536);
    EXPECT_FALSE(fat16big) << "FAT16 of 64 KiB clusters on 64 MiB has under 4087 clusters";

    // Whatever fits is accounted to the byte: the five parts make the volume.
    for (const PlanRow& row : plan.rows) {
        if (row.validity == Validity::TooSmall) continue;
        EXPECT_EQ(row.fileBytes + row.slackBytes + row.folderBytes + row.systemBytes +
                      row.freeBytes,
                  plan.volumeBytes);
    }
}

TEST(FormatPlan, TooSmallWhenTheTreeOrTheFixedRootOverflows) {
    const FormatPlan big = makePlan(filesOf(10, 5 * MiB), 16 * MiB);
    for (const PlanRow& row : big.rows) {
        EXPECT_EQ(row.validity, Validity::TooSmall);
        EXPECT_EQ(row.freeBytes, 0u);
    }
    EXPECT_FALSE(big.recommended);
    EXPECT_EQ(recommendationLine(big).rfind("Recommandation : aucune — ", 0), 0u);

    const FormatPlan crowded = makePlan(filesOf(600, 10), 200 * MiB); // 600 root entries
    EXPECT_EQ(findRow(crowded, FatType::Fat16, 4096)->validity, Validity::TooSmall);
    EXPECT_EQ(findRow(crowded, FatType::Fat16, 32768)->validity, Validity::Everywhere)
        << "the fixed root grows to 1024 entries with 32 KiB clusters";
}

TEST(Recommendation, MostFreeSpaceEverywhereUpTo32KiBTiesToTheLargerCluster) {
    for (const auto& [tally, volume] :
         {std::pair{filesOf(5000, 700), 300 * MiB}, std::pair{filesOf(50, 9 * MiB), 1 * GiB},
          std::pair{filesOf(0, 0), 2 * GiB}}) {
        const FormatPlan plan = makePlan(tally, volume);
        ASSERT_TRUE(plan.recommended) << volume;
        const PlanRow& rec = plan.rows[*plan.recommended];
        EXPECT_EQ(rec.validity, Validity::Everywhere);
        EXPECT_LE(rec.layout.clusterBytes(), 32768u);
        for (const PlanRow& row : plan.rows) {
            if (&row == &rec || row.validity != Validity::Everywhere || row.exfat ||
                row.layout.clusterBytes() > 32768)
                continue;
            EXPECT_TRUE(row.freeBytes < rec.freeBytes ||
                        (row.freeBytes == rec.freeBytes &&
                         row.layout.clusterBytes() < rec.layout.clusterBytes()))
                << fatName(row.layout.bits) << " " << row.layout.clusterBytes();
        }
    }
}

TEST(Recommendation, Notes64KiBClustersWhenTheyLeaveMore) {
    // 3 GiB: FAT16 only with 64 KiB clusters, whose FAT is a quarter of FAT32's.
    const FormatPlan plan = makePlan(filesOf(0, 0), 3 * GiB);
    ASSERT_TRUE(plan.better64k);
    EXPECT_EQ(plan.rows[*plan.better64k].layout.bits, FatType::Fat16);
    const std::string line = recommendationLine(plan);
    EXPECT_EQ(line.rfind("Recommandation : FAT32, 32768 octets par cluster — ", 0), 0u) << line;
    EXPECT_NE(line.find("Des clusters de 64 Ko (FAT16) laisseraient "), std::string::npos);
    EXPECT_NE(line.find("exige Windows NT ou plus récent."), std::string::npos);
    EXPECT_FALSE(makePlan(filesOf(20000, 100), 300 * MiB).better64k);
}

TEST(MinimalSize, TheSmallestVolumeEveryDriverReadsWithTheTree) {
    const TreeTally tally = filesOf(300, 40000);
    for (FatType bits : {FatType::Fat12, FatType::Fat16, FatType::Fat32}) {
        const MinimalSize m = minimalSize(tally, bits);
        SCOPED_TRACE(fatName(bits));
        ASSERT_GT(m.volumeBytes, 0u);
        const auto holdsAt = [&](std::uint64_t v) {
            for (std::uint32_t spc = 1; spc <= 128; spc *= 2)
                if (const auto l = fat::mkfsLayout(bits, spc, v))
                    if (planRow(*l, tally, v).validity == Validity::Everywhere) return true;
            return false;
        };
        EXPECT_TRUE(holdsAt(m.volumeBytes));
        EXPECT_FALSE(holdsAt(m.volumeBytes - 1024));
    }
    EXPECT_EQ(minimalSize(filesOf(10, 100 * MiB), FatType::Fat12).volumeBytes, 0u);
    EXPECT_EQ(minimalSizeLine(MinimalSize{FatType::Fat12, 0, 0}), "Taille minimale FAT12 : aucune");
    EXPECT_EQ(minimalSizeLine(MinimalSize{FatType::Fat16, 12582912, 2048}),
              "Taille minimale FAT16 : 12582912 octets (clusters de 2048 octets)");
}

const PlanRow* findExfatRow(const FormatPlan& plan, std::uint32_t clusterBytes, bool sd = false) {
    for (const PlanRow& row : plan.rows)
        if (row.exfat && row.sdLayout == sd && row.exfat->clusterBytes == clusterBytes) return &row;
    return nullptr;
}

// exFAT rows: every size mkfs.exfat takes from 4 KiB, after the FAT ones; the defaults of
// Windows, mkfs.exfat and the SD Association by size; read "selon l'appareil".
TEST(ExfatPlan, RowsDefaultsAndTheSdRowBySize) {
    const struct {
        std::uint64_t bytes;
        std::uint32_t byDefault; // mkfs.exfat's and Windows'
        std::optional<std::uint32_t> sd;
    } cases[] = {{64 * MiB, 4096, std::nullopt},
                 {16 * GiB, 32768, std::nullopt},
                 {40 * GiB, 131072, 131072},
                 {300 * GiB, 131072, 262144},
                 {2048 * GiB, 131072, 524288}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const FormatPlan plan = makePlan(filesOf(100, 3000), c.bytes);
        std::size_t exfatRows = 0;
        for (const PlanRow& row : plan.rows) {
            if (!row.exfat) {
                EXPECT_EQ(exfatRows, 0u) << "FAT rows come first";
                continue;
            }
            ++exfatRows;
            EXPECT_EQ(planRowCells(row)[0], "exFAT");
            // 100 files of 3000 bytes: past 512 KiB clusters they no longer fit in 64 MiB.
            if (row.validity == Validity::TooSmall) {
                EXPECT_EQ(c.bytes, 64 * MiB);
                EXPECT_GT(row.exfat->clusterBytes, 512u * 1024);
                EXPECT_EQ(row.freeBytes, 0u);
                continue;
            }
            EXPECT_EQ(validityText(row.validity), "selon l'appareil");
            const std::string defaults = defaultsText(row.defaults, true);
            const std::string expected = row.sdLayout ? "SD"
                                         : row.exfat->clusterBytes == c.byDefault
                                             ? "mkfs.exfat, Windows"
                                             : "";
            EXPECT_EQ(defaults, expected) << row.exfat->clusterBytes;
            EXPECT_EQ(row.fileBytes + row.slackBytes + row.folderBytes + row.systemBytes +
                          row.freeBytes,
                      c.bytes);
        }
        EXPECT_TRUE(findExfatRow(plan, 4096));
        EXPECT_EQ(findExfatRow(plan, 32u << 20) != nullptr, c.bytes >= 16 * GiB);
        const PlanRow* sd = c.sd ? findExfatRow(plan, *c.sd, true) : nullptr;
        EXPECT_EQ(sd != nullptr, c.sd.has_value());
        EXPECT_EQ(exfatRows, std::size_t(std::count_if(plan.rows.begin(), plan.rows.end(),
                                                       [](const PlanRow& r) { return r.exfat; })));
    }
}

// A factory 64 GB card: 125,073,408 sectors, 488,312 clusters of 128 KiB, 488,309 free.
TEST(ExfatPlan, TheSdRowIsTheFactoryCard) {
    const FormatPlan plan = makePlan(filesOf(0, 0), 125'073'408ull * 512);
    const PlanRow* sd = findExfatRow(plan, 131072, true);
    ASSERT_TRUE(sd);
    EXPECT_EQ(sd->exfat->partitionOffset, 16 * MiB);
    EXPECT_EQ(sd->exfat->clusterCount, 488'312u);
    EXPECT_EQ(sd->freeBytes, 488'309ull * 131072);
    EXPECT_EQ(sd->usedClusters, 1u) << "the root folder";
    const auto cells = planRowCells(*sd);
    EXPECT_EQ(cells[3], "16384"); // the FAT at half a boundary unit
    EXPECT_EQ(cells[4], std::to_string(8 * MiB));
    EXPECT_EQ(cells[10], "SD");
}

// Too big a tree leaves nothing free; the line for exFAT devices names the row with the most
// free space, or says there is none.
TEST(ExfatPlan, TheSecondRecommendationIsTheExfatRowThatLeavesTheMost) {
    const FormatPlan plan = makePlan(filesOf(3000, 20000), 1 * GiB);
    ASSERT_TRUE(plan.recommendedExfat);
    const PlanRow& best = plan.rows[*plan.recommendedExfat];
    ASSERT_TRUE(best.exfat);
    for (const PlanRow& row : plan.rows) {
        if (row.exfat) {
            EXPECT_LE(row.freeBytes, best.freeBytes);
        }
    }
    EXPECT_EQ(best.exfat->clusterBytes, 4096u) << "20,000-byte files lose least in 4 KiB";
    EXPECT_EQ(exfatRecommendationLine(plan),
              "Pour un appareil qui lit l'exFAT : exFAT, 4096 octets par cluster — de toutes les "
              "dispositions exFAT, c'est celle qui laisse le plus d'espace libre après la copie "
              "de ces fichiers (" +
                  std::to_string(best.freeBytes) + " octets).");
    EXPECT_EQ(findExfatRow(plan, 32u << 20)->validity, Validity::TooSmall);
    EXPECT_EQ(findExfatRow(plan, 32u << 20)->freeBytes, 0u);

    const FormatPlan full = makePlan(filesOf(10, 5 * MiB), 16 * MiB);
    EXPECT_FALSE(full.recommendedExfat);
    EXPECT_EQ(exfatRecommendationLine(full), "Pour un appareil qui lit l'exFAT : aucune "
                                             "disposition exFAT ne contient ces fichiers sur ce "
                                             "volume.");
}

TEST(PlanTable, HeadLineRowsAndClosingLines) {
    const FormatPlan plan = makePlan(filesOf(10, 1000), 16 * MiB);
    const std::vector<std::string> lines = planTableLines(plan);
    ASSERT_EQ(lines.size(), 1 + plan.rows.size() + 2 + 3);
    EXPECT_EQ(lines[0], "Système\tTaille d'un cluster\tClusters\tSecteurs réservés\tTaille d'une "
                        "FAT\tZone de données\tOccupé\tEspace perdu\tLibre\tValidité\tChoix par "
                        "défaut");
    const PlanRow* row = findRow(plan, FatType::Fat16, 2048);
    ASSERT_TRUE(row);
    const std::string expected = "FAT16\t2048\t" + std::to_string(row->layout.clusterCount) +
                                 "\t4\t" + std::to_string(row->layout.fatBytes()) + "\t" +
                                 std::to_string(row->layout.dataBytes()) + "\t20480\t10480\t" +
                                 std::to_string(row->freeBytes) + "\toui\tmkfs.fat, Windows";
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
    EXPECT_EQ(lines[lines.size() - 5].rfind("Recommandation : ", 0), 0u);
    EXPECT_EQ(lines[lines.size() - 4].rfind("Pour un appareil qui lit l'exFAT : ", 0), 0u);
    EXPECT_EQ(lines.back().rfind("Taille minimale FAT32 : ", 0), 0u);
}

} // namespace
} // namespace kesp::plan
