// How image volumes and their folders are named, both ways.
#include <gtest/gtest.h>

#include "images/image_address.h"

namespace kesp {
namespace {

TEST(ImageAddress, SplitsImagePartitionAndFolder) {
    struct Case {
        const char* text;
        const char* image; // empty: no address
        int partition;
        const char* inner;
    };
    for (const auto& c : {
             Case{"/data/card.img", "/data/card.img", -1, "/"},
             Case{"/data/card.img:/", "/data/card.img", -1, "/"},
             Case{"/data/card.img:2:/", "/data/card.img", 2, "/"},
             Case{"/data/card.img:/DCIM/100CANON/", "/data/card.img", -1, "/DCIM/100CANON/"},
             Case{"card.img:1:/DCIM", "card.img", 1, "/DCIM"},
             Case{"/data/card.img:2", "/data/card.img", 2, "/"},
             // A drive entry's label is not told from a name by its syntax: the whole is a name.
             Case{"/data/card.img:2 [MY CARD]", "/data/card.img:2 [MY CARD]", -1, "/"},
             Case{"/data/card [1]", "/data/card [1]", -1, "/"},
             Case{"/data/my [x].img:/DCIM", "/data/my [x].img", -1, "/DCIM"},
             Case{"/dev/sdb", "/dev/sdb", -1, "/"},
             // Partitions count from 1: what is not 1 to 999 belongs to the file's name.
             Case{"/data/card.img:0:/", "/data/card.img:0", -1, "/"},
             Case{"/data/card.img:-1:/", "/data/card.img:-1", -1, "/"},
             Case{"/data/card.img:1000", "/data/card.img:1000", -1, "/"},
             // A colon that splits nothing belongs to the file's name.
             Case{"/data/a:b.img", "/data/a:b.img", -1, "/"},
             Case{"/data/a:b.img:/x/", "/data/a:b.img", -1, "/x/"},
             Case{":/", "", 0, ""},
             Case{"", "", 0, ""},
         }) {
        SCOPED_TRACE(c.text);
        const auto address = parseImageAddress(c.text);
        ASSERT_EQ(address.has_value(), *c.image != 0);
        if (!address) continue;
        EXPECT_EQ(address->image, c.image);
        EXPECT_EQ(address->partition, c.partition);
        EXPECT_EQ(address->inner, c.inner);
    }
}

TEST(ImageAddress, InnerPathsMadePlain) {
    for (const auto& [given, plain] : std::initializer_list<std::pair<const char*, const char*>>{
             {"/", "/"},
             {"", "/"},
             {"/DCIM/", "/DCIM"},
             {"//DCIM//./100CANON/", "/DCIM/100CANON"},
             {"/DCIM/../MISC/x/..", "/MISC"},
             {"/../..", "/"},
             {"\\DCIM\\100CANON\\", "/DCIM/100CANON"}, // as a Windows user types it
             {"/Donn\xC3\xA9"
              "es/\xC3\xA9t\xC3\xA9/",
              "/Donn\xC3\xA9"
              "es/\xC3\xA9t\xC3\xA9"},
         })
        EXPECT_EQ(normalInnerPath(given), plain) << given;
}

TEST(ImageAddress, PathsAndDriveEntriesReadBack) {
    EXPECT_EQ(imagePathText("/d/c.img", 0), "/d/c.img:/");
    EXPECT_EQ(imagePathText("/d/c.img", -1, "/DCIM"), "/d/c.img:/DCIM");
    EXPECT_EQ(imagePathText("/d/c.img", 3, "/DCIM/"), "/d/c.img:3:/DCIM/");
    EXPECT_EQ(imageDriveEntry("/d/c.img", 0, ""), "/d/c.img");
    EXPECT_EQ(imageDriveEntry("/d/c.img", 5, "CARD"), "/d/c.img:5 [CARD]");
    // Knowing the image, its paths read back whatever its name holds.
    for (const std::string image : {"/d/c.img", "/d/my [x]:/c:2", "/d/card [1]"})
        for (const int partition : {-1, 3})
            for (const std::string inner : {"/", "/DCIM/100CANON/"}) {
                const auto address = addressIn(image, imagePathText(image, partition, inner));
                ASSERT_TRUE(address) << image;
                EXPECT_EQ(address->image, image);
                EXPECT_EQ(address->partition, partition);
                EXPECT_EQ(address->inner, inner);
            }
    EXPECT_EQ(addressIn("/d/c.img", "/d/c.img:12")->partition, 12);
    for (const char* other : {"/d/c.img2:/", "/d/c.img [CARD]", "/d/c.img:0:/", "/d/c.img:x:/",
                              "/d/c.img:/a:/b", "/d/c.im"})
        EXPECT_FALSE(addressIn("/d/c.img", other)) << other;
}

} // namespace
} // namespace kesp
