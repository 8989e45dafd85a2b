// The host services the front ends call instead of the system (POSIX or kernel32, whichever
// this build has): what a folder name designates, and the staged copy of the save command.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "os/folder_check.h"
#include "os/staged_copy.h"
#include "support/temp_dir.h"
#ifndef _WIN32
#include "support/posix_files.h"
#endif

namespace kesp {
namespace {

using test::readFile;
using test::TempDir;

TEST(CheckFolder, EveryKindOfName) {
    TempDir dir;
    dir.folder("d");
    dir.file("f", 3);
    const struct {
        std::string path;
        PathKind kind;
    } cases[] = {
        {dir / "d", PathKind::Folder},
        {dir.path(), PathKind::Folder},
        {dir / "f", PathKind::NotFolder},
        {dir / "absent", PathKind::Missing},
        {dir / "absent/below", PathKind::Missing},
        // Longer than any name a file system allows: asked, but not answered.
        {dir / std::string(300, 'n'), PathKind::Unreachable},
#ifndef _WIN32
        // Neither folders nor anything an image could be read from.
        {dir / "fifo", PathKind::Special},
        {"/dev/null", PathKind::Special},
#endif
    };
#ifndef _WIN32
    ASSERT_TRUE(test::makeFifo(dir / "fifo"));
#endif
    for (const auto& c : cases) {
        const PathCheck check = checkFolder(c.path);
        EXPECT_EQ(check.kind, c.kind) << c.path.substr(0, 80);
        EXPECT_EQ(check.reason.empty(), c.kind != PathKind::Unreachable) << check.reason;
    }
}

// What the folder holds besides the named files: a staged copy must leave nothing behind.
std::size_t entriesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(StagedCopy, CommitReplacesTheDestinationWhole) {
    TempDir dir;
    const std::string source = dir.file("source", 70000); // more than one read
    std::ofstream(dir / "dest", std::ios::binary) << "older and different";
    CopyError error;
    auto staged = StagedCopy::stage(source, dir / "dest", error);
    ASSERT_TRUE(staged) << error.reason;
    EXPECT_EQ(readFile(dir / "dest"), "older and different"); // not in place before the commit
    ASSERT_TRUE(staged->commit(error)) << error.reason;
    EXPECT_EQ(readFile(dir / "dest"), readFile(source));
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

TEST(StagedCopy, DroppedOrRefusedLeavesNothing) {
    TempDir dir;
    const std::string source = dir.file("source", 10);
    dir.folder("a folder");
    {
        CopyError error;
        auto staged = StagedCopy::stage(source, dir / "dest", error);
        ASSERT_TRUE(staged) << error.reason;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "dest"));

    const struct {
        std::string source, destination;
        bool reading;
    } refusals[] = {
        {dir / "absent", dir / "dest", true},
        {dir / "a folder", dir / "dest", true},
        {source, dir / "a folder", false},
    };
    for (const auto& r : refusals) {
        CopyError error;
        EXPECT_FALSE(StagedCopy::stage(r.source, r.destination, error)) << r.destination;
        EXPECT_EQ(error.reading, r.reading) << r.destination;
        EXPECT_EQ(error.file, r.reading ? r.source : r.destination);
        EXPECT_FALSE(error.reason.empty());
    }
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

} // namespace
} // namespace kesp
