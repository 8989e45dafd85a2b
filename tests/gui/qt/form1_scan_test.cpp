// A scan from the window over an in-memory tree: the lists, the panels, the commands given back,
// the cancel by a real second click, and the commands that stay live.
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <gtest/gtest.h>

#include "gui/qt/append_list_model.h"
#include "gui/qt/form1_harness.h"
#include "gui/qt/opti_window.h"
#include "gui/qt/status_bar.h"

namespace kesp::test {
namespace {

// fatRoot: A.BIN (5000 bytes) and SUB/ holding B.BIN (1 byte); 4096-byte clusters.
void smallTree(Harness& h) {
    h.tree.file(h.fatRoot, "A.BIN", 5000);
    const std::string sub = h.tree.folder(h.fatRoot, "SUB");
    h.tree.file(sub, "B.BIN", 1);
}

TEST(Form1Scan, ListsPanelsFilesAndCommandsAfterACompleteRun) {
    Harness h;
    smallTree(h);
    h.volumes.find(h.fatRoot)->megabytes = 300;
    Form1& form = h.window();
    h.chooseDrive(h.fatEntry());
    EXPECT_EQ(form.folderPath(), h.fatRoot);
    ASSERT_TRUE(h.ok()->isEnabled()) << "FAT32 passes the gate";

    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();

    const std::vector<std::string> list1 = {
        h.fatRoot,
        " Taille utile     :         5 000 octets",
        " Taille réelle    :        12 288 octets",
        "     Espace perdu :         7 288 octets",
        h.fatRoot + "SUB/",
        " Taille utile     :             1 octets",
        " Taille réelle    :         4 096 octets",
        "     Espace perdu :         4 095 octets",
    };
    EXPECT_EQ(form.list1Model().lines(), list1);
    EXPECT_EQ(form.list1Model().rowCount(), 8) << "every line reached the view";
    const std::string header = h.fatEntry() + " 300 Mo";
    const std::vector<std::string> list3 = {
        header,
        "Recherche sur " + h.fatRoot,
        " Taille totale utile  : 5,001 octets",
        " Taille totale réelle : 16,384 octets",
        "     Espace perdu     : 11,383 octets",
    };
    EXPECT_EQ(form.list3Model().lines(), list3);

    auto* bar = h.child<StatusBar1>("StatusBar1");
    EXPECT_EQ(bar->panelText(1), "1 répertoire");
    EXPECT_EQ(bar->panelText(2), "2 fichiers");
    EXPECT_EQ(bar->panelText(3), "0.01 Mo perdus");
    EXPECT_EQ(bar->panelText(4), "1 Cluster = 4096 octets");
    EXPECT_EQ(bar->panelText(5), "FAT32");

    EXPECT_EQ(h.ok()->text(), "&Démarrer");
    EXPECT_TRUE(h.ok()->isEnabled());
    EXPECT_TRUE(h.child<QWidget>("Drive1")->isEnabled());
    EXPECT_TRUE(h.child<QWidget>("Dir1")->isEnabled());
    for (int position : {1, 2, 4})
        EXPECT_TRUE(h.toolButton(position)->isEnabled()) << position;
    for (const char* name : {"Enregistrer", "Imprimer", "optimiser"})
        EXPECT_TRUE(h.menuItem(name)->isEnabled()) << name;
    EXPECT_EQ(form.windowTitle().toStdString(), "Kesp 2005 Version 2.0.5");
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);

