// The walk: slack arithmetic, sub-folder order, SousRep, unreadable folders, detail lines.
#include "run_fixture.h"

namespace kesp::test {
namespace {

using Listing = RunFixture;

struct FileCase {
    std::uint64_t size;
    std::uint64_t real;
    std::uint64_t whatIf[5];
};

TEST_F(Listing, SlackOfOneFile) {
    const FileCase cases[] = {
        {0, 0, {0, 0, 0, 0, 0}},
        {1, 4096, {2048, 4096, 8192, 16384, 32768}},
        {4095, 4096, {4096, 4096, 8192, 16384, 32768}},
        {4096, 4096, {4096, 4096, 8192, 16384, 32768}},
        {4097, 8192, {6144, 8192, 8192, 16384, 32768}},
        {8192, 8192, {8192, 8192, 8192, 16384, 32768}},
        // Over 4 GiB: the true size, not a 32-bit one.
        {5ull << 30, 5ull << 30, {5ull << 30, 5ull << 30, 5ull << 30, 5ull << 30, 5ull << 30}},
        {(5ull << 30) + 1,
         (5ull << 30) + 4096,
         {(5ull << 30) + 2048, (5ull << 30) + 4096, (5ull << 30) + 8192, (5ull << 30) + 16384,
          (5ull << 30) + 32768}},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.size);
        tree = MemoryTree{};
        tree.file(kRoot, "f", c.size);
        press();
        EXPECT_EQ(etat.NbFichiers, 1u);
        EXPECT_EQ(etat.TotalUtile, c.size);
        EXPECT_EQ(etat.TotalReel, c.real);
        EXPECT_EQ(etat.PerteCumulee, c.real - c.size);
        const std::uint64_t totals[5] = {etat.TotalReelDe(2048), etat.TotalReelDe(4096),
                                         etat.TotalReelDe(8192), etat.TotalReelDe(16384),
                                         etat.TotalReelDe(32768)};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(totals[i], c.whatIf[i]) << i;
        EXPECT_EQ(table()[3], std::string(kRoot) + "\t" + std::to_string(c.real - c.size) + "\t" +
                                  std::to_string(c.size));
    }
}

TEST_F(Listing, FolderLossBeyondThirtyTwoBitsAndTenDigits) {
    etat.TailleCluster = 1 << 30;
    for (int i = 0; i < 10; ++i)
        tree.file(kRoot, "f" + std::to_string(i), 1);
    press();
    // 10 x (2^30 - 1) = 10,737,418,230: past the signed 32-bit limit, eleven digits.
    EXPECT_EQ(view.list1[3], "     Espace perdu : 10 737 418 230 octets");
    EXPECT_EQ(view.list1[2], " Taille réelle    : 10 737 418 240 octets");
    EXPECT_EQ(table()[3], std::string(kRoot) + "\t10737418230\t10");
    EXPECT_EQ(view.list3[4], "     Espace perdu     : 10,737,418,230 octets");
    EXPECT_EQ(view.panels[3], "10240. Mo perdus");
}

TEST_F(Listing, SubFoldersClearStillCountsThem) {
    const std::string a = tree.folder(kRoot, "a");
    tree.file(a, "inside", 100);
    tree.file(kRoot, "f", 10);
    view.sousRep = CheckState::Clear;
    press();
    EXPECT_EQ(view.list1, block(kRoot, "           10", "        8 192", "        8 182"));
    EXPECT_EQ(etat.NbRepertoires, 1u);
    EXPECT_EQ(etat.NbFichiers, 1u);
    EXPECT_EQ(etat.TotalReelDe(2048), 2048u + 2048u);
    EXPECT_EQ(tree.opened, std::vector<std::string>{kRoot});
    EXPECT_TRUE(view.callsStartingWith("setTitle(Kesp - ").empty());
}

TEST_F(Listing, GreySubFoldersIsLikeTicked) {
    const std::string a = tree.folder(kRoot, "a");
    view.sousRep = CheckState::Grey;
    press();
    // The empty sub-folder is entered and gives a block of zeros.
    EXPECT_EQ(view.list1, concat({block(kRoot, "            0", "        4 096", "        4 096"),
                                  zeroBlock(a)}));
}

TEST_F(Listing, DepthFirstPreOrderInEnumerationOrder) {
    const std::string z = tree.folder(kRoot, "z");
    const std::string a = tree.folder(kRoot, "a");
    const std::string z1 = tree.folder(z, "z1");
    tree.file(z1, "deep", 1);
    press();
    EXPECT_EQ(tree.opened, (std::vector<std::string>{kRoot, z, z1, a}));
    EXPECT_EQ(view.callsStartingWith("setTitle"),
              (std::vector<std::string>{
                  "setTitle(Kesp - " + std::string(kRoot) + "z" + kSep + ")",
                  "setTitle(Kesp - " + std::string(kRoot) + "z" + kSep + "z1" + kSep + ")",
                  "setTitle(Kesp - " + std::string(kRoot) + "a" + kSep + ")", "setTitle(Kesp)"}));
    // Each folder's figures are its own: z holds only z1's cluster.
    EXPECT_EQ(table()[4], z + "\t4096\t0");
    EXPECT_EQ(table()[5], z1 + "\t4095\t1");
}

TEST_F(Listing, DriveRootAddsNoClusterForItself) {
    view.folder = kDriveRoot;
    tree.file(kDriveRoot, "f", 1);
    const std::string sub = tree.folder(kDriveRoot, "sub");
    press();
    EXPECT_EQ(tree.opened, (std::vector<std::string>{kDriveRoot, sub}));
    EXPECT_EQ(report()[1], std::string("liste de ") + kDriveRoot);
    EXPECT_EQ(view.list1[0], kDriveRoot);
    EXPECT_EQ(etat.TotalReel, 8192u);
}

TEST_F(Listing, UnreadableFolderGivesAZeroBlockAndTheRunGoesOn) {
    const std::string bad = tree.folder(kRoot, "bad");
    tree.folder(bad, "never");
    const std::string good = tree.folder(kRoot, "good");
    tree.file(good, "g", 5);
    tree.unreadable(bad);
    press();
    EXPECT_EQ(view.list1, concat({block(kRoot, "            0", "        8 192", "        8 192"),
                                  zeroBlock(bad),
                                  block(good, "            5", "        4 096", "        4 091")}));
    EXPECT_EQ(tree.opened, (std::vector<std::string>{kRoot, bad, good}));
    ASSERT_EQ(view.list3.size(), 6u);
    EXPECT_EQ(view.list3.back(), "1 dossier(s) illisible(s)"); // after the totals
}

TEST_F(Listing, NamesPassAsBytes) {
    const std::string odd = "\xE9t\xE9 \x01\x7F";
    const std::string sub = tree.folder(kRoot, odd);
    tree.file(sub, ".hidden \xFF", 1);
    press();
    EXPECT_EQ(view.list1[4], std::string(kRoot) + odd + kSep);
    EXPECT_EQ(report()[8], std::string(kRoot) + odd + kSep);
    // Only the table escapes, where a control byte would break a row; a text escaped has its
    // "\" doubled, Windows separators included.
    const std::string sep = kSeparator == '\\' ? "\\\\" : "/";
    std::string root;
    for (const char c : std::string(kRoot))
        root += c == kSeparator ? sep : std::string(1, c);
    EXPECT_EQ(table()[4], root + "\xE9t\xE9 \\x01\\x7F" + sep + "\t4095\t1");
}

TEST_F(Listing, DetailLinesGoToTheReportOnly) {
    etat.ListeDetaillee = true;
    tree.file(kRoot, "short", 1);
    tree.file(kRoot, "a name longer than 15", 1234567890);
    const std::string empty = tree.folder(kRoot, "empty");
    press();
    const std::vector<std::string> expected = concat({
        {"/mnt/f 1,907 Mo", std::string("liste de ") + kFolder, " ", kRoot,
         "    Nom du fichier      Octets perdus  Taille utile du fichier",
         "    short" + std::string(10 + 6, ' ') + "4 095" + std::string(19 + 10, ' ') + "1",
         "    a name longer than 15" + std::string(6, ' ') + "3 374" + std::string(19, ' ') +
             "1234 567 890"},
        std::vector<std::string>(view.list1.begin() + 1, view.list1.begin() + 4),
        {" "},
        std::vector<std::string>(view.list1.begin() + 4, view.list1.end()),
    });
    EXPECT_EQ(std::vector<std::string>(report().begin(), report().end() - 4), expected);
    EXPECT_EQ(view.list1.size(), 8u);
    EXPECT_EQ(table().size(), 7u);
}

TEST_F(Listing, SubFolderNamesBeyondManySteps) {
    // A folder of 100,000 sub-folders and one of 100,000 files; recorded lists are off.
    view.recordLists = false;
    tree.recordOpened = false;
    const std::string many = tree.folder(kRoot, "many");
    for (int i = 0; i < 100000; ++i)
        tree.folder(many, std::to_string(i));
    const std::string files = tree.folder(kRoot, "files");
    for (int i = 0; i < 100000; ++i)
        tree.file(files, std::to_string(i), 1);
    press();
    EXPECT_EQ(etat.NbRepertoires, 100002u);
    EXPECT_EQ(etat.NbFichiers, 100000u);
    EXPECT_EQ(table().size(), 3u + 100003u + 2u);
    EXPECT_EQ(table()[5], many + "0" + kSep + "\t0\t0");
}

TEST_F(Listing, FifteenHundredLevels) {
    view.recordLists = false;
    tree.recordOpened = false;
    std::string path = kRoot;
    for (int level = 0; level < 1500; ++level) {
        tree.file(path, "f", 1);
        path = tree.folder(path, "d");
    }
    press();
    EXPECT_EQ(etat.NbRepertoires, 1500u);
    EXPECT_EQ(etat.NbFichiers, 1500u);
    EXPECT_EQ(table().size(), 3u + 1501u + 2u);
    EXPECT_EQ(table()[3 + 1500], path + "\t0\t0");
}

} // namespace
} // namespace kesp::test
