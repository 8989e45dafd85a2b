// The POSIX folder listing on real folders: what an entry carries, links, mount points, names of
// any bytes, big and sparse files, large and deep trees, folders that go away.
#include "os/posix/folder_enum_posix.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace kesp {
namespace {

using test::TempDir;

std::map<std::string, FolderEntry> listAll(FolderListing& listing) {
    std::map<std::string, FolderEntry> out;
    FolderEntry e;
    while (listing.next(e))
        out[e.name] = e;
    EXPECT_FALSE(listing.failure()) << listing.failure()->reason;
    return out;
}

std::map<std::string, FolderEntry> listAll(PosixFolderEnumerator& folders,
                                           const std::string& path) {
    return listAll(*folders.open(path));
}

// The entries of `root` (ending with "/") at the start of a walk from it.
std::map<std::string, FolderEntry> listRoot(const std::string& root) {
    PosixFolderEnumerator folders;
    folders.beginWalk(root);
    return listAll(folders, root);
}

TEST(PosixFolderListing, EntriesLinksAndHiddenNames) {
    TempDir dir;
    dir.file("plain", 1234);
    dir.file(".hidden", 7);
    dir.file("empty", 0);
    dir.folder("sub");
    ASSERT_EQ(symlink("plain", (dir / "link-to-file").c_str()), 0);
    ASSERT_EQ(symlink("sub", (dir / "link-to-folder").c_str()), 0);
    ASSERT_EQ(symlink("/nonexistent/target", (dir / "dangling").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);

    const auto entries = listRoot(dir.path() + "/");
    ASSERT_EQ(entries.size(), 8u); // never "." or ".."
    EXPECT_EQ(entries.at("plain").size, 1234u);
    EXPECT_FALSE(entries.at("plain").isDirectory);
    EXPECT_EQ(entries.at(".hidden").size, 7u);
    EXPECT_EQ(entries.at("empty").size, 0u);
    EXPECT_TRUE(entries.at("sub").isDirectory);
    EXPECT_EQ(entries.at("sub").size, 0u);
    // Links are entries of their own size (the target's text), never followed.
    EXPECT_FALSE(entries.at("link-to-file").isDirectory);
    EXPECT_EQ(entries.at("link-to-file").size, 5u);
    EXPECT_FALSE(entries.at("link-to-folder").isDirectory);
    EXPECT_EQ(entries.at("link-to-folder").size, 3u);
    EXPECT_EQ(entries.at("dangling").size, std::string("/nonexistent/target").size());
    EXPECT_FALSE(entries.at("fifo").isDirectory);
}

TEST(PosixFolderListing, NamesOfAnyBytes) {
    TempDir dir;
    const std::string names[] = {"\xE9t\xE9", "caf\xC3\xA9",  " lead and trail ",
                                 "tab\there", "\x01\x7F\xFF", "-dash",
                                 "...",       "new\nline"};
    for (const std::string& n : names)
        dir.file(n, n.size());
    const auto entries = listRoot(dir.path() + "/");
    ASSERT_EQ(entries.size(), std::size(names));
    for (const std::string& n : names) {
        ASSERT_TRUE(entries.count(n)) << n;
        EXPECT_EQ(entries.at(n).size, n.size());
    }
}

TEST(PosixFolderListing, SparseFileOverFourGiB) {
    TempDir dir;
    const std::string big = dir / "big";
    const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    const off_t size = (5ll << 30) + 3;
    ASSERT_EQ(ftruncate(fd, size), 0) << "sparse files unsupported here";
    ::close(fd);
    EXPECT_EQ(listRoot(dir.path() + "/").at("big").size, static_cast<std::uint64_t>(size));
}

// The reason, or "" when the listing reads to its end.
std::string failureOf(FolderListing& listing) {
    FolderEntry e;
    while (listing.next(e)) {
    }
    return listing.failure() ? listing.failure()->reason : "";
}

TEST(PosixFolderListing, FoldersThatCannotBeListedSayWhy) {
    TempDir dir;
    dir.file("file", 1);
    PosixFolderEnumerator folders;
    folders.beginWalk(dir.path() + "/");
    EXPECT_EQ(failureOf(*folders.open(dir / "missing/")), "No such file or directory");
    EXPECT_EQ(failureOf(*folders.open(dir / "file/")), "Not a directory");
    // Below the root a symbolic link to a folder is never entered, even if named as a folder.
    ASSERT_EQ(symlink(dir.path().c_str(), (dir / "loop").c_str()), 0);
    EXPECT_EQ(failureOf(*folders.open(dir / "loop/")), "Not a directory");
    EXPECT_EQ(failureOf(*folders.open(std::string(5000, 'a') + "/")), "File name too long");

    auto root = folders.open(dir.path() + "/");
    EXPECT_EQ(failureOf(*root), "");
    FolderEntry gone{"gone", true, 0, 0};
    auto child = root->openChild(gone);
    EXPECT_EQ(failureOf(*child), "No such file or directory");
    EXPECT_FALSE(child->failure()->volumeLost);
}

TEST(PosixFolderListing, ChildrenOpenFromTheirParentAtAnyDepth) {
    TempDir dir(TempDir::Backing::MemoryIfPossible); // a tmpfs goes at once, however deep
    dir.file("a/in-a", 1);
    dir.file("b/in-b", 2);
    PosixFolderEnumerator folders;
    folders.beginWalk(dir.path() + "/");
    auto root = folders.open(dir.path() + "/");
    const auto top = listAll(*root);
    // The parent is read to its end before its children open; it stays usable for them.
    EXPECT_EQ(listAll(*root->openChild(top.at("b"))).at("in-b").size, 2u);
    EXPECT_EQ(listAll(*root->openChild(top.at("a"))).at("in-a").size, 1u);

    // 400 levels of 200-byte names: far past PATH_MAX, never spelt as one path.
    const std::string name(200, 'n');
    int fd = ::open((dir / "a").c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < 400; ++level) {
        ASSERT_EQ(mkdirat(fd, name.c_str(), 0700), 0);
        const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(openat(fd, "deepest", O_WRONLY | O_CREAT, 0600));
    ::close(fd);
    std::vector<std::unique_ptr<FolderListing>> chain;
    chain.push_back(root->openChild(top.at("a")));
    for (int level = 0; level < 400; ++level) {
        const auto entries = listAll(*chain.back());
        ASSERT_TRUE(entries.count(name)) << level;
        chain.push_back(chain.back()->openChild(entries.at(name)));
    }
    EXPECT_TRUE(listAll(*chain.back()).count("deepest"));
}

TEST(PosixFolderListing, NothingStaysOpenOnceTheListingsAreGone) {
    TempDir dir;
    dir.folder("a/b/c");
    const auto openDescriptors = [] {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
            ++n;
        return n;
    };
    const std::size_t before = openDescriptors();
    PosixFolderEnumerator folders;
    folders.beginWalk(dir.path() + "/");
    std::vector<std::unique_ptr<FolderListing>> chain;
    chain.push_back(folders.open(dir.path() + "/"));
    for (const char* name : {"a", "b", "c"}) {
        listAll(*chain.back());
        chain.push_back(chain.back()->openChild({name, true, 0, 0}));
    }
    EXPECT_EQ(openDescriptors(), before + 4); // one per level, kept for the children
    chain.clear();
    folders.endWalk();
    EXPECT_EQ(openDescriptors(), before);
}

TEST(PosixFolderListing, RootReachedThroughALink) {
    TempDir dir;
    dir.file("real/f", 3);
    ASSERT_EQ(symlink("real", (dir / "alias").c_str()), 0);
    EXPECT_EQ(listRoot(dir / "alias/").at("f").size, 3u);
}

TEST(PosixFolderListing, EntriesThatVanishDuringTheListing) {
    TempDir dir;
    for (int i = 0; i < 50; ++i)
        dir.file("f" + std::to_string(i), 1);
    PosixFolderEnumerator folders;
    folders.beginWalk(dir.path() + "/");
    auto listing = folders.open(dir.path() + "/");
    FolderEntry e;
    ASSERT_TRUE(listing->next(e));
    std::filesystem::remove_all(dir.path());
    int more = 0;
    while (listing->next(e))
        ++more;
    EXPECT_EQ(more, 0); // every other entry was gone before its stat
}

TEST(PosixFolderListing, AnotherFileSystemBelowTheRootListsEmpty) {
    TempDir dir;
    const std::string plain = dir.folder("a/mnt");
    const std::string blank = dir.folder("a/with blank\\and tab\t");
    test::SmallTmpfs first(plain), second(blank);
    if (!first.mounted() || !second.mounted()) GTEST_SKIP() << first.reason() << second.reason();
    dir.file("a/mnt/inside", 10);
    dir.file("a/with blank\\and tab\t/inside", 10);
    ASSERT_EQ(symlink("a", (dir / "alias").c_str()), 0);

    PosixFolderEnumerator folders;
    for (const std::string& root : {dir / "a", dir / "alias"}) {
        SCOPED_TRACE(root);
        folders.beginWalk(root + "/");
        auto listing = folders.open(root + "/");
        const auto top = listAll(*listing);
        for (const char* name : {"mnt", "with blank\\and tab\t"}) {
            EXPECT_TRUE(top.at(name).isDirectory); // still counted as a sub-folder
            EXPECT_TRUE(listAll(*listing->openChild(top.at(name))).empty());
        }
    }
    // A walk that starts on the other file system lists it.
    folders.beginWalk(plain + "/");
    EXPECT_EQ(listAll(folders, plain + "/").size(), 1u);
}

TEST(PosixFolderListing, HundredThousandEntries) {
    TempDir dir(TempDir::Backing::MemoryIfPossible);
    const std::string where = dir.path();
    const int dfd = ::open(where.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dfd, 0);
    for (int i = 0; i < 100000; ++i) {
        const int fd = openat(dfd, std::to_string(i).c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    ::close(dfd);
    PosixFolderEnumerator folders;
    folders.beginWalk(where + "/");
    auto listing = folders.open(where + "/");
    FolderEntry e;
    std::size_t count = 0;
    while (listing->next(e))
        ++count;
    EXPECT_EQ(count, 100000u);
}

} // namespace
} // namespace kesp