    const auto& report = h.memoryFiles.lines[form.etat().CheminRes1];
    ASSERT_EQ(report.size(), 16u);
    EXPECT_EQ(report[0], header);
    EXPECT_EQ(report[1], "liste de " + h.fatRoot);
    EXPECT_EQ(report[2], " ");
    EXPECT_EQ(report[12], " ");
    EXPECT_EQ(report[15], "     Espace perdu     : 11,383 octets");
    const std::vector<std::string> table = {
        header,
        "liste de " + h.fatRoot,
        "Répertoire\tOctets perdus\tTaille utile",
        h.fatRoot + "\t7288\t5000",
        h.fatRoot + "SUB/\t4095\t1",
        " Taille totale réelle : 16,384 octets",
        "     Espace perdu     : 11,383 octets",
    };
    EXPECT_EQ(h.memoryFiles.lines[form.etat().CheminRes2], table);
    EXPECT_TRUE(h.memoryFiles.closed[form.etat().CheminRes1]);
    EXPECT_TRUE(h.memoryFiles.closed[form.etat().CheminRes2]);
    EXPECT_EQ(form.openFiles().openCount(), 0u);
}

TEST(Form1Scan, OptimisationOnlyOfferedOnFat) {
    Harness h;
    h.volumes.add(h.base.folder("inc"), "INCDFS");
    Form1& form = h.window();
    h.chooseDrive(h.base.path() + "/inc");
    ASSERT_TRUE(h.ok()->isEnabled()) << "INCDFS may be scanned";
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    EXPECT_TRUE(h.toolButton(1)->isEnabled());
    EXPECT_FALSE(h.toolButton(4)->isEnabled());
    EXPECT_FALSE(h.menuItem("optimiser")->isEnabled());

    // A drive change leaves the command as the last scan set it.
    h.scanFat();
    EXPECT_TRUE(h.toolButton(4)->isEnabled());
    h.chooseDrive("/");
    EXPECT_TRUE(h.menuItem("optimiser")->isEnabled());
    EXPECT_FALSE(h.ok()->isEnabled()) << "ext4 is refused";
    EXPECT_EQ(form.list1Model().lines().at(1), "ext4 : type de partition inconnu");
}

TEST(Form1Scan, ASecondClickDuringTheRunCancelsIt) {
    Harness h;
    // Every reading of the clock is a second later: each file refreshes the panels and pumps.
    h.ticks.step = 1001;
    for (int i = 0; i < 5; ++i) {
        const std::string sub = h.tree.folder(h.fatRoot, "D" + std::to_string(i));
        for (int j = 0; j < 3; ++j)
            h.tree.file(sub, "F" + std::to_string(j), 100);
    }
    Form1& form = h.window();
    h.chooseDrive(h.fatEntry());
    bool clicked = false;
    std::string captionAtClick;
    h.tree.onEntry = [&](const std::string& folder, const std::string&) {
        if (clicked || folder != h.fatRoot + "D1/") return;
        clicked = true;
        // The click is queued: it arrives through the pump, as a user's click would.
        QTimer::singleShot(0, h.ok(), [&] {
            captionAtClick = h.ok()->text().toStdString();
            QTest::mouseClick(h.ok(), Qt::LeftButton);
        });
    };
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();

    ASSERT_TRUE(clicked);
    EXPECT_EQ(captionAtClick, "&Annuler");
    const auto& list3 = form.list3Model().lines();
    ASSERT_EQ(list3.size(), 3u);
    EXPECT_EQ(list3[1], "Recherche sur " + h.fatRoot);
    EXPECT_EQ(list3[2], "Demande annulée avant la fin !!");
    EXPECT_EQ(h.memoryFiles.lines[form.etat().CheminRes1].back(),
              "Demande annulée avant la fin !!");
    // D1 stopped after its entry at the click; D2 to D4 are still entered with zero blocks.
    EXPECT_EQ(form.list1Model().lines().size(), 4u * 6);
    EXPECT_LT(form.etat().NbFichiers, 15u);
    EXPECT_FALSE(form.etat().DemandeAnnulation);
    EXPECT_EQ(h.ok()->text(), "&Démarrer");
    EXPECT_TRUE(h.ok()->isEnabled());
    EXPECT_TRUE(h.toolButton(1)->isEnabled());
    EXPECT_TRUE(h.toolButton(4)->isEnabled());
}

// Counts the rows List1 holds each time its viewport paints.
class PaintedRows : public QObject {
public:
    explicit PaintedRows(QAbstractItemView* view) : view_(view) {
        view->viewport()->installEventFilter(this);
    }
    int rows = -1; // at the last paint
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) rows = view_->model()->rowCount();
        return false;
    }

private:
    QAbstractItemView* view_;
};

