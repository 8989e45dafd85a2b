// Dir1's folders in the user's collation, on both of its models: a disk image read through the
// scan's enumeration, and the host's folders.
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "gui/qt/folder_tree.h"
#include "gui/qt/volume_folder_model.h"
#include "support/memory_tree.h"
#include "support/temp_dir.h"

namespace kesp::test {
namespace {

// In the order a FAT directory or readdir may hand them over.
const std::vector<std::string> kNames = {"Zèbre", "jeux",     "Photos 10", "Noël 2004",
                                         "été",   "Photos 9", "Ete",       "album"};
// Accents and case weigh less than letters, numbers count by value.
const QStringList kSorted = {"album",     "Ete",      "été",       "jeux",
                             "Noël 2004", "Photos 9", "Photos 10", "Zèbre"};

QStringList children(const QAbstractItemModel& model, const QModelIndex& parent) {
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row)
        names << model.index(row, 0, parent).data().toString();
    return names;
}

// The C locale the tests run in, and French.
class FolderOrderTest : public ::testing::TestWithParam<QLocale::Language> {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(GetParam())); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_P(FolderOrderTest, AnImagesFoldersAndTheHostsComeInTheLocalesOrder) {
    MemoryTree tree;
    const std::string root = "/image:/";
    for (const std::string& name : kNames)
        tree.folder(root, name);
    VolumeFolderModel image;
    image.showRoot(tree, root);
    EXPECT_EQ(children(image, image.index(0, 0)), kSorted);

    TempDir host;
    for (const std::string& name : kNames)
        host.folder(name);
    FolderTree dir1;
    dir1.showDrive(host.path() + "/", host.path() + "/");
    const QAbstractItemModel& model = *dir1.model();
    const auto hostRoot = [&] { return model.index(0, 0, dir1.rootIndex()); };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return model.rowCount(hostRoot()) == static_cast<int>(kNames.size()); }, 5000));
    EXPECT_EQ(children(model, hostRoot()), kSorted);
}

INSTANTIATE_TEST_SUITE_P(Locales, FolderOrderTest, ::testing::Values(QLocale::C, QLocale::French));

} // namespace
} // namespace kesp::test
