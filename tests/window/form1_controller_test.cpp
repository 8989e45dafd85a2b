// The window logic's calls to its window, in order: what a toolkit's window must expect.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "os/posix/lp_printer.h"
#include "support/fake_desktop_services.h"
#include "support/fake_ticks.h"
#include "support/fake_volume_service.h"
#include "support/memory_output_files.h"
#include "support/memory_tree.h"
#include "support/temp_dir.h"
#include "window/recording_window_view.h"

namespace kesp::test {
namespace {

// Disk images that are host folders: opening "x.img" adds a FAT16 volume at "x.img.d/".
class FolderImages : public ImageVolumes {
public:
    explicit FolderImages(FakeVolumeService& volumes) : volumes_(volumes) {}
    OpenedImage openImage(const std::string& path) override {
        const std::string root = path + ".d/";
        std::filesystem::create_directories(root);
        return {{FakeVolumeService::entryOf(volumes_.add(root, "FAT16"))}, {}};
    }
    bool holds(const std::string&) override { return false; }
    std::string problemWith(const std::string&) override { return {}; }
    bool partitions(const std::string&, std::vector<ImagePartition>&, std::string&) override {
        return false;
    }
    // Folders have no chains to follow: never held, never asked.
    std::string gatherBalance(const std::string&) override { return "pas une image"; }
    std::optional<fat::BalanceFacts> balance(const std::string&) override { return std::nullopt; }

private:
    FakeVolumeService& volumes_;
};

struct Rig {
    TempDir base;
    std::string fatRoot = base.folder("f") + "/"; // a real folder: Dir1 shows host folders
    FakeVolumeService volumes;
    MemoryTree tree;
    FakeTicks ticks;
    MemoryOutputFiles files;
    testing::RecordingBoxes boxes;
    testing::FakeEnvironment environment;
    testing::FakeDialogs dialogs;
    testing::FakeLauncher launcher;
    LpPrinter printer{launcher};
    testing::RecordingPdfWriter pdf;
    std::vector<int> exits;
    FolderImages images{volumes};
    RecordingWindowView view;
    Form1Controller controller{
        Form1Services{volumes, tree, ticks, files, boxes, environment, dialogs, launcher, printer,
                      NumberChars{}, [this](int status) { exits.push_back(status); }, &images},
        view, &pdf};

    Rig() {
        volumes.add("/", "ext4");
        volumes.add(fatRoot, "FAT32");
        environment.variables["temp"] = base.folder("temp");
        view.controller = &controller;
    }
};

// Moves the process into `folder` for the scope: the drive Drive1 starts on.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : back_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(back_); }

private:
    std::filesystem::path back_;
};

// The calls that are the window's own: the gate's lines and panels left out, its verdict on OK
// kept to show where each cluster-size computation ran.
std::vector<std::string> windowCalls(const std::vector<std::string>& calls) {
    std::vector<std::string> out;
    for (const std::string& call : calls)
        if (call.rfind("appendList1", 0) != 0 && call.rfind("clearList1", 0) != 0 &&
            call.rfind("setStatusPanel", 0) != 0)
            out.push_back(call);
    return out;
}

TEST(Form1Controller, StartUpListsTheDrivesQuietlyThenMovesToTheStartUpDriveAsAChange) {
    const std::vector<std::string> commands = {"setToolButtonEnabled(1,0)",
                                               "setMenuEnabled(Enregistrer,0)",
                                               "setToolButtonEnabled(2,0)",
                                               "setMenuEnabled(Imprimer,0)",
                                               "setToolButtonEnabled(4,0)",
                                               "setMenuEnabled(optimiser,0)",
                                               "setPlanEnabled(0)",
                                               "setBalanceEnabled(0)",
                                               "setTitle(Kesp 2005 Version 2.0.5)",
                                               "setRefreshLabel(3 secondes)"};
    struct Case {
        bool startInFat; // the current folder on the FAT volume, else on "/"
        std::vector<std::string> drives;
    };
    const Case cases[] = {
        // Drive1 moves from the FAT volume to "/": the drive change runs inside setDriveText,
        // then start-up points Dir1 at "/" and computes the cluster size again.
        {true,
         {"setDriveEntries(2,1)", "setDriveText(/)", "showFolders(/,/)", "showFolders(/,/)",
          "setOkEnabled(0)", "showFolders(/,/)", "setOkEnabled(0)"}},
        // Already on "/": no change to report.
        {false, {"setDriveEntries(2,0)", "setDriveText(/)", "showFolders(/,/)", "setOkEnabled(0)"}},
    };
    for (const Case& c : cases) {
        Rig rig;
        {
            const InFolder in(c.startInFat ? rig.fatRoot : "/");
            rig.controller.Form_Load();
        }
        std::vector<std::string> expected = commands;
        expected.insert(expected.end(), c.drives.begin(), c.drives.end());
        EXPECT_EQ(windowCalls(rig.view.calls), expected) << "in FAT: " << c.startInFat;
        EXPECT_EQ(rig.controller.etat().PeriodeRafraichissement, 3000);
    }
}

TEST(Form1Controller, ARunIsFramedByThePlanAndFailedFilesDisableSaveAndPrintLast) {
    struct Case {
        bool filesFail;
        std::vector<std::string> last;
    };
    const Case cases[] = {
        {false,
         {"setBusy(0)", "setOkCaption(&Démarrer)", "setPlanEnabled(1)", "setBalanceEnabled(0)"}},
        {true,
         {"setOkCaption(&Démarrer)", "showError", "setBalanceEnabled(0)",
          "setToolButtonEnabled(1,0)", "setMenuEnabled(Enregistrer,0)", "setToolButtonEnabled(2,0)",
          "setMenuEnabled(Imprimer,0)"}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.tree.file(rig.fatRoot, "A.TXT", 10);
        rig.controller.Form_Load();
        if (c.filesFail) rig.files.refuseCreate.insert(rig.controller.etat().CheminRes1);
        rig.view.setDriveText(FakeVolumeService::entryOf(*rig.volumes.find(rig.fatRoot)));
        rig.view.calls.clear();
        rig.controller.OK_Click();

        std::vector<std::string> calls = rig.view.calls;
        for (std::string& call : calls)
            if (call.rfind("showError", 0) == 0) call = "showError";
        ASSERT_GE(calls.size(), c.last.size() + 5);
        EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 5),
                  (std::vector<std::string>{"setPlanEnabled(0)", "closePlan",
                                            "setBalanceEnabled(0)", "closeBalance", "closeOpti"}));
        EXPECT_EQ(
            std::vector<std::string>(calls.end() - static_cast<long>(c.last.size()), calls.end()),
            c.last)
            << "files fail: " << c.filesFail;
    }
}

