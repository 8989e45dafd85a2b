// The file-system gate and CalculCluster against a fake volume table.
#include <gtest/gtest.h>

#include "support/fake_volume_service.h"
#include "support/recording_gate_view.h"
#include "volume/file_system_gate.h"
#include "volume/gate.h"

namespace kesp {
namespace {

using test::FakeVolumeService;
using test::RecordingGateView;

// exFAT passes beside FAT and FAT32, with its own table; "exfat" or "EXFAT" stay unknown.
TEST(FileSystemGate, FollowsTheTableWithWholeCaseSensitiveNames) {
    struct Row {
        std::string name;
        std::optional<std::string> line;
        bool ok;
        bool fat;
        std::optional<bool> fat32;
        std::optional<bool> exfat;
    };
    const auto none = std::nullopt;
    const Row rows[] = {
        {"NTFS", "Sans intérêt sur une partition de type NTFS", false, false, none, none},
        {"UDF", "Sans intérêt sur une partition de type UDF", false, false, none, none},
        {"CDFS", "Sans intérêt sur une partition de type CDFS", false, false, none, none},
        {"FAT", none, true, true, false, false},
        {"FAT32", none, true, true, true, false},
        {"exFAT", none, true, true, false, true},
        {"INCDFS", none, true, false, false, false},
        {"ntfs", "ntfs : type de partition inconnu", false, false, none, none},
        {"Fat", "Fat : type de partition inconnu", false, false, none, none},
        {"FAT ", "FAT  : type de partition inconnu", false, false, none, none},
        {"FAT12", "FAT12 : type de partition inconnu", false, false, none, none},
        {"exfat", "exfat : type de partition inconnu", false, false, none, none},
        {"EXFAT", "EXFAT : type de partition inconnu", false, false, none, none},
        {"ext4", "ext4 : type de partition inconnu", false, false, none, none},
        {"", " : type de partition inconnu", false, false, none, none},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("name '" + row.name + "'");
        const GateDecision d = fileSystemGate(row.name);
        EXPECT_EQ(d.list1Line, row.line);
        EXPECT_EQ(d.okEnabled, row.ok);
        EXPECT_EQ(d.partitionFat, row.fat);
        EXPECT_EQ(d.estFat32, row.fat32);
        EXPECT_EQ(d.estExfat, row.exfat);
    }
}

class CalculClusterTest : public ::testing::Test {
protected:
    FakeVolumeService volumes;
    RecordingGateView view{volumes};
    EtatScan etat;
};

TEST_F(CalculClusterTest, Fat32DriveWithEightSectorsOf512) {
    volumes.add("/mnt/cle", "FAT32", "DATA");
    view.drive = "/mnt/cle [DATA]";
    CalculCluster(etat, view, volumes);

    EXPECT_EQ(etat.TailleCluster, 4096);
    EXPECT_TRUE(etat.PartitionFat);
    EXPECT_TRUE(etat.EstFat32);
    EXPECT_TRUE(view.okEnabled);
    EXPECT_EQ(view.list1, std::vector<std::string>{"/mnt/cle/ DATA"});
    const std::vector<std::string> expected = {
        "clearList1",
        "setStatusPanel(1,)",
        "setStatusPanel(2,)",
        "setStatusPanel(3,)",
        "setStatusPanel(5,FAT32)",
        "setStatusPanel(4,)",
        "appendList1(/mnt/cle/ DATA)",
        "setStatusPanel(4,1 Cluster = 4096 octets)",
        "setOkEnabled(1)",
    };
    EXPECT_EQ(view.calls, expected);
}

TEST_F(CalculClusterTest, NtfsDriveIsRefusedWithItsLine) {
    volumes.add("/mnt/win", "NTFS");
    view.drive = "/mnt/win";
    etat.PartitionFat = true;
    CalculCluster(etat, view, volumes);

    const std::vector<std::string> list = {"/mnt/win/ ",
                                           "Sans intérêt sur une partition de type NTFS"};
    EXPECT_EQ(view.list1, list);
    EXPECT_FALSE(view.okEnabled);
    EXPECT_FALSE(etat.PartitionFat);
    EXPECT_EQ(view.panels[5], "NTFS");
}

TEST_F(CalculClusterTest, EmptyRootGivesTheUnknownLineAloneAndKeepsTheFileSystemPanelEmpty) {
    volumes.add("/mnt/vide", "FAT").probeFinds = false;
    view.drive = "/mnt/vide";
    CalculCluster(etat, view, volumes);

    const std::vector<std::string> list = {"/mnt/vide/ ", " : type de partition inconnu"};
    EXPECT_EQ(view.list1, list);
    EXPECT_EQ(view.panels[5], "");
    EXPECT_FALSE(view.okEnabled);
    // The probe failed, so the volume query was never asked.
    EXPECT_EQ(
        std::count(volumes.calls.begin(), volumes.calls.end(), "volumeInformation(/mnt/vide/)"), 0);
}

TEST_F(CalculClusterTest, SwitchingFromFat32ToRefusedDrivesKeepsEstFat32) {
    volumes.add("/mnt/f32", "FAT32");
    volumes.add("/mnt/win", "NTFS");
    volumes.add("/home", "ext4");
    view.drive = "/mnt/f32";
    CalculCluster(etat, view, volumes);
    ASSERT_TRUE(etat.EstFat32);

    view.drive = "/mnt/win";
    CalculCluster(etat, view, volumes);
    EXPECT_TRUE(etat.EstFat32);
    EXPECT_FALSE(etat.PartitionFat);

    view.drive = "/home";
    CalculCluster(etat, view, volumes);
    EXPECT_TRUE(etat.EstFat32);
    EXPECT_EQ(view.list1.back(), "ext4 : type de partition inconnu");

    volumes.add("/mnt/f16", "FAT");
    view.drive = "/mnt/f16";
    CalculCluster(etat, view, volumes);
    EXPECT_FALSE(etat.EstFat32);
    EXPECT_TRUE(etat.PartitionFat);
}

// What the volume query says of an exFAT card (GetVolumeInformation on Windows, the boot sector
// on Linux): scanned, its own table offered, which a refused drive after it does not take away.
TEST_F(CalculClusterTest, ExfatDriveIsScannedWithItsOwnTable) {
    auto& card = volumes.add("/media/sd", "exFAT", "CARTE");
    card.sectorsPerCluster = 256; // 128 KiB, as on every card over 32 GiB
    volumes.add("/mnt/win", "NTFS");
    volumes.add("/mnt/f32", "FAT32");
    view.drive = "/media/sd [CARTE]";
    etat.EstFat32 = true;
    CalculCluster(etat, view, volumes);
    EXPECT_EQ(view.panels[5], "exFAT");
    EXPECT_EQ(view.panels[4], "1 Cluster = 131072 octets");
    EXPECT_EQ(etat.TailleCluster, 131072);
    EXPECT_TRUE(view.okEnabled);
    EXPECT_TRUE(etat.PartitionFat);
    EXPECT_TRUE(etat.EstExfat);
    EXPECT_FALSE(etat.EstFat32);
    EXPECT_EQ(view.list1, std::vector<std::string>{"/media/sd/ CARTE"});

    view.drive = "/mnt/win";
    CalculCluster(etat, view, volumes);
    EXPECT_TRUE(etat.EstExfat);
    EXPECT_FALSE(etat.PartitionFat);

    view.drive = "/mnt/f32";
    CalculCluster(etat, view, volumes);
    EXPECT_FALSE(etat.EstExfat);
    EXPECT_TRUE(etat.EstFat32);
}

TEST_F(CalculClusterTest, IncdfsMayBeScannedButOffersNoOptimisation) {
    volumes.add("/mnt/cd", "INCDFS");
    view.drive = "/mnt/cd";
    etat.EstFat32 = true;
    CalculCluster(etat, view, volumes);
    EXPECT_TRUE(view.okEnabled);
    EXPECT_FALSE(etat.PartitionFat);
    EXPECT_FALSE(etat.EstFat32);
    EXPECT_EQ(view.list1.size(), 1u);
}

TEST_F(CalculClusterTest, ClusterSizeIsKeptWhenTheQueryFailsOverflowsOrGivesZero) {
    auto& fat = volumes.add("/mnt/f", "FAT");
    view.drive = "/mnt/f";
    etat.TailleCluster = 2048;

    fat.geometryFails = true;
    CalculCluster(etat, view, volumes);
    EXPECT_EQ(etat.TailleCluster, 2048);
    EXPECT_EQ(view.panels[4], "1 Cluster = 2048 octets");

    volumes.volumes[0].geometryFails = false;
    volumes.volumes[0].sectorsPerCluster = 0x10000;
    volumes.volumes[0].bytesPerSector = 0x8000; // 2^31: one past the 32-bit signed range
    CalculCluster(etat, view, volumes);
    EXPECT_EQ(etat.TailleCluster, 2048);

    volumes.volumes[0].sectorsPerCluster = 0;
    CalculCluster(etat, view, volumes);
    EXPECT_EQ(etat.TailleCluster, 2048);

    volumes.volumes[0].sectorsPerCluster = 0xFFFF;
    volumes.volumes[0].bytesPerSector = 0x8000; // just inside the range
    CalculCluster(etat, view, volumes);
    EXPECT_EQ(etat.TailleCluster, 0x7FFF8000);
    EXPECT_EQ(view.panels[4], "1 Cluster = 2147450880 octets");
}

TEST_F(CalculClusterTest, DriveThatLeftTheTableIsQueriedByItsTextAndRefused) {
    view.drive = "/media/usb [CLE]";
    etat.TailleCluster = 512;
    CalculCluster(etat, view, volumes);
    EXPECT_EQ(view.list1.back(), " : type de partition inconnu");
    EXPECT_FALSE(view.okEnabled);
    EXPECT_EQ(etat.TailleCluster, 512);
}

} // namespace
} // namespace kesp
