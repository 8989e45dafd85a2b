// How image volumes and their folders are named, both ways.
#include <gtest/gtest.h>

#include "platform/image/image_address.h"

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
             Case{"/data/card.img:2 [MY CARD]", "/data/card.img", 2, "/"},
             Case{"/data/card.img [A [b]]", "/data/card.img", -1, "/"},
             Case{"/dev/sdb", "/dev/sdb", -1, "/"},
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

TEST(ImageAddress, PathsAndDriveEntriesReadBack) {
    EXPECT_EQ(imagePathText("/d/c.img", 0), "/d/c.img:/");
    EXPECT_EQ(imagePathText("/d/c.img", -1, "/DCIM"), "/d/c.img:/DCIM");
    EXPECT_EQ(imagePathText("/d/c.img", 3, "/DCIM/"), "/d/c.img:3:/DCIM/");
    EXPECT_EQ(imageDriveEntry("/d/c.img", 0, ""), "/d/c.img");
    EXPECT_EQ(imageDriveEntry("/d/c.img", 5, "CARD"), "/d/c.img:5 [CARD]");
    for (const std::string entry : {"/d/c.img:5 [CARD]", "/d/c.img [NO:1]"}) {
        const auto address = parseImageAddress(entry);
        ASSERT_TRUE(address);
        EXPECT_EQ(
            imageDriveEntry(address->image, address->partition,
                            entry.substr(entry.find('[') + 1, entry.size() - entry.find('[') - 2)),
            entry);
    }
}

} // namespace
} // namespace kesp
