#include <gtest/gtest.h>

#include "window/companion_name.h"

namespace kesp {
namespace {

TEST(NomCompagnon, ReplacesTheExtensionOfTheFileNameOnlyOrAppends) {
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/kesp.txt", "/tmp/kespexcel.txt"},
        {"/srv/Listes/liste.csv", "/srv/Listes/listeexcel.txt"},
        // Cut at the last dot of the file name, never of a folder.
        {"/home/x/liste.2005.txt", "/home/x/liste.2005excel.txt"},
        {"/home/jean.dupont/bilan.txt", "/home/jean.dupont/bilanexcel.txt"},
        {"/home/x/.local/share/bilan.txt", "/home/x/.local/share/bilanexcel.txt"},
        // No extension: appended.
        {"/home/jean.dupont/bilan", "/home/jean.dupont/bilanexcel.txt"},
        {"bilan", "bilanexcel.txt"},
        {"/home/x/.profile", "/home/x/.profileexcel.txt"},
        {"/home/x/bilan.", "/home/x/bilanexcel.txt"},
    };
    for (const auto& [chosen, companion] : cases)
        EXPECT_EQ(NomCompagnon(chosen), companion) << chosen;
}

} // namespace
} // namespace kesp
