// Drive1_Change and its recovery from a drive without medium, with a recording window whose
// Drive1 runs the nested drive change as Form1's does.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/fake_volume_service.h"
#include "support/recording_gate_view.h"
#include "volume/gate.h"

namespace kesp {
namespace {

class DriveChangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        volumes.add("/", "ext4");
        auto& cle = volumes.add("/mnt/cle", "FAT32", "CLE");
        cle.sectorsPerCluster = 8;
        auto& lecteur = volumes.add("/mnt/lecteur", "FAT");
        lecteur.readiness = kErrorDeviceUnavailable;
        view.onDriveChange = [this] {
            results.push_back(Drive1_Change(etat, drives, view, volumes));
        };
    }
    // The user picks an entry in Drive1.
    void choose(const std::string& entry) { view.setDriveText(entry); }
    long count(const std::string& call) const {
        return std::count(view.calls.begin(), view.calls.end(), call);
    }

    test::FakeVolumeService volumes;
    test::RecordingGateView view{volumes};
    EtatScan etat;
    DriveState drives;
    std::vector<int> results;
};

TEST_F(DriveChangeTest, ChangeMovesDir1ToTheRootComputesTheClusterAndRemembersTheDrive) {
    choose("/mnt/cle [CLE]");
    EXPECT_EQ(results, std::vector<int>{0});
    EXPECT_EQ(view.folder, "/mnt/cle/");
    EXPECT_EQ(drives.LecteurPrecedent, "/mnt/cle [CLE]");
    EXPECT_EQ(etat.TailleCluster, 4096);
    EXPECT_EQ(view.list1, std::vector<std::string>{"/mnt/cle/ CLE"});
    const std::vector<std::string> head(view.calls.begin(), view.calls.begin() + 4);
    const std::vector<std::string> expected = {"setDriveText(/mnt/cle [CLE])",
                                               "setFolderPath(/mnt/cle [CLE])",
                                               "setFolderPath(/mnt/cle/)", "clearList1"};
    EXPECT_EQ(head, expected);
}

TEST_F(DriveChangeTest, DriveWithoutMediumBeepsShowsTheBoxOnceAndReturnsToThePreviousDrive) {
    choose("/mnt/cle [CLE]");
    view.calls.clear();
    view.list1.clear();
    etat.TailleCluster = 0;

    choose("/mnt/lecteur");

    EXPECT_EQ(view.boxes, 1);
    EXPECT_EQ(count("beep"), 1);
    EXPECT_EQ(count("messageBox(Lecteur vide !|Lecteur non prêt|" +
                    std::to_string(static_cast<int>(MessageIcon::Critical)) + ")"),
              1);
    // The beep comes before the box, the box before the return to the previous drive.
    const auto at = [&](const std::string& call) {
        return std::find(view.calls.begin(), view.calls.end(), call) - view.calls.begin();
    };
    EXPECT_LT(at("beep"), at("setDriveText(/mnt/cle [CLE])"));
    EXPECT_LT(at("messageBox(Lecteur vide !|Lecteur non prêt|1)"),
              at("setDriveText(/mnt/cle [CLE])"));

    EXPECT_EQ(view.drive, "/mnt/cle [CLE]");
    EXPECT_EQ(view.folder, "/mnt/cle/");
    EXPECT_EQ(drives.LecteurPrecedent, "/mnt/cle [CLE]");
    EXPECT_EQ(etat.TailleCluster, 4096);
    EXPECT_EQ(view.panels[5], "FAT32");
    EXPECT_EQ(view.list1, std::vector<std::string>{"/mnt/cle/ CLE"});
    EXPECT_TRUE(view.okEnabled);
    // Nested run first (0), then the interrupted one resumes and ends well (0).
    EXPECT_EQ(results, (std::vector<int>{0, 0, 0}));
    // The interrupted run resumed after the failed step: it never pointed Dir1 at the empty
    // drive's root, and CalculCluster ran once in the nested run and once after the resume.
    EXPECT_EQ(count("setFolderPath(/mnt/lecteur/)"), 0);
    EXPECT_EQ(count("setFolderPath(/mnt/lecteur)"), 1);
    EXPECT_EQ(count("clearList1"), 2);
    EXPECT_EQ(count("setFolderPath(/mnt/cle/)"), 2);
}

TEST_F(DriveChangeTest, FirstDriveWithoutMediumStaysOnTheStartUpDrive) {
    drives.LecteurDemarrage = "/";
    view.drive = "/";
    ASSERT_TRUE(drives.LecteurPrecedent.empty());

    choose("/mnt/lecteur");

    EXPECT_EQ(view.boxes, 1);
    EXPECT_EQ(view.drive, "/");
    EXPECT_EQ(view.folder, "/");
    EXPECT_EQ(drives.LecteurPrecedent, "/");
    EXPECT_EQ(view.list1.back(), "ext4 : type de partition inconnu");
}

TEST_F(DriveChangeTest, NoDriveToReturnToReportsOnceAndRefusesTheEmptyDrive) {
    view.drive = "";
    choose("/mnt/lecteur");

    EXPECT_EQ(view.boxes, 1);
    EXPECT_EQ(count("beep"), 1);
    EXPECT_EQ(view.drive, "/mnt/lecteur");
    EXPECT_EQ(view.list1.back(), " : type de partition inconnu");
    EXPECT_FALSE(view.okEnabled);
    EXPECT_EQ(results, std::vector<int>{0});
}

TEST_F(DriveChangeTest, OtherFailuresArePassedOnAndEndTheHandling) {
    choose("/mnt/cle [CLE]");
    volumes.volumes[1].readiness = 75; // access refused
    view.calls.clear();
    view.drive = "/";
    choose("/mnt/cle [CLE]");
    EXPECT_EQ(results.back(), 75);
    EXPECT_EQ(view.boxes, 0);
    EXPECT_EQ(count("clearList1"), 0);
}

} // namespace
} // namespace kesp
