// "Bilan du volume" from Form1, on a damaged card image opened in the window: greyed with its
// reason until a scan has gone through the whole volume, then its window shows the sheet as a
// table, the volume as one bar cut in proportion and the findings, prints through the print
// command, and is closed by the next run. Saves a picture of it.
#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableWidget>

#include "form1_harness.h"
#include "gui/qt/balance_window.h"
#include "gui/qt/volume_bar.h"
#include "images/system_services.h"
#include "support/fat_damage.h"
#include "support/fat_image.h"

namespace kesp::test {
namespace {

TEST(Form1Balance, OfferedAfterAWholeScanOfAnImageAndDrawnAsTheSheetSays) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    auto image = FatImage::create(labelledFat(32, 1, "CARTE", "1234ABCD", 40 << 20), error);
    ASSERT_TRUE(image) << error;
    for (const auto& [path, size] :
         std::vector<std::pair<std::string, int>>{{"DCIM/100CANON/IMG_0001.JPG", 12000000},
                                                  {"DCIM/100CANON/IMG_0002.JPG", 6000000},
                                                  {"DCIM/100CANON/IMG_0003.JPG", 1500},
                                                  {"Notes.txt", 600}})
        ASSERT_TRUE(image->addFile(path, size, error)) << error;
    auto damage = FatDamage::open(image->imagePath());
    ASSERT_TRUE(damage);
    // A camera that lost power while writing a 2 MB picture.
    const auto spare = damage->freeClusters(60000, 4000);
    damage->chain(std::vector<std::uint32_t>(spare.begin(), spare.end()));
    damage->setFsInfoFree(damage->freeCount() + 123);
    ASSERT_TRUE(damage->save());
    const auto minfo = image->minfo();
    ASSERT_TRUE(minfo);

    SystemServices system = makeSystemServices();
    Harness h;
    h.volumeService = system.volumes.get();
    h.folders = system.folders.get();
    h.images = system.images;
    h.dialogs.openAnswers.push_back(image->imagePath());
    Form1& form = h.window();
    form.show();
    QAction* item = form.balanceMenuAction();
    EXPECT_FALSE(item->isEnabled());
    EXPECT_EQ(item->toolTip().toStdString(), plan::kBalanceNeedsScan);
    h.menuItem("ouvrirImage")->trigger();

    // Without its sub-folders the walk leaves DCIM's clusters unclaimed: no sheet, and why.
    h.child<QCheckBox>("SousRep")->setChecked(false);
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();
    EXPECT_FALSE(item->isEnabled());
    EXPECT_EQ(item->toolTip().toStdString(),
              "Bilan du volume impossible : les sous-répertoires n'ont pas tous été parcourus.");

    h.child<QCheckBox>("SousRep")->setChecked(true);
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();
    ASSERT_TRUE(item->isEnabled()) << item->toolTip().toStdString();
    EXPECT_EQ(item->toolTip().toStdString(), "Chaque cluster de " + image->imagePath() +
                                                 " [CARTE] compté, jusqu'à la taille du volume");
    item->trigger();
    QPointer<BalanceWindow> window = form.balanceWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());

    // The table: one line per part and the total, the volume's size to the byte.
    const auto rows = window->model().tableRows();
    QTableWidget* table = window->table();
    ASSERT_EQ(table->rowCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(table->item(r, c)->text().toStdString(),
                      rows[std::size_t(r)][std::size_t(c)]);
    // Figures grouped as the locale does (C here: commas).
    const auto figure = [&](int r, int c) {
        return table->item(r, c)->text().remove(QLatin1Char(',')).toULongLong();
    };
    EXPECT_EQ(figure(table->rowCount() - 1, 2), minfo->totalSectors * minfo->sectorSize);
    EXPECT_EQ(table->item(7, 0)->text(), QStringLiteral("Perdus"));
    EXPECT_EQ(table->item(7, 1)->text(), QStringLiteral("4,000"));
    EXPECT_TRUE(window->notes()->toPlainText().startsWith(QStringLiteral("Libre selon FSInfo : ")));

    // The bar: a segment per part, each as wide as its share of the volume.
    window->resize(900, 720);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    VolumeBar* bar = window->bar();
    const std::vector<int> widths = bar->segmentWidths();
    const auto& parts = window->model().sheet().rows;
    ASSERT_EQ(widths.size(), parts.size());
    int drawn = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        drawn += widths[i];
        EXPECT_NEAR(widths[i],
                    double(bar->barWidth()) * double(parts[i].bytes) /
                        double(window->model().sheet().totalBytes),
                    1.0)
            << parts[i].label;
    }
    EXPECT_EQ(drawn, bar->barWidth());
    EXPECT_GT(bar->barWidth(), 800);

    ASSERT_FALSE(QFontInfo(table->font()).family().isEmpty());
    const QString shots = QStringLiteral(KESP_BINARY_DIR "/screenshots");
    QDir().mkpath(shots);
    ASSERT_TRUE(window->grab().save(shots + QStringLiteral("/bilan.png")));

    window->findChild<QPushButton*>(QStringLiteral("imprimerBilan"))->click();
    EXPECT_EQ(h.dialogs.prints, 1) << "the print command's own dialog";
    const std::string path = h.temp + "/~qkbilan.tmp";
    EXPECT_EQ(h.memoryFiles.lines[path], window->model().printLines());
    EXPECT_TRUE(h.memoryFiles.closed[path]);

    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "the next run makes the next sheet";
    EXPECT_TRUE(item->isEnabled());
}

} // namespace
} // namespace kesp::test
