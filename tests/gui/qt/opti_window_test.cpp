// The window Opti offscreen: the grid as the table says, its geometry and its selection.
#include <QDir>
#include <QFontInfo>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/qt/opti_window.h"
#include "volume/opti_table.h"

namespace {

constexpr const char* kTitle = "Kesp 2005 Version 2.0.5";

kesp::EtatScan etatFat(std::int32_t cluster, bool fat32) {
    kesp::EtatScan etat;
    etat.EstFat32 = fat32;
    etat.TailleCluster = cluster;
    etat.TotalUtile = 123'456'789'012;
    etat.TotalReelDe(2048) = 123'460'000'000;
    etat.TotalReelDe(4096) = 123'470'000'000;
    etat.TotalReelDe(8192) = 123'490'000'000;
    etat.TotalReelDe(16384) = 123'530'000'000;
    etat.TotalReelDe(32768) = 123'600'000'000;
    return etat;
}

QList<QPoint> selectedCells(QTableWidget* grille) {
    QList<QPoint> cells;
    for (const QTableWidgetItem* item : grille->selectedItems())
        cells << QPoint(item->column(), item->row());
    std::sort(cells.begin(), cells.end(),
              [](QPoint a, QPoint b) { return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x()); });
    return cells;
}

QList<QPoint> rowsTimesColumns(int first, int last) {
    QList<QPoint> cells;
    for (int row = first; row <= last; ++row)
        for (int column = 0; column < 5; ++column)
            cells << QPoint(column, row);
    return cells;
}

void saveShot(QWidget& window, const QString& name) {
    const QString folder = KESP_BINARY_DIR "/screenshots";
    QDir().mkpath(folder);
    EXPECT_TRUE(window.grab().save(folder + "/" + name));
}

TEST(OptiWindow, ShowsTheTableCentredInHundredPixelColumnsWithTheCurrentRowSelected) {
    const kesp::EtatScan etat = etatFat(8192, false);
    Opti opti(etat, kTitle);
    opti.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&opti));
    EXPECT_FALSE(QFontInfo(opti.font()).family().isEmpty());

    EXPECT_EQ(opti.objectName(), "Opti");
    EXPECT_EQ(opti.windowTitle(), "Kesp 2005 Version 2.0.5 - Optimisation des Clusters FAT");
    QTableWidget* grille = opti.findChild<QTableWidget*>("Grille");
    ASSERT_EQ(grille, opti.Grille());
    ASSERT_EQ(grille->rowCount(), 6);
    ASSERT_EQ(grille->columnCount(), 5);

    const kesp::TableOpti table = kesp::ConstruireTableOpti(etat);
    int height = 0;
    for (int row = 0; row < 6; ++row) {
        height += grille->rowHeight(row);
        for (int column = 0; column < 5; ++column) {
            const QTableWidgetItem* cell = grille->item(row, column);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->text().toStdString(), table.cellules[row][column]);
            EXPECT_EQ(cell->textAlignment(), int(Qt::AlignCenter));
            EXPECT_LE(QFontMetrics(grille->font()).horizontalAdvance(cell->text()), 100)
                << "clipped: " << cell->text().toStdString();
        }
    }
    EXPECT_EQ(grille->item(0, 3)->text(), "Taille réelle");
    EXPECT_EQ(grille->item(3, 2)->text(), "123 456 789 012");
    // The first column is as wide as its widest text with room on both sides, the others 100.
    const QFontMetrics metrics(grille->font());
    EXPECT_EQ(grille->columnWidth(0),
              std::max(100, metrics.horizontalAdvance("Taille de la partition") + 12));
    for (int column = 1; column < 5; ++column)
        EXPECT_EQ(grille->columnWidth(column), 100);
    EXPECT_EQ(grille->width(), grille->columnWidth(0) + 400);
    EXPECT_EQ(grille->height(), height);
    EXPECT_GT(height, 6 * 10);

    EXPECT_EQ(grille->currentRow(), 3);
    EXPECT_EQ(grille->currentColumn(), 0);
    EXPECT_EQ(selectedCells(grille), rowsTimesColumns(3, 3));
    saveShot(opti, "opti_fat_8192.png");
}

TEST(OptiWindow, WithoutAMatchingRowSelectsEverythingFromTheTitleRow) {
    Opti opti(etatFat(2048, true), kTitle);
    opti.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&opti));
    QTableWidget* grille = opti.Grille();
    ASSERT_EQ(grille->rowCount(), 5);
    EXPECT_EQ(grille->item(1, 0)->text(), "0    ->    8 Go");
    EXPECT_EQ(grille->currentRow(), 4);
    EXPECT_EQ(selectedCells(grille), rowsTimesColumns(0, 4));
    saveShot(opti, "opti_fat32_nomatch.png");
}

// A 64 GB card of 128 KiB clusters: nine rows, each range unclipped, the card's row selected.
TEST(OptiWindow, ExfatCardShowsItsNineRowsWithItsOwnSelected) {
    kesp::EtatScan etat = etatFat(131072, false);
    etat.EstExfat = true;
    for (std::uint32_t k = 65536; k <= (1u << 20); k *= 2)
        etat.TotalReelDe(k) = 123'456'789'012 + k * 1'000'000ull;
    Opti opti(etat, kTitle);
    opti.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&opti));
    QTableWidget* grille = opti.Grille();
    ASSERT_EQ(grille->rowCount(), 10);
    int height = 0;
    for (int row = 0; row < 10; ++row) {
        height += grille->rowHeight(row);
        for (int column = 0; column < 5; ++column)
            EXPECT_LE(
                QFontMetrics(grille->font()).horizontalAdvance(grille->item(row, column)->text()),
                grille->columnWidth(column))
                << "clipped: " << grille->item(row, column)->text().toStdString();
    }
    EXPECT_EQ(grille->height(), height);
    EXPECT_EQ(opti.windowTitle(), "Kesp 2005 Version 2.0.5 - Optimisation des Clusters exFAT");
    EXPECT_EQ(grille->item(1, 0)->text(), "7 Mo -> 256 Mo");
    EXPECT_EQ(grille->item(9, 1)->text(), "1048576");
    EXPECT_EQ(grille->item(6, 3)->text(), "254 528 789 012");
    EXPECT_EQ(selectedCells(grille), rowsTimesColumns(6, 6));
    saveShot(opti, "opti_exfat_131072.png");
}

TEST(OptiWindow, TitleNamesTheTableAndEscapeOrFermerCloseIt) {
    EXPECT_EQ(Opti(etatFat(4096, true), kTitle).windowTitle(),
              "Kesp 2005 Version 2.0.5 - Optimisation des Clusters FAT32");
    for (const bool escape : {true, false}) {
        QPointer<Opti> opti = new Opti(etatFat(4096, false), kTitle);
        opti->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(opti));
        if (escape)
            QTest::keyClick(opti->Grille(), Qt::Key_Escape);
        else
            opti->findChild<QPushButton*>("Fermer")->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return opti.isNull(); }, 2000)) << escape;
    }
}

TEST(OptiWindow, IsItsOwnWindowEvenWithAParentAndClosingDiscardsIt) {
    QWidget owner;
    QPointer<Opti> opti = new Opti(etatFat(4096, false), kTitle, &owner);
    EXPECT_TRUE(opti->isWindow());
    EXPECT_EQ(opti->parentWidget(), &owner);
    opti->show();
    opti->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return opti.isNull(); }, 2000));
}

} // namespace
