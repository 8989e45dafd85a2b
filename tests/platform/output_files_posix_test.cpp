// Result files on disk: CR LF lines, truncation only of one's own regular file, links and other
// users' files refused, the system's reason on a full disk.
#include "platform/posix/output_files_posix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace kesp {
namespace {

using test::readFile;
using test::TempDir;

TEST(PosixOutputFiles, LinesEndWithCrLfAndReplaceOldContent) {
    TempDir dir;
    const std::string path = dir / "out.txt";
    std::ofstream(path) << std::string(100000, 'x');
    PosixOutputFiles files;
    std::string error;
    auto sink = files.create(path, error);
    ASSERT_TRUE(sink) << error;
    EXPECT_TRUE(sink->writeLine("R\xC3\xA9pertoire\tOctets"));
    EXPECT_TRUE(sink->writeLine(""));
    const std::string longLine(200000, 'L'); // longer than the buffer
    EXPECT_TRUE(sink->writeLine(longLine));
    EXPECT_TRUE(sink->writeLine("\xE9t\xE9"));
    EXPECT_TRUE(sink->close());
    EXPECT_EQ(readFile(path), "R\xC3\xA9pertoire\tOctets\r\n\r\n" + longLine + "\r\n\xE9t\xE9\r\n");
}

TEST(PosixOutputFiles, ManyLinesAcrossBufferFlushes) {
    TempDir dir;
    PosixOutputFiles files;
    std::string error;
    auto sink = files.create(dir / "many", error);
    ASSERT_TRUE(sink);
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        const std::string line = "line " + std::to_string(i);
        ASSERT_TRUE(sink->writeLine(line));
        expected += line + "\r\n";
    }
    sink.reset(); // the destructor flushes too
    EXPECT_EQ(readFile(dir / "many"), expected);
}

TEST(PosixOutputFiles, RefusesWhatItMustNotOverwrite) {
    TempDir dir;
    const std::string victim = dir.file("victim", 0);
    std::ofstream(victim) << "keep me";
    ASSERT_EQ(symlink(victim.c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(link(victim.c_str(), (dir / "hard").c_str()), 0);
    dir.folder("folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "read-fifo").c_str(), 0600), 0);
    const int reader = ::open((dir / "read-fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const std::string foreign = dir.file("foreign", 0);
    std::ofstream(foreign) << "not yours";
    const bool canChown = chown(foreign.c_str(), 65534, 65534) == 0;

    PosixOutputFiles files;
    struct Case {
        std::string path;
        std::string reason;
    };
    std::vector<Case> cases = {
        {dir / "link", "le fichier est un lien symbolique"},
        {dir / "hard", "le fichier a d'autres liens"},
        {dir / "folder", std::strerror(EISDIR)},
        {dir / "fifo", std::strerror(ENXIO)}, // no reader: refused at once, never blocks
        {dir / "read-fifo", "ce n'est pas un fichier ordinaire"},
        {dir / "missing/out", std::strerror(ENOENT)},
    };
    if (canChown) cases.push_back({foreign, "le fichier appartient à un autre utilisateur"});
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(files.create(c.path, error), nullptr) << c.path;
        EXPECT_EQ(error, c.reason) << c.path;
    }
    ::close(reader);
    EXPECT_EQ(readFile(victim), "keep me");
    if (canChown) {
        EXPECT_EQ(readFile(foreign), "not yours");
    }
}

TEST(PosixOutputFiles, FullDiskIsReportedWithTheSystemsReason) {
    TempDir dir;
    const std::string mnt = dir.folder("small");
    test::SmallTmpfs disk(mnt);
    if (!disk.mounted()) GTEST_SKIP() << disk.reason();

    PosixOutputFiles files;
    std::string error;
    auto sink = files.create(mnt + "/report", error);
    ASSERT_TRUE(sink) << error;
    bool failed = false;
    for (int i = 0; i < 100000 && !failed; ++i)
        failed = !sink->writeLine(std::string(100, 'x'));
    if (!failed) failed = !sink->close();
    EXPECT_TRUE(failed);
    EXPECT_EQ(sink->error(), std::strerror(ENOSPC));
    // Once failed, always failed.
    EXPECT_FALSE(sink->writeLine("more"));
    EXPECT_FALSE(sink->close());
}

} // namespace
} // namespace kesp
