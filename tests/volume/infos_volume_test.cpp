// InfosVolume: validation, untouched outputs, NUL-cut texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/fake_volume_service.h"
#include "volume/gate.h"

namespace kesp {
namespace {

struct Outputs {
    std::string nom = "avant";
    std::uint32_t serie = 7;
    std::string type = "avant";
    std::uint32_t drapeaux = 9;
    std::uint32_t longueur = 11;
};

bool query(const std::string& designation, test::FakeVolumeService& volumes, Outputs& o) {
    return InfosVolume(designation, volumes, o.nom, o.serie, o.type, o.drapeaux, o.longueur);
}

bool askedForInformation(const test::FakeVolumeService& volumes) {
    return std::any_of(volumes.calls.begin(), volumes.calls.end(),
                       [](const std::string& c) { return c.rfind("volumeInformation", 0) == 0; });
}

TEST(InfosVolume, InvalidDesignationsAndEmptyRootsFailWithoutQueryingAndLeaveOutputsUntouched) {
    test::FakeVolumeService volumes;
    volumes.add("/mnt/f", "FAT");
    volumes.add("/mnt/vide", "FAT").probeFinds = false;
    for (const std::string designation : {"", "    ", "9:", "/nulle/part", "mnt/f", "/mnt/vide"}) {
        SCOPED_TRACE("'" + designation + "'");
        Outputs o;
        EXPECT_FALSE(query(designation, volumes, o));
        EXPECT_EQ(o.nom, "avant");
        EXPECT_EQ(o.type, "avant");
        EXPECT_EQ(o.serie, 7u);
        EXPECT_EQ(o.drapeaux, 9u);
        EXPECT_EQ(o.longueur, 11u);
        EXPECT_FALSE(askedForInformation(volumes));
    }
}

TEST(InfosVolume, AcceptsRootPathsMountPointsAndWholeDriveEntries) {
    test::FakeVolumeService volumes;
    auto& v = volumes.add("/mnt/cle", "FAT32", "DATA");
    v.info.serial = 0x1234ABCD;
    v.info.flags = 0x6;
    v.info.maxComponentLength = 255;
    for (const std::string designation : {"/mnt/cle", "/mnt/cle/", "  /mnt/cle [DATA]  "}) {
        SCOPED_TRACE(designation);
        Outputs o;
        volumes.calls.clear();
        ASSERT_TRUE(query(designation, volumes, o));
        EXPECT_EQ(o.nom, "DATA");
        EXPECT_EQ(o.type, "FAT32");
        EXPECT_EQ(o.serie, 0x1234ABCDu);
        EXPECT_EQ(o.drapeaux, 6u);
        EXPECT_EQ(o.longueur, 255u);
        EXPECT_EQ(volumes.calls.back(), "volumeInformation(/mnt/cle/)");
    }
}

TEST(InfosVolume, FailedQueryEmptiesTextsAndZeroesNumbers) {
    test::FakeVolumeService volumes;
    volumes.add("/mnt/f", "FAT", "LBL").queryFails = true;
    Outputs o;
    EXPECT_FALSE(query("/mnt/f", volumes, o));
    EXPECT_EQ(o.nom, "");
    EXPECT_EQ(o.type, "");
    EXPECT_EQ(o.serie, 0u);
    EXPECT_EQ(o.drapeaux, 0u);
    EXPECT_EQ(o.longueur, 0u);
}

TEST(InfosVolume, TextsAreCutAtTheirFirstNulAndFitTheBuffer) {
    test::FakeVolumeService volumes;
    auto& v = volumes.add("/mnt/f", std::string("FAT\0junk", 8));
    v.info.name = std::string("AB\0CD", 5);
    Outputs o;
    ASSERT_TRUE(query("/mnt/f", volumes, o));
    EXPECT_EQ(o.nom, "AB");
    EXPECT_EQ(o.type, "FAT");

    volumes.volumes[0].info.name = std::string(400, 'x');
    ASSERT_TRUE(query("/mnt/f", volumes, o));
    EXPECT_EQ(o.nom.size(), 259u);
}

} // namespace
} // namespace kesp