TEST(Form1Scan, EachPumpPaintsTheRowsAppendedBeforeIt) {
    Harness h;
    h.ticks.step = 1001; // every entry refreshes and pumps
    for (int i = 0; i < 4; ++i)
        h.tree.file(h.tree.folder(h.fatRoot, "D" + std::to_string(i)), "F", 100);
    Form1& form = h.window();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    h.chooseDrive(h.fatEntry());
    Harness::settle();
    PaintedRows painted(h.child<QAbstractItemView>("List1"));
    std::vector<std::pair<int, int>> seen; // (rows in the view, rows at its last paint)
    h.tree.onEntry = [&](const std::string&, const std::string&) {
        seen.emplace_back(form.list1Model().rowCount(), painted.rows);
    };
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    ASSERT_GE(seen.size(), 4u);
    ASSERT_GT(seen.back().first, 0);
    for (const auto& [rows, paintedRows] : seen)
        EXPECT_EQ(paintedRows, rows) << "a pump left rows unpainted until the next one";
}

TEST(Form1Scan, SliderSubFoldersAndHelpStayLiveDuringARun) {
    Harness h;
    h.ticks.step = 1001;
    for (int i = 0; i < 3; ++i) {
        const std::string sub = h.tree.folder(h.fatRoot, "D" + std::to_string(i));
        h.tree.folder(sub, "INNER");
        h.tree.file(sub, "F", 10);
    }
    h.tree.file(h.fatRoot, "ROOT.BIN", 10);
    Form1& form = h.window();
    h.chooseDrive(h.fatEntry());
    bool acted = false;
    h.tree.onEntry = [&](const std::string& folder, const std::string&) {
        if (acted || folder != h.fatRoot) return;
        acted = true;
        QTimer::singleShot(0, &form, [&] {
            h.child<QSlider>("sldFreq")->setValue(4);
            QTest::mouseClick(h.child<QWidget>("SousRep"), Qt::LeftButton);
            h.menuItem("aide")->trigger();
        });
    };
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    ASSERT_TRUE(acted);
    EXPECT_EQ(form.etat().PeriodeRafraichissement, 4000);
    EXPECT_EQ(h.child<QLabel>("Label1")->text(), "4 secondes");
    // SousRep was cleared before the root's sub-folders: only the root's block.
    EXPECT_EQ(form.list1Model().lines().size(), 4u);
    ASSERT_EQ(h.helpOpenings(), 1u) << "help was opened";
}

TEST(Form1Commands, SliderLabelAndPeriod) {
    Harness h;
    Form1& form = h.window();
    auto* slider = h.child<QSlider>("sldFreq");
    auto* label = h.child<QLabel>("Label1");
    slider->setValue(2);
    EXPECT_EQ(label->text(), "2 secondes");
    EXPECT_EQ(form.etat().PeriodeRafraichissement, 2000);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(label->text(), "10 secondes");
    EXPECT_EQ(form.etat().PeriodeRafraichissement, 10000);
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(label->text(), "1 seconde");
    EXPECT_EQ(form.etat().PeriodeRafraichissement, 1000);
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(slider->value(), 3) << "large step 2";
    for (int value = 1; value <= 10; ++value) {
        slider->setValue(value);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString() << " is cut";
    }
}

