// The plan window offscreen: the table as the plan has it, the recommended row highlighted, the
// bars' proportions in pixels, the size field driving both, printing handing over the text.
#include "gui/qt/plan_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/qt/layout_bars.h"

namespace kesp {
namespace {

constexpr std::uint64_t k300MiB = 300ull << 20;

plan::PlanWindowModel sampleModel(std::uint64_t volume) {
    TreeTally tally;
    for (int i = 0; i < 400; ++i)
        tallyFile(tally, 700 + 37 * static_cast<std::uint64_t>(i), 4096);
    tallyFolder(tally, 30, false);
    tallyFolder(tally, 400 - 30 + 1, true);
    return plan::PlanWindowModel(tally, volume, 4096);
}

struct Shown {
    explicit Shown(std::uint64_t volume)
        : window(sampleModel(volume), [this](const std::vector<std::string>& l) { printed = l; }) {
        window.show();
        window.resize(1100, 800);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    std::vector<std::string> printed;
    PlanWindow window;
};

TEST(PlanWindow, TableRowsAndTheRecommendedRowHighlighted) {
    Shown s(k300MiB);
    QTableWidget* table = s.window.table();
    const auto rows = s.window.model().tableRows();
    const auto recommended = s.window.model().plan().recommended;
    ASSERT_TRUE(recommended);
    ASSERT_EQ(table->rowCount(), static_cast<int>(rows.size()));
    ASSERT_EQ(table->columnCount(), 11);
    EXPECT_EQ(table->horizontalHeaderItem(6)->text(), QStringLiteral("Occupé"));
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < 11; ++c)
            EXPECT_EQ(table->item(r, c)->text().toStdString(),
                      rows[std::size_t(r)][std::size_t(c)]);
        const bool highlighted =
            table->item(r, 0)->background().color() == PlanWindow::recommendedColour();
        EXPECT_EQ(highlighted, std::size_t(r) == *recommended) << r;
        EXPECT_EQ(table->item(r, 8)->font().bold(), std::size_t(r) == *recommended) << r;
    }
    EXPECT_TRUE(s.window.recommendation()->text().startsWith(QStringLiteral("Recommandation : ")));
    EXPECT_TRUE(
        s.window.recommendation()->text().contains(QStringLiteral("Taille minimale FAT32")));
}

TEST(PlanWindow, BarsCutTheVolumeInProportion) {
    Shown s(k300MiB);
    LayoutBars* bars = s.window.bars();
    const int width = bars->barAreaWidth();
    ASSERT_GT(width, 300);
    const plan::FormatPlan& plan = s.window.model().plan();
    for (std::size_t r = 0; r < plan.rows.size(); ++r) {
        const plan::PlanRow& row = plan.rows[r];
        const auto widths = bars->partWidths(r);
        int sum = 0;
        for (int w : widths)
            sum += w;
        EXPECT_EQ(sum, width) << r;
        // Each part within a pixel of its share of the volume.
        const double perByte = double(width) / double(plan.volumeBytes);
        EXPECT_NEAR(widths[plan::Free], double(row.freeBytes) * perByte, 1.0) << r;
        EXPECT_NEAR(widths[plan::System], double(row.systemBytes) * perByte, 1.0) << r;
    }
    // 400 files in 64 KiB clusters: more than a pixel of slack at this width.
    EXPECT_GT(bars->partWidths(plan.rows.size() - 1)[plan::Slack], 1);
}

TEST(PlanWindow, SizeFieldDrivesTableAndBarsAtOnceAndPrintingHandsTheText) {
    Shown s(k300MiB);
    QLineEdit* field = s.window.volumeField();
    EXPECT_EQ(field->text(), QStringLiteral("314572800"));
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("16 777 216"));
    EXPECT_EQ(s.window.model().plan().volumeBytes, 16777216u);
    EXPECT_EQ(s.window.table()->item(0, 0)->text(), QStringLiteral("FAT12"));
    EXPECT_EQ(s.window.table()->rowCount(), int(s.window.model().plan().rows.size()));

    QTest::keyClicks(field, QStringLiteral("x"));
    EXPECT_EQ(s.window.model().plan().volumeBytes, 16777216u)
        << "an unreadable size keeps the plan";

    s.window.findChild<QPushButton*>(QStringLiteral("imprimerPlan"))->click();
    EXPECT_EQ(s.printed, s.window.model().printLines());
}

} // namespace
} // namespace kesp
