// The whole window on a real FAT volume: an image made by mkfs.fat, mounted with fusefat,
// chosen in Drive1 and scanned through the POSIX services. mtools' own cluster counts are the
// oracle. Also saves pictures of the window, at start-up and after the scan, into the build tree.
#include <QAbstractItemModel>
#include <QDir>
#include <QFontInfo>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <regex>

#include "gui/qt/append_list_model.h"
#include "gui/qt/form1_harness.h"
#include "gui/qt/plan_window.h"
#include "gui/qt/status_bar.h"
#include "images/system_services.h"
#include "os/posix/folder_enum_posix.h"
#include "os/posix/output_files_posix.h"
#include "os/posix/volume_service_posix.h"
#include "support/fat_image.h"

namespace kesp::test {
namespace {

std::string screenshotPath(const char* name) {
    const QString folder = QStringLiteral(KESP_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    return (folder + QLatin1Char('/') + QLatin1String(name)).toStdString();
}

// Waits until Dir1 shows the drive's folders (it reads them in the background); only the picture
// depends on it.
void waitForTree(Form1& form, int rowsBelowRoot) {
    auto* tree = form.findChild<QTreeView*>(QStringLiteral("Dir1"));
    (void)QTest::qWaitFor(
        [&] {
            const QModelIndex root = tree->model()->index(0, 0, tree->rootIndex());
            return tree->model()->rowCount(root) >= rowsBelowRoot;
        },
        3000);
}

// The POSIX services, declared before the Harness so they outlive its window.
struct HostServices {
    std::unique_ptr<VolumeService> volumes = makePosixVolumeService();
    PosixFolderEnumerator folders;
    PosixOutputFiles files;
    void serve(Harness& h) {
        h.volumeService = volumes.get();
        h.folders = &folders;
        h.files = &files;
    }
};

void saveGrab(Form1& form, const char* name) {
    // A grab is only worth keeping when text can be drawn at all.
    ASSERT_FALSE(
        QFontInfo(form.findChild<QWidget*>(QStringLiteral("List1"))->font()).family().isEmpty());
    ASSERT_FALSE(
        QFontInfo(form.findChild<QWidget*>(QStringLiteral("OK"))->font()).family().isEmpty());
    const std::string path = screenshotPath(name);
    ASSERT_TRUE(form.grab().save(QString::fromStdString(path))) << path;
}

TEST(Form1FatScan, ScansAMountedFat16ImageChosenInDrive1) {
    KESP_REQUIRE_FAT_TOOLS(true);
    std::string error;
    auto image = FatImage::create({.fatBits = 16,
                                   .sectorsPerCluster = 4,
                                   .label = "",
                                   .serial = "0BADF00D",
                                   .sizeBytes = 20 << 20,
                                   .sectorSize = 512},
                                  error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->addFile("A.BIN", 5000, error)) << error;
    ASSERT_TRUE(image->addFile("SUB/B.BIN", 1, error)) << error;
    ASSERT_TRUE(image->addFile("SUB/C.BIN", 4096, error)) << error;
    ASSERT_TRUE(image->addFile("SUB/DEEP/D.BIN", 0, error)) << error;
    ASSERT_TRUE(image->mount(error)) << error;

    HostServices host;
    Harness h;
    host.serve(h);
    auto& volumes = host.volumes;
    Form1& form = h.window();
    form.show();
    waitForTree(form, 1);
    saveGrab(form, "form1-startup.png");

    const std::string entry = volumes->driveOf(image->mountPoint());
    ASSERT_FALSE(entry.empty());
    h.chooseDrive(entry);

    const std::string root = image->mountPoint() + "/";
    EXPECT_EQ(form.folderPath(), root);
    auto* bar = h.child<StatusBar1>("StatusBar1");
    EXPECT_EQ(bar->panelText(4), "1 Cluster = 2048 octets");
    EXPECT_EQ(bar->panelText(5), "FAT");
    ASSERT_TRUE(h.ok()->isEnabled());

    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();

    // The oracle: what mtools counts, one cluster more for each of the two sub-folders met.
    const auto clusters = image->clustersByPath();
    const std::uint64_t fileClusters = clusters.at("::/A.BIN") + clusters.at("::/SUB/B.BIN") +
                                       clusters.at("::/SUB/C.BIN") +
                                       clusters.at("::/SUB/DEEP/D.BIN");
    EXPECT_EQ((fileClusters + 2) * 2048, form.etat().TotalReel);

    const std::vector<std::string> list1 = {
        root,
        " Taille utile     :         5 000 octets",
        " Taille réelle    :         8 192 octets",
        "     Espace perdu :         3 192 octets",
        root + "SUB/",
        " Taille utile     :         4 097 octets",
        " Taille réelle    :         8 192 octets",
        "     Espace perdu :         4 095 octets",
        root + "SUB/DEEP/",
        " Taille utile     :             0 octets",
        " Taille réelle    :             0 octets",
        "     Espace perdu :             0 octets",
    };
    EXPECT_EQ(form.list1Model().lines(), list1);
    EXPECT_EQ(form.list1Model().rowCount(), 12);

    const std::uint64_t megabytes = volumes->totalMegabytes(root);
    ASSERT_GT(megabytes, 0u);
    ASSERT_LT(megabytes, 1000u);
    const std::string header = entry + " " + std::to_string(megabytes) + " Mo";
    const std::vector<std::string> list3 = {
        header,
        "Recherche sur " + root,
        " Taille totale utile  : 9,097 octets",
        " Taille totale réelle : 16,384 octets",
        "     Espace perdu     : 7,287 octets",
    };
    EXPECT_EQ(form.list3Model().lines(), list3);
    EXPECT_EQ(bar->panelText(1), "2 répertoires");
    EXPECT_EQ(bar->panelText(2), "4 fichiers");
    EXPECT_EQ(bar->panelText(3), "0.01 Mo perdus");

    EXPECT_EQ(h.ok()->text(), "&Démarrer");
    EXPECT_TRUE(h.ok()->isEnabled());
    for (const char* name : {"Enregistrer", "Imprimer", "optimiser"})
        EXPECT_TRUE(h.child<QAction>(name)->isEnabled()) << name << ": FAT offers all three";

    std::string report = header + "\r\nliste de " + root + "\r\n";
    for (std::size_t block = 0; block < 3; ++block) {
        report += " \r\n";
        for (std::size_t line = 0; line < 4; ++line)
            report += list1[block * 4 + line] + "\r\n";
    }
    report += " \r\n";
    for (std::size_t line = 2; line < 5; ++line)
        report += list3[line] + "\r\n";
    EXPECT_EQ(readFile(h.temp + "/~qkres1.tmp"), report);
    const std::string table = header + "\r\nliste de " + root +
                              "\r\nRépertoire\tOctets perdus\tTaille utile\r\n" + root +
                              "\t3192\t5000\r\n" + root + "SUB/\t4095\t4097\r\n" + root +
                              "SUB/DEEP/\t0\t0\r\n" + list3[3] + "\r\n" + list3[4] + "\r\n";
    EXPECT_EQ(readFile(h.temp + "/~qkres2.tmp"), table);

    saveGrab(form, "form1-after-scan.png");
}

TEST(Form1FatScan, OpensAnImageThroughTheDialogAndScansItWithoutAMount) {
    KESP_REQUIRE_FAT_TOOLS(false);
    std::string error;
    auto image = FatImage::create(labelledFat(32, 1, "CARTE", "1234ABCD", 300u << 20), error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->addFile("Photos/Long Name Of A Photo.jpg", 1000, error)) << error;
    ASSERT_TRUE(image->addFile("Photos/Day2/IMG_0001.JPG", 513, error)) << error;
    ASSERT_TRUE(image->addFile("readme.txt", 10, error)) << error;

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

    // Selected at once, with the volume's own geometry, and Dir1 reads the image itself.
    const std::string root = image->imagePath() + ":/";
    EXPECT_EQ(form.driveText(), image->imagePath() + " [CARTE]");
    EXPECT_EQ(form.folderPath(), root);
    auto* bar = h.child<StatusBar1>("StatusBar1");
    EXPECT_EQ(bar->panelText(4), "1 Cluster = 512 octets");
    EXPECT_EQ(bar->panelText(5), "FAT32");
    auto* dir1 = h.child<QTreeView>("Dir1");
    const QModelIndex rootItem = dir1->model()->index(0, 0, dir1->rootIndex());
    ASSERT_EQ(dir1->model()->rowCount(rootItem), 1);
    EXPECT_EQ(dir1->model()->index(0, 0, rootItem).data().toString(), "Photos");

    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();
    const auto clusters = image->clustersByPath();
    const std::uint64_t fileClusters = clusters.at("::/Photos/Long Name Of A Photo.jpg") +
                                       clusters.at("::/Photos/Day2/IMG_0001.JPG") +
                                       clusters.at("::/readme.txt");
    EXPECT_EQ((fileClusters + 2) * 512, form.etat().TotalReel); // two sub-folders, a cluster each
    const auto lines = form.list1Model().lines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], root);
    EXPECT_EQ(lines[4], root + "Photos/");
    EXPECT_EQ(lines[8], root + "Photos/Day2/");
    EXPECT_EQ(form.list3Model().lines().at(1), "Recherche sur " + root);
    saveGrab(form, "form1-image-after-scan.png");
}

// The plan of the scanned image for its own size: the row of the image's own layout leaves
// exactly the free space mtools finds on it.
TEST(Form1FatScan, PlanOfAScannedImageLeavesWhatMtoolsFindsFree) {
    KESP_REQUIRE_FAT_TOOLS(true);
    std::string error;
    auto image = FatImage::create({.fatBits = 16,
                                   .sectorsPerCluster = 4,
                                   .label = "",
                                   .serial = "0BADF00D",
                                   .sizeBytes = 20 << 20,
                                   .sectorSize = 512},
                                  error);
    ASSERT_TRUE(image) << error;
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(image->addFile("F" + std::to_string(i) + ".BIN", 1000 + 4321 * i, error))
            << error;
    ASSERT_TRUE(image->addFile("Un Nom Long De Fichier.txt", 3000, error)) << error;
    ASSERT_TRUE(image->addFile("SUB/Autre nom long.dat", 70000, error)) << error;
    ASSERT_TRUE(image->addFile("SUB/DEEP/D.BIN", 0, error)) << error;
    ASSERT_TRUE(image->mount(error)) << error;

    HostServices host;
    Harness h;
    host.serve(h);
    auto& volumes = host.volumes;
    Form1& form = h.window();
    form.show();
    h.chooseDrive(volumes->driveOf(image->mountPoint()));
    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();

    ASSERT_TRUE(form.planAction()->isEnabled());
    form.planAction()->trigger();
    PlanWindow* window = form.planWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->volumeField()->text().toStdString(), "20,971,520 octets");
    const plan::PlanRow* own = nullptr;
    for (const plan::PlanRow& row : window->model().plan().rows)
        if (row.layout.bits == fat::FatType::Fat16 && row.layout.sectorsPerCluster == 4) own = &row;
    ASSERT_NE(own, nullptr);
    std::string output;
    ASSERT_EQ(runProgram({"mdir", "-i", image->imagePath(), "::/"}, output), 0) << output;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(output, m, std::regex("([0-9 ]+) bytes free"))) << output;
    std::string digits = m[1];
    std::erase(digits, ' ');
    EXPECT_EQ(own->freeBytes, std::stoull(digits));

    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ASSERT_FALSE(QFontInfo(window->table()->font()).family().isEmpty());
    const std::string path = screenshotPath("plan.png");
    ASSERT_TRUE(window->grab().save(QString::fromStdString(path))) << path;
}

} // namespace
} // namespace kesp::test
