// The whole window on an exFAT card image opened through "Ouvrir une image disque…": the tree
// copied in through exfat-fuse, the drive's panels, the scan against dump.exfat, the exFAT
// optimisation table and the plan with its exFAT rows. Saves pictures of Opti and the plan.
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/qt/form1_harness.h"
#include "gui/qt/opti_window.h"
#include "gui/qt/plan_window.h"
#include "gui/qt/status_bar.h"
#include "images/system_services.h"
#include "os/posix/output_files_posix.h"
#include "support/exfat_image.h"
#include "support/temp_dir.h"

namespace kesp::test {
namespace {

void saveShot(QWidget& window, const char* name) {
    const QString folder = QStringLiteral(KESP_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    ASSERT_FALSE(QFontInfo(window.font()).family().isEmpty());
    ASSERT_TRUE(window.grab().save(folder + QLatin1Char('/') + QLatin1String(name)));
}

TEST(Form1ExfatScan, CardImageGetsTheExfatTableAndPlan) {
    KESP_REQUIRE_EXFAT_TOOLS(true);
    TempDir tree;
    std::uint64_t useful = 0;
    for (int i = 0; i < 60; ++i) {
        const std::size_t size = 150000 + std::size_t(i) * 7919;
        tree.file("DCIM/100CANON/IMG_" + std::to_string(1000 + i) + ".JPG", size);
        useful += size;
    }
    tree.file("Été/vidéo de vacances.mp4", 3'000'001);
    useful += 3'000'001;
    std::string error;
    auto image = ExfatImage::create(256u << 20, 131072, "CARTE SD", error);
    ASSERT_TRUE(image) << error;
    const auto fresh = dumpExfat(image->imagePath());
    ASSERT_TRUE(image->copyIn(tree.path(), error)) << error;
    const auto after = dumpExfat(image->imagePath());
    ASSERT_TRUE(fresh && after);

    SystemServices system = makeSystemServices();
    PosixOutputFiles files;
    Harness h;
    h.volumeService = system.volumes.get();
    h.folders = system.folders.get();
    h.images = system.images;
    h.files = &files;
    h.dialogs.openAnswers.push_back(image->imagePath());
    Form1& form = h.window();
    form.show();
    h.menuItem("ouvrirImage")->trigger();
    ASSERT_EQ(h.boxes.shown.size(), 0u) << h.boxes.shown[0].text;
    EXPECT_EQ(form.driveText(), image->imagePath() + " [CARTE SD]");
    auto* bar = h.child<StatusBar1>("StatusBar1");
    EXPECT_EQ(bar->panelText(5), "exFAT");
    EXPECT_EQ(bar->panelText(4), "1 Cluster = 131072 octets");
    EXPECT_TRUE(h.ok()->isEnabled());

    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();
    EXPECT_EQ(form.etat().TotalUtile, useful);
    EXPECT_EQ(form.etat().TotalReel, (fresh->freeClusters - after->freeClusters) * 131072);
    ASSERT_TRUE(h.menuItem("optimiser")->isEnabled());

    h.menuItem("optimiser")->trigger();
    Opti* opti = form.optiWindow();
    ASSERT_NE(opti, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(opti));
    QTableWidget* grille = opti->Grille();
    ASSERT_EQ(grille->rowCount(), 10);
    EXPECT_EQ(grille->item(6, 1)->text(), QStringLiteral("131072"));
    EXPECT_EQ(grille->currentRow(), 6);
    EXPECT_TRUE(grille->item(6, 3)->isSelected());
    saveShot(*opti, "opti-exfat.png");

    ASSERT_TRUE(form.planAction()->isEnabled());
    form.planAction()->trigger();
    PlanWindow* plan = form.planWindow();
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->model().plan().volumeBytes, 256u << 20);
    // The card's own layout among the rows.
    int row = 0;
    for (const plan::PlanRow& r : plan->model().plan().rows) {
        if (r.exfat && !r.sdLayout && r.exfat->clusterBytes == 131072) break;
        ++row;
    }
    ASSERT_LT(row, plan->table()->rowCount());
    EXPECT_EQ(plan->table()->item(row, 0)->text(), QStringLiteral("exFAT"));
    EXPECT_EQ(plan->table()->item(row, 9)->text(), QStringLiteral("selon l'appareil"));
    EXPECT_TRUE(plan->recommendation()->text().contains(
        QStringLiteral("Pour un appareil qui lit l'exFAT : exFAT, ")));
    plan->resize(1180, 820);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(plan));
    plan->table()->scrollToItem(plan->table()->item(row, 0), QAbstractItemView::PositionAtCenter);
    saveShot(*plan, "plan-exfat.png");
}

} // namespace
} // namespace kesp::test
