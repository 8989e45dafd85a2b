// The window Opti offscreen: the grid as the table says, its geometry and its selection.
#include <QDir>
#include <QFontInfo>
#include <QPointer>
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
    etat.realAt = {123'460'000'000, 123'470'000'000, 123'490'000'000, 123'530'000'000,
                   123'600'000'000};
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
    EXPECT_EQ(opti.windowTitle(), "Kesp 2005 Version 2.0.5");
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
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(grille->columnWidth(column), 100);
    EXPECT_EQ(opti.width(), 500);
    EXPECT_EQ(opti.height(), height);
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
