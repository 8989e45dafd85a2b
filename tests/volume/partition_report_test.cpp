// The partition information report: its sixteen lines, a volume's remark, and the box.
#include <gtest/gtest.h>

#include <sstream>

#include "support/fake_volume_service.h"
#include "support/recording_gate_view.h"
#include "volume/gate.h"
#include "volume/partition_report.h"

namespace kesp {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line, '\r'))
        out.push_back(line);
    return out;
}

TEST(SerialText, UpperCaseHexWithoutLeadingZeros) {
    EXPECT_EQ(serialText(0x0ABCDEF1), "ABCDEF1");
    EXPECT_EQ(serialText(0xFFFFFFFF), "FFFFFFFF");
    EXPECT_EQ(serialText(0x1234ABCD), "1234ABCD");
    EXPECT_EQ(serialText(0x00000010), "10");
    EXPECT_EQ(serialText(0), "0");
}

TEST(PartitionReportText, SixteenCrSeparatedLines) {
    const std::string text = partitionReportText("KESPF32", 0x0ABCDEF1, "FAT32",
                                                 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x8000, 255);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_NE(text.back(), '\r');
    const std::vector<std::string> expected = {
        "Nom du Volume = KESPF32",
        "Numéro de série = ABCDEF1",
        "Type de partition = FAT32",
        "Longueur maximum de nom de fichier = 255",
        "Casse sauvegardée = Vrai",
        "Support de la recherche sensible à la casse = Vrai",
        "Support du Unicode = Vrai",
        "Gestion des ACLs = Vrai",
        "Support de la compression = Vrai",
        "Le disque est compressé = Vrai",
        "Support du Named Streams = Faux",
        "Support du Encrypted File System (EFS) = Faux",
        "Support du Object Identifiers = Faux",
        "Support du Reparse Points = Faux",
        "Support du Sparse Files = Faux",
        "Support des Quotas = Faux",
    };
    EXPECT_EQ(lines(text), expected);
}

TEST(PartitionReportText, EachFlagLineTestsItsOwnBit) {
    // Line index (from 0) and the bit it shows.
    const std::pair<int, std::uint32_t> bits[] = {
        {4, 0x2},      {5, 0x1},      {6, 0x4},      {7, 0x8},   {8, 0x10},  {9, 0x8000},
        {10, 0x40000}, {11, 0x20000}, {12, 0x10000}, {13, 0x80}, {14, 0x40}, {15, 0x20}};
    for (const auto& [line, bit] : bits) {
        SCOPED_TRACE(line);
        const auto all = lines(partitionReportText("", 0, "", bit, 0));
        ASSERT_EQ(all.size(), 16u);
        for (int i = 4; i < 16; ++i)
            EXPECT_EQ(all[i].ends_with("Vrai"), i == line) << all[i];
    }
    const auto none = lines(partitionReportText("", 0xFFFFFFFF, "", ~0u & ~0x7FFFFu, 0));
    EXPECT_EQ(none[0], "Nom du Volume = ");
    EXPECT_EQ(none[1], "Numéro de série = FFFFFFFF");
    for (int i = 4; i < 16; ++i)
        EXPECT_TRUE(none[i].ends_with("Faux")) << none[i];
}

TEST(AfficherInfosPartition, ShowsTheReportTitledWithTheDesignationAsReceived) {
    test::FakeVolumeService volumes;
    auto& v = volumes.add("/mnt/cle", "FAT32", "CLE");
    v.info.serial = 0xCAFE0012;
    v.info.flags = 0x6;
    v.info.maxComponentLength = 255;
    test::RecordingGateView view(volumes);
    DriveState drives;

    AfficherInfosPartition(" /mnt/cle [CLE]", drives, view, volumes);

    ASSERT_EQ(view.boxes, 1);
    EXPECT_EQ(drives.TexteInfosPartition, partitionReportText("CLE", 0xCAFE0012, "FAT32", 6, 255));
    EXPECT_EQ(view.calls.back(), "messageBox(" + drives.TexteInfosPartition +
                                     "|Informations sur la partition  /mnt/cle [CLE]|0)");
}

TEST(AfficherInfosPartition, AVolumeRemarkIsOneMoreLine) {
    test::FakeVolumeService volumes;
    auto& v = volumes.add("/mnt/petite", "FAT32", "PETITE");
    v.info.remark = "FAT32 de 10216 clusters (moins de 65 525) : certains pilotes refusent ce "
                    "volume";
    test::RecordingGateView view(volumes);
    DriveState drives;

    AfficherInfosPartition("/mnt/petite", drives, view, volumes);

    const auto shown = lines(drives.TexteInfosPartition);
    ASSERT_EQ(shown.size(), 17u);
    EXPECT_EQ(shown[2], "Type de partition = FAT32");
    EXPECT_EQ(shown[16], "Remarque = " + v.info.remark);
}

TEST(AfficherInfosPartition, NoBoxAndReportKeptWhenTheQueryFails) {
    test::FakeVolumeService volumes;
    volumes.add("/mnt/lecteur", "FAT").readiness = kErrorDeviceUnavailable;
    volumes.add("/mnt/casse", "FAT").queryFails = true;
    test::RecordingGateView view(volumes);
    DriveState drives;
    drives.TexteInfosPartition = "précédent";

    for (const std::string designation : {"/mnt/lecteur", "/mnt/casse", "", "/absent"})
        AfficherInfosPartition(designation, drives, view, volumes);

    EXPECT_EQ(view.boxes, 0);
    EXPECT_EQ(drives.TexteInfosPartition, "précédent");
}

} // namespace
} // namespace kesp
