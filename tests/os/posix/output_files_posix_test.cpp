// Result files on disk: CR LF lines, written beside the destination and put in place whole or
// not at all; links and other users' files refused; the system's reason on a full disk; names
// held against other processes; two names of one file recognised.
#include "os/posix/output_files_posix.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "os/file_identity.h"
#include "os/temp_cleanup.h"
#include "support/fat_image.h"
#include "support/temp_dir.h"

namespace kesp {
namespace {

using test::readFile;
using test::TempDir;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* e = dir ? readdir(dir) : nullptr)
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            names.push_back(e->d_name);
    if (dir) closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PosixOutputFiles, LinesEndWithCrLfAndReplaceOldContentAtCommit) {
    TempDir dir;
    const std::string path = dir / "out.txt";
    std::ofstream(path) << "old";
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    PosixOutputFiles files;
    std::string error;
    auto sink = files.create(path, error);
    ASSERT_TRUE(sink) << error;
    EXPECT_TRUE(sink->writeLine("R\xC3\xA9pertoire\tOctets"));
    EXPECT_TRUE(sink->writeLine(""));
    const std::string longLine(200000, 'L'); // longer than the buffer
    EXPECT_TRUE(sink->writeLine(longLine));
    for (int i = 0; i < 50000; ++i)
        ASSERT_TRUE(sink->writeLine("line"));
    EXPECT_TRUE(sink->close());
    EXPECT_EQ(readFile(path), "old") << "nothing shows before the commit";
    EXPECT_TRUE(sink->commit());
    std::string expected = "R\xC3\xA9pertoire\tOctets\r\n\r\n" + longLine + "\r\n";
    for (int i = 0; i < 50000; ++i)
        expected += "line\r\n";
    EXPECT_EQ(readFile(path), expected);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file's mode is kept";
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(PosixOutputFiles, ADroppedOrFailedFileLeavesTheOldOneAndNothingElse) {
    TempDir dir;
    const std::string path = dir / "out.txt";
    std::ofstream(path) << "old";
    PosixOutputFiles files;
    std::string error;
    {
        auto dropped = files.create(path, error);
        ASSERT_TRUE(dropped);
        EXPECT_TRUE(dropped->writeLine("half"));
        EXPECT_TRUE(dropped->close());
    }
    auto notClosed = files.create(path, error);
    EXPECT_FALSE(notClosed->commit());
    notClosed.reset();
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(PosixOutputFiles, RefusesWhatItMustNotReplace) {
    TempDir dir;
    const std::string victim = dir.file("victim", 0);
    std::ofstream(victim) << "keep me";
    ASSERT_EQ(symlink(victim.c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(link(victim.c_str(), (dir / "hard").c_str()), 0);
    dir.folder("folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
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
        {dir / "fifo", "ce n'est pas un fichier ordinaire"},
        {dir / "missing/out", std::strerror(ENOENT)},
    };
    if (canChown) cases.push_back({foreign, "le fichier appartient à un autre utilisateur"});
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(files.create(c.path, error), nullptr) << c.path;
        EXPECT_EQ(error, c.reason) << c.path;
        error.clear();
        EXPECT_EQ(files.hold(c.path, error), HoldResult::Refused) << c.path;
        EXPECT_EQ(error, c.reason) << c.path;
    }
    EXPECT_EQ(readFile(victim), "keep me");
    if (canChown) {
        EXPECT_EQ(readFile(foreign), "not yours");
    }
}

TEST(PosixOutputFiles, FullDiskIsReportedAndLeavesNoPartFile) {
    TempDir dir;
    const std::string mnt = dir.folder("small");
    test::SmallTmpfs disk(mnt);
    if (!disk.mounted()) GTEST_SKIP() << disk.reason();
    std::ofstream(mnt + "/report") << "previous run";

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
    EXPECT_FALSE(sink->commit());
    sink.reset();
    EXPECT_EQ(readFile(mnt + "/report"), "previous run");
    EXPECT_EQ(namesIn(mnt), std::vector<std::string>{"report"});
}

// Two objects stand for two processes: flock() locks of two open files conflict even within one.
TEST(PosixOutputFiles, AHeldNameStaysHeldAcrossCommitsAndTheCleanUpSparesIt) {
    TempDir dir;
    const std::string name = dir / "~qkres1.tmp";
    PosixOutputFiles first;
    PosixOutputFiles second;
    std::string error;
    ASSERT_EQ(first.hold(name, error), HoldResult::Held) << error;
    EXPECT_EQ(readFile(name), "") << "an empty file marks the name";
    EXPECT_EQ(second.hold(name, error), HoldResult::HeldByOther);

    auto sink = first.create(name, error);
    ASSERT_TRUE(sink && sink->writeLine("run") && sink->close() && sink->commit());
    sink.reset();
    EXPECT_EQ(readFile(name), "run\r\n");
    EXPECT_EQ(second.hold(name, error), HoldResult::HeldByOther) << "the new file is held too";
    EXPECT_EQ(SupprimerFichiersTemporaires(dir.path()), 0);
    EXPECT_EQ(readFile(name), "run\r\n");

    first.releaseAll();
    EXPECT_EQ(second.hold(name, error), HoldResult::Held);
    second.releaseAll();
    EXPECT_EQ(SupprimerFichiersTemporaires(dir.path()), 1);
}

TEST(SameOutputFile, TheSameFileUnderTwoNames) {
    TempDir dir;
    dir.folder("d");
    ASSERT_EQ(symlink((dir / "d").c_str(), (dir / "dl").c_str()), 0);
    dir.file("d/existing", 1);
    dir.file("other", 1);
    ASSERT_EQ(link((dir / "d/existing").c_str(), (dir / "hard").c_str()), 0);
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {dir / "d/x", dir / "dl/x", true},  // neither exists: one folder reached twice
        {dir / "d/x", dir / "d/./x", true}, // the same name spelt twice
        {dir / "d/existing", dir / "hard", true},
        {dir / "d/existing", dir / "dl/existing", true},
        {dir / "d/x", dir / "d/y", false},
        {dir / "d/x", dir / "d/X", false}, // this volume tells case apart
        {dir / "d/existing", dir / "other", false},
        {dir / "missing/x", dir / "missing/x", false}, // left to the creation to refuse
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameOutputFile(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(SameOutputFile, NamesDifferingInCaseOnAFatVolume) {
    if (const std::string missing = test::fatToolsMissing(true); !missing.empty())
        GTEST_SKIP() << missing;
    std::string error;
    auto image = test::FatImage::create(test::labelledFat(16, 4, "CASE", "", 20 << 20), error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->addFile("REPORT.TXT", 10, error)) << error;
    ASSERT_TRUE(image->mount(error)) << error;
    const std::string mnt = image->mountPoint();
    EXPECT_TRUE(sameOutputFile(mnt + "/report.txt", mnt + "/REPORT.TXT")); // it exists
    EXPECT_TRUE(sameOutputFile(mnt + "/new.txt", mnt + "/NEW.TXT"));       // it does not
    EXPECT_FALSE(sameOutputFile(mnt + "/new.txt", mnt + "/table.txt"));
}

} // namespace
} // namespace kesp
