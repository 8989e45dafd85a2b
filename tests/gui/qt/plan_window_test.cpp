// The plan window offscreen: the table as the plan has it, the recommended row highlighted, the
// bars' proportions in pixels, the size field driving both, printing handing over the text.
#include "gui/qt/plan_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

#include "gui/qt/layout_bars.h"
#include "gui/qt/slack_chart.h"

namespace kesp {
namespace {

constexpr std::uint64_t k300MiB = 300ull << 20;

plan::PlanWindowModel sampleModel(std::uint64_t volume) {
    TreeTally tally;
    for (int i = 0; i < 400; ++i)
        tallyFile(tally, 700 + 37 * static_cast<std::uint64_t>(i), 4096);
    tallyFolder(tally, {30, 90}, false);
    tallyFolder(tally, {400 - 30 + 1, 3 * (400 - 30 + 1)}, true);
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
    const auto recommendedExfat = s.window.model().plan().recommendedExfat;
    ASSERT_TRUE(recommended && recommendedExfat);
    ASSERT_EQ(table->rowCount(), static_cast<int>(rows.size()));
    ASSERT_EQ(table->columnCount(), 11);
    EXPECT_EQ(table->horizontalHeaderItem(6)->text(), QStringLiteral("Occupé"));
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < 11; ++c)
            EXPECT_EQ(table->item(r, c)->text().toStdString(),
                      rows[std::size_t(r)][std::size_t(c)]);
        const bool highlighted =
            table->item(r, 0)->background().color() == PlanWindow::recommendedColour();
        const bool highlightedExfat =
            table->item(r, 0)->background().color() == PlanWindow::recommendedExfatColour();
        EXPECT_EQ(highlighted, std::size_t(r) == *recommended) << r;
        EXPECT_EQ(highlightedExfat, std::size_t(r) == *recommendedExfat) << r;
        EXPECT_EQ(table->item(r, 8)->font().bold(), highlighted || highlightedExfat) << r;
    }
    EXPECT_EQ(table->item(int(*recommendedExfat), 0)->text(), QStringLiteral("exFAT"));
    EXPECT_TRUE(s.window.recommendation()->text().startsWith(QStringLiteral("Recommandation : ")));
    EXPECT_TRUE(s.window.recommendation()->text().contains(
        QStringLiteral("\nPour un appareil qui lit l'exFAT : exFAT, ")));
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
        // Each part within a pixel of its share of the volume, where the tree fits.
        if (row.validity == plan::Validity::TooSmall) continue;
        const double perByte = double(width) / double(plan.volumeBytes);
        EXPECT_NEAR(widths[plan::Free], double(row.freeBytes) * perByte, 1.0) << r;
        EXPECT_NEAR(widths[plan::System], double(row.systemBytes) * perByte, 1.0) << r;
    }
    // 400 files in 64 KiB clusters: more than a pixel of slack at this width.
    const auto fat64k = std::find_if(plan.rows.begin(), plan.rows.end(), [](const auto& row) {
        return !row.exfat && row.layout.clusterBytes() == 65536;
    });
    ASSERT_NE(fat64k, plan.rows.end());
    EXPECT_GT(bars->partWidths(std::size_t(fat64k - plan.rows.begin()))[plan::Slack], 1);
}

TEST(PlanWindow, SizeFieldDrivesTableAndBarsAtOnceAndPrintingHandsTheText) {
    Shown s(k300MiB);
    QLineEdit* field = s.window.volumeField();
    EXPECT_EQ(field->text(), QStringLiteral("314,572,800 octets"));
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("16 Mo"));
    EXPECT_EQ(s.window.model().plan().volumeBytes, 16777216u);
    EXPECT_EQ(s.window.table()->item(0, 0)->text(), QStringLiteral("FAT12"));
    EXPECT_EQ(s.window.table()->rowCount(), int(s.window.model().plan().rows.size()));
    EXPECT_TRUE(s.window.volumeError()->text().isEmpty());

    // A refused size: the reason beside the field, the last plan greyed and not printed.
    QTest::keyClicks(field, QStringLiteral("x"));
    EXPECT_EQ(s.window.model().plan().volumeBytes, 16777216u);
    EXPECT_EQ(s.window.volumeError()->text(),
              QStringLiteral("Unité inconnue : « Mox » (o, Ko, Mo, Go, To, KiB… ou kB, MB, GB, "
                             "TB)."));
    for (QWidget* part :
         {static_cast<QWidget*>(s.window.table()), static_cast<QWidget*>(s.window.bars()),
          static_cast<QWidget*>(s.window.recommendation())})
        EXPECT_FALSE(part->isEnabled()) << part->objectName().toStdString();
    auto* print = s.window.findChild<QPushButton*>(QStringLiteral("imprimerPlan"));
    EXPECT_FALSE(print->isEnabled());

    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_TRUE(s.window.table()->isEnabled());
    EXPECT_TRUE(s.window.volumeError()->text().isEmpty());
    print->click();
    EXPECT_EQ(s.printed, s.window.model().printLines());
}

TEST(PlanWindow, FitsASmallScreenScrollsItsChartsAndClosesOnEscapeOrFermer) {
    Shown s(k300MiB);
    // The window as opened (Shown resizes it): within the screen less a desktop's frame and
    // panel (offscreen, 800 x 600).
    PlanWindow fresh(sampleModel(k300MiB), {});
    const QSize screen = fresh.screen()->availableGeometry().size();
    EXPECT_LE(fresh.width(), screen.width() - 16);
    EXPECT_LE(fresh.height(), screen.height() - 64);

    // Narrow: the charts keep their legend and labels whole and scroll instead.
    s.window.resize(640, 480);
    QTest::qWait(50);
    for (QWidget* chart :
         {static_cast<QWidget*>(s.window.bars()), static_cast<QWidget*>(s.window.slackChart())}) {
        auto* area = qobject_cast<QScrollArea*>(chart->parentWidget()->parentWidget());
        ASSERT_NE(area, nullptr);
        EXPECT_GE(chart->width(), chart->minimumSizeHint().width());
        EXPECT_GT(chart->width(), area->viewport()->width()) << chart->objectName().toStdString();
        EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    }
    QFontMetrics fm(s.window.slackChart()->font());
    EXPECT_GE(s.window.slackChart()->minimumSizeHint().width(),
              fm.horizontalAdvance(s.window.slackChart()->title()));

    QTest::keyClick(s.window.volumeField(), Qt::Key_Escape);
    EXPECT_FALSE(s.window.isVisible());
    s.window.show();
    s.window.findChild<QPushButton*>(QStringLiteral("fermerPlan"))->click();
    EXPECT_FALSE(s.window.isVisible());
}

} // namespace
} // namespace kesp