TEST(Form1Commands, ToolBarDispatchesByExactKey) {
    Harness h;
    smallTree(h);
    Form1& form = h.window();
    h.scanFat();

    h.toolButton(1)->trigger();
    EXPECT_EQ(h.dialogs.saves, 1);
    h.menuItem("Enregistrer")->trigger();
    EXPECT_EQ(h.dialogs.saves, 2) << "the menu runs the same handler";
    h.toolButton(2)->trigger();
    EXPECT_EQ(h.dialogs.prints, 1);
    h.toolButton(6)->trigger();
    EXPECT_EQ(h.helpOpenings(), 1u);

    // Keys are compared whole and with case; a separator has none.
    for (const char* key : {"", "aide", "PROPOS", "Optimiser "})
        form.Toolbar1_ButtonClick(key);
    EXPECT_EQ(form.optiWindow(), nullptr);
    EXPECT_EQ(h.helpOpenings(), 1u);
    EXPECT_EQ(h.dialogs.saves, 2);
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(Form1Commands, OptimisationWindowIsClosedByEveryPressOfOk) {
    Harness h;
    smallTree(h);
    Form1& form = h.window();
    h.scanFat();
    h.toolButton(4)->trigger();
    QPointer<Opti> first = form.optiWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    h.menuItem("optimiser")->trigger();
    EXPECT_EQ(form.optiWindow(), first) << "one instance while it is open";

    QTest::mouseClick(h.ok(), Qt::LeftButton);
    EXPECT_EQ(form.optiWindow(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "closed and discarded";
    h.toolButton(4)->trigger();
    ASSERT_NE(form.optiWindow(), nullptr) << "rebuilt from the new scan";
    EXPECT_TRUE(form.optiWindow()->isVisible());
}

TEST(Form1Commands, AboutIsModalAndKeptForTheWholeProgram) {
    Harness h;
    Form1& form = h.window();
    std::vector<QWidget*> shown;
    auto closeWhenShown = [&] {
        QTimer::singleShot(50, &form, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            shown.push_back(modal);
            if (modal) modal->close();
        });
    };
    closeWhenShown();
    h.toolButton(7)->trigger();
    closeWhenShown();
    h.menuItem("Apropo")->trigger();
    ASSERT_EQ(shown.size(), 2u);
    ASSERT_NE(shown[0], nullptr);
    EXPECT_STREQ(shown[0]->metaObject()->className(), "apropos");
    EXPECT_EQ(shown[0], shown[1]);
}

TEST(Form1Drives, ADriveWithoutMediumGoesBackToThePreviousOneOrTheStartUpDrive) {
    Harness h;
    h.volumes.add("/media/cd", "CDFS").readiness = kErrorDeviceUnavailable;
    Form1& form = h.window();
    h.chooseDrive("/media/cd");
    EXPECT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(form.driveText(), "/") << "no drive before: the start-up one";
    EXPECT_EQ(form.folderPath(), "/");

    h.chooseDrive(h.fatEntry());
    h.chooseDrive("/media/cd");
    ASSERT_EQ(h.boxes.shown.size(), 2u);
    EXPECT_EQ(h.boxes.shown[1].text, "Lecteur vide !");
    EXPECT_EQ(h.boxes.shown[1].title, "Lecteur non prêt");
    EXPECT_EQ(h.boxes.shown[1].icon, MessageIcon::Critical);
    EXPECT_EQ(h.boxes.beeps, 2);
    EXPECT_EQ(form.driveText(), h.fatEntry());
    EXPECT_EQ(h.child<QComboBox>("Drive1")->currentText().toStdString(), h.fatEntry());
    EXPECT_EQ(form.folderPath(), h.fatRoot);
    EXPECT_EQ(h.child<StatusBar1>("StatusBar1")->panelText(5), "FAT32");
    EXPECT_TRUE(h.ok()->isEnabled());
}

TEST(Form1Drives, RightButtonOnDir1ShowsThePartitionReport) {
    Harness h;
    FakeVolume& fat = *h.volumes.find(h.fatRoot);
    fat.info.serial = 0x0BADF00D;
    fat.info.maxComponentLength = 255;
    Form1& form = h.window();
    h.chooseDrive(h.fatEntry());
    QWidget* viewport = h.child<QAbstractScrollArea>("Dir1")->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(h.boxes.shown.empty()) << "only the right button reports";
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].title, "Informations sur la partition " + h.fatEntry());
    EXPECT_EQ(
        h.boxes.shown[0].text.rfind("Nom du Volume = KESPF32\rNuméro de série = BADF00D\r", 0), 0u)
        << h.boxes.shown[0].text;
    EXPECT_EQ(form.driveState().TexteInfosPartition, h.boxes.shown[0].text);
}