TEST(Form1Controller, TheBalanceStaysGreyedWithItsReasonOnAVolumeNotReadDirectly) {
    Rig rig;
    rig.tree.file(rig.fatRoot, "A.TXT", 10);
    rig.controller.Form_Load();
    EXPECT_EQ(rig.view.balanceTip, plan::kBalanceNeedsScan);
    const std::string drive = FakeVolumeService::entryOf(*rig.volumes.find(rig.fatRoot));
    rig.view.setDriveText(drive);
    rig.controller.OK_Click();
    EXPECT_EQ(rig.view.calls.back(), "setBalanceEnabled(0)");
    EXPECT_EQ(rig.view.balanceTip, "Bilan du volume impossible : " + drive +
                                       " n'est pas lu directement ; ouvrez son image disque ou "
                                       "son périphérique par « Fichier > Ouvrir une image "
                                       "disque… ».");
    rig.controller.run(form1::Command::BilanVolume);
    EXPECT_FALSE(rig.view.balanceShown);
}

TEST(Form1Controller, DialogsStartInTheDocumentsFolderThenWhereTheUserLastWent) {
    Rig rig;
    rig.controller.Form_Load();
    const std::string documents = rig.environment.documents;

    const std::string image = rig.base.folder("cartes") + "/carte.img";
    rig.dialogs.openAnswers = {image, std::nullopt};
    rig.controller.OuvrirImage_Click();
    rig.controller.OuvrirImage_Click();
    ASSERT_EQ(rig.dialogs.openRequests.size(), 2u);
    EXPECT_EQ(rig.dialogs.openRequests[0].initialFolder, documents);
    EXPECT_EQ(rig.dialogs.openRequests[1].initialFolder, rig.base / "cartes");

    // The run's files, as a scan leaves them.
    for (const std::string& path :
         {rig.controller.etat().CheminRes1, rig.controller.etat().CheminRes2})
        std::ofstream(path, std::ios::binary) << "lignes\r\n";
    const std::string chosen = rig.base.folder("listes") + "/bilan.txt";
    rig.dialogs.saveAnswers = {chosen, std::nullopt};
    rig.controller.Enregistrer_Click();
    rig.controller.Enregistrer_Click();
    ASSERT_EQ(rig.dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(rig.dialogs.saveRequests[0].initialFolder, documents);
    EXPECT_EQ(rig.dialogs.saveRequests[0].fileName, documents + "/kesp.txt");
    EXPECT_EQ(rig.dialogs.saveRequests[1].initialFolder, rig.base / "listes");
    EXPECT_EQ(rig.dialogs.saveRequests[1].fileName, rig.base / "listes/kesp.txt");
    EXPECT_EQ(readFile(rig.base / "listes/bilanexcel.txt"), "lignes\r\n");
    EXPECT_EQ(rig.view.list3, (std::vector<std::string>{"Liste enregistrée : " + chosen + " et " +
                                                        rig.base / "listes/bilanexcel.txt"}))
        << "said once: the second save was cancelled";
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST(Form1Controller, ARefusedVolumeSaysWhatToChooseAndANewImageClearsTheLastTotals) {
    Rig rig;
    rig.tree.file(rig.fatRoot, "A.TXT", 10);
    {
        const InFolder in("/");
        rig.controller.Form_Load();
    }
    EXPECT_EQ(rig.view.list1,
              (std::vector<std::string>{"/ ", "ext4 : type de partition inconnu",
                                        "Choisissez un volume FAT ou exFAT, ou ouvrez une "
                                        "image disque (Ctrl+O)."}));
    rig.view.setDriveText(FakeVolumeService::entryOf(*rig.volumes.find(rig.fatRoot)));
    EXPECT_EQ(rig.view.list1.size(), 1u) << "a FAT volume needs no advice";
    rig.controller.OK_Click();
    ASSERT_FALSE(rig.view.list3.empty());

    rig.dialogs.openAnswers = {rig.base / "autre.img"};
    rig.controller.OuvrirImage_Click();
    EXPECT_EQ(rig.view.driveText(),
              FakeVolumeService::entryOf(*rig.volumes.find(rig.base / "autre.img.d/")));
    EXPECT_TRUE(rig.view.list3.empty()) << "the totals were the other volume's";
}

} // namespace
} // namespace kesp::test
