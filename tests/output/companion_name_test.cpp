#include <gtest/gtest.h>

#include "output/companion_name.h"

namespace kesp {
namespace {

TEST(NomCompagnon, ReplacesTheExtensionOfTheFileName) {
    EXPECT_EQ(NomCompagnon("/tmp/kesp.txt"), "/tmp/kespexcel.txt");
    EXPECT_EQ(NomCompagnon("/srv/Listes/liste.csv"), "/srv/Listes/listeexcel.txt");
    EXPECT_EQ(NomCompagnon("/home/x/bilan.txt"), "/home/x/bilanexcel.txt");
}

TEST(NomCompagnon, CutsAtTheLastDotOfTheFileNameOnly) {
    EXPECT_EQ(NomCompagnon("/home/x/liste.2005.txt"), "/home/x/liste.2005excel.txt");
    EXPECT_EQ(NomCompagnon("/home/jean.dupont/bilan.txt"), "/home/jean.dupont/bilanexcel.txt");
    EXPECT_EQ(NomCompagnon("/home/x/.local/share/bilan.txt"),
              "/home/x/.local/share/bilanexcel.txt");
}

TEST(NomCompagnon, AppendsWhenTheFileNameHasNoExtension) {
    EXPECT_EQ(NomCompagnon("/home/jean.dupont/bilan"), "/home/jean.dupont/bilanexcel.txt");
    EXPECT_EQ(NomCompagnon("bilan"), "bilanexcel.txt");
    EXPECT_EQ(NomCompagnon("/home/x/.profile"), "/home/x/.profileexcel.txt");
    EXPECT_EQ(NomCompagnon("/home/x/bilan."), "/home/x/bilanexcel.txt");
}

} // namespace
} // namespace kesp