TEST(Form1Drives, TheListIsReadAgainWhenItOpens) {
    Harness h;
    Form1& form = h.window();
    h.chooseDrive(h.fatEntry());
    h.volumes.add(h.base.folder("late"), "FAT");
    auto* drive1 = h.child<QComboBox>("Drive1");
    EXPECT_EQ(drive1->findText(QString::fromStdString(h.base.path() + "/late")), -1);
    drive1->showPopup();
    drive1->hidePopup();
    EXPECT_GE(drive1->findText(QString::fromStdString(h.base.path() + "/late")), 0);
    EXPECT_EQ(form.driveText(), h.fatEntry()) << "no drive change";

    // A volume that went away stays listed while selected.
    const std::string gone = h.fatEntry();
    h.volumes.volumes.erase(h.volumes.volumes.begin() + 1);
    drive1->showPopup();
    drive1->hidePopup();
    EXPECT_EQ(form.driveText(), gone);
    EXPECT_EQ(drive1->currentText().toStdString(), gone);
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(Form1Drives, StartOnADriveThatWentAwayGoesThroughTheDriveChange) {
    Harness h;
    h.tree.file(h.fatRoot, "A.BIN", 100);
    Form1& form = h.window();
    h.chooseDrive(h.fatEntry());
    const std::size_t linesBefore = form.list1Model().lines().size();
    h.volumes.volumes.erase(h.volumes.volumes.begin() + 1); // unmounted
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].title, "Lecteur non prêt");
    EXPECT_EQ(form.driveText(), "/") << "back to the start-up drive";
    EXPECT_EQ(form.folderPath(), "/");
    EXPECT_TRUE(form.list3Model().lines().empty()) << "nothing was scanned";
    EXPECT_LE(form.list1Model().lines().size(), linesBefore + 2);
    EXPECT_FALSE(h.memoryFiles.lines.count(form.etat().CheminRes1));
    EXPECT_EQ(h.ok()->text(), "&Démarrer");
}

TEST(Form1Drives, AnotherFailureIsReportedAndDrive1GoesBack) {
    Harness h;
    // Listed and ready, but its root is no folder: Dir1 cannot show it (error 76).
    h.volumes.add("/nonexistent-kesp-volume", "FAT");
    Form1& form = h.window();
    h.chooseDrive(h.fatEntry());
    h.chooseDrive("/nonexistent-kesp-volume");
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text.rfind("Erreur : 76\r\n", 0), 0u) << h.boxes.shown[0].text;
    EXPECT_EQ(h.boxes.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(form.driveText(), h.fatEntry());
    EXPECT_EQ(form.folderPath(), h.fatRoot);
    EXPECT_EQ(h.child<StatusBar1>("StatusBar1")->panelText(5), "FAT32");
}

TEST(Form1Drives, TheFolderChosenInDir1IsTheOneScanned) {
    Harness h;
    h.base.folder("f/SUB");
    h.tree.file(h.fatRoot, "A.BIN", 5000);
    const std::string sub = h.tree.folder(h.fatRoot, "SUB");
    h.tree.file(sub, "B.BIN", 1);
    Form1& form = h.window();
    h.chooseDrive(h.fatEntry());
    auto* dir1 = h.child<QTreeView>("Dir1");
    QAbstractItemModel* model = dir1->model();
    // Indexes go stale as the folders are read in the background: ask afresh every time.
    auto rootItem = [&] { return model->index(0, 0, dir1->rootIndex()); };
    auto subItem = [&] { return model->index(0, 0, rootItem()); };
    // The drive's root is the one top item.
    EXPECT_EQ(model->rowCount(dir1->rootIndex()), 1);
    EXPECT_EQ(rootItem().data().toString(), "f");
    QTRY_COMPARE(model->rowCount(rootItem()), 1);
    EXPECT_EQ(subItem().data().toString(), "SUB");
    dir1->setCurrentIndex(subItem());
    EXPECT_EQ(form.folderPath(), h.fatRoot + "SUB");
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    ASSERT_FALSE(form.list1Model().lines().empty());
    EXPECT_EQ(form.list1Model().lines()[0], h.fatRoot + "SUB/");
    EXPECT_EQ(form.list1Model().lines().size(), 4u);
    dir1->setCurrentIndex(rootItem());
    EXPECT_EQ(form.folderPath(), h.fatRoot) << "the root keeps its separator";
}

} // namespace
} // namespace kesp::test
