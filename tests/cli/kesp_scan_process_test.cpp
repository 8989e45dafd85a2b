// The built kesp-scan program: exit statuses, byte-exact output on a real tree, Ctrl+C.
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <random>
#include <regex>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/temp_dir.h"

extern char** environ;

namespace kesp {
namespace {

using test::readFile;

// A running kesp-scan with its stdout and stderr on pipes.
class Child {
public:
    explicit Child(const std::vector<std::string>& args) {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0) std::abort();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<std::string> all = {KESP_BIN_DIR "/kesp-scan"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) std::abort();
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~Child() {
        if (out_ >= 0) ::close(out_);
        ::close(err_);
    }
    // The reader of stdout goes away, as `| head` does.
    void closeOut() {
        ::close(out_);
        out_ = -1;
    }
    // Bytes waiting in the stdout pipe.
    int pendingOut() const {
        int n = 0;
        ioctl(out_, FIONREAD, &n);
        return n;
    }
    void signal(int sig) { kill(pid_, sig); }
    // Reads both pipes to their end and returns the exit status (-1 when killed by a signal).
    int finish() {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        std::string* sinks[2] = {&out, &err};
        int open = out_ >= 0 ? 2 : 1;
        char buffer[65536];
        while (open > 0) {
            poll(fds, 2, -1);
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(n));
                } else {
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string out, err;

private:
    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
};

TEST(KespScanProgram, ByteExactOnARealTree) {
    test::TempDir dir;
    dir.file("scan/x", 3000);
    dir.file("scan/in/y", 513);
    Child child(
        {"--cluster-size", "512", "--report", dir / "r", "--table", dir / "t", dir / "scan/"});
    ASSERT_EQ(child.finish(), 0) << child.err;
    EXPECT_EQ(child.err, "");
    const std::string root = dir / "scan";
    // H: the mount point holding the tree, its size in megabytes, " Mo".
    const std::string out = child.out;
    const std::size_t search = out.find("\nRecherche sur ");
    ASSERT_NE(search, std::string::npos) << out;
    const std::size_t hStart = out.rfind('\n', search - 1) + 1;
    const std::string h = out.substr(hStart, search - hStart);
    EXPECT_TRUE(std::regex_match(h, std::regex("/[^ ]* [0-9]{1,3}(,[0-9]{3})* Mo"))) << h;
    EXPECT_EQ(out, root +
                       "/\n Taille utile     :         3 000 octets\n"
                       " Taille réelle    :         3 584 octets\n"
                       "     Espace perdu :           584 octets\n" +
                       root +
                       "/in/\n Taille utile     :           513 octets\n"
                       " Taille réelle    :         1 024 octets\n"
                       "     Espace perdu :           511 octets\n" +
                       h + "\nRecherche sur " + root +
                       "\n Taille totale utile  : 3,513 octets\n"
                       " Taille totale réelle : 4,608 octets\n"
                       "     Espace perdu     : 1,095 octets\n");
    EXPECT_EQ(readFile(dir / "t"), h + "\r\nliste de " + root +
                                       "\r\nRépertoire\tOctets perdus\tTaille utile\r\n" + root +
                                       "/\t584\t3000\r\n" + root +
                                       "/in/\t511\t513\r\n Taille totale réelle : 4,608 "
                                       "octets\r\n     Espace perdu     : 1,095 octets\r\n");
    const std::string report = readFile(dir / "r");
    EXPECT_EQ(report.substr(0, h.size() + 2), h + "\r\n");
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2 + 5 + 5 + 4);
}

TEST(KespScanProgram, FailuresExitWithOneLine) {
    test::TempDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--cluster-size", "abc", dir.path()},
          {"--cluster-size", "4096", dir / "missing"},
          {"--cluster-size", "4096", "--table", dir / "nope/t", dir.path()},
          {}}) {
        Child child(args);
        EXPECT_EQ(child.finish(), 1);
        EXPECT_EQ(std::count(child.err.begin(), child.err.end(), '\n'), 1) << child.err;
        EXPECT_EQ(child.err.rfind("kesp-scan: ", 0), 0u) << child.err;
        EXPECT_EQ(child.out, "");
    }
}

TEST(KespScanProgram, CtrlCIsTheCancelPress) {
    test::TempDir dir(test::TempDir::Backing::MemoryIfPossible);
    for (int i = 0; i < 3000; ++i)
        dir.file("scan/" + std::to_string(i) + "/f", 1);
    Child child({"--cluster-size", "4096", "--table", dir / "t", dir / "scan"});
    // Not reading stdout blocks the program once the pipe is full, in the middle of the walk.
    // (The pipe holds 64 KiB; the output is over 400 KiB.) Full means: no growth for 200 ms.
    int pending = -1;
    for (int wait = 0; wait < 100 && (pending < 32768 || child.pendingOut() != pending); ++wait) {
        pending = child.pendingOut();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ASSERT_GE(pending, 32768);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // past the refresh period
    child.signal(SIGINT);
    EXPECT_EQ(child.finish(), 130) << child.err;
    const std::string tail =
        "Recherche sur " + (dir / "scan") + "\nDemande annulée avant la fin !!\n";
    EXPECT_EQ(child.out.substr(child.out.size() - tail.size()), tail);
    // Folders still pending when the walk stopped are listed with zero figures.
    const std::string table = readFile(dir / "t");
    std::size_t measured = 0, empty = 0;
    for (std::size_t pos = 0; (pos = table.find("/\t", pos)) != std::string::npos; ++pos) {
        if (table.compare(pos, 7, "/\t0\t0\r\n") == 0)
            ++empty;
        else
            ++measured;
    }
    EXPECT_EQ(measured + empty, 3001u);
    EXPECT_GT(empty, 0u);
    EXPECT_GT(measured, 100u);
    EXPECT_EQ(table.find("Taille totale"), std::string::npos);
}

// Stopped at any moment by a signal or by its reader going away, a run leaves each result file
// absent (stopped before it was made) or whole: the report ends with the totals or the cancel
// line, the table with the totals or a complete row; nothing else is left in the folder.
TEST(KespScanProgram, SignalsAndAClosedPipeAtRandomMomentsNeverLeaveACutFile) {
    test::TempDir dir(test::TempDir::Backing::MemoryIfPossible);
    for (int i = 0; i < 3000; ++i)
        dir.file("scan/" + std::to_string(i) + "/f", 1);
    const std::vector<std::string> args = {"--cluster-size", "4096",    "--report",
                                           dir / "out/r",    "--table", dir / "out/t",
                                           dir / "scan"};
    dir.folder("out");
    const auto started = std::chrono::steady_clock::now();
    {
        Child whole(args);
        ASSERT_EQ(whole.finish(), 0) << whole.err;
    }
    const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", a whole run " +
                 std::to_string(runTime.count()) + " us");
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, runTime.count() * 5 / 4);
    // A file's last line, when the file ends with one whole line; "" otherwise.
    auto lastLine = [](const std::string& text) -> std::string {
        if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return "";
        const auto begin = text.rfind("\r\n", text.size() - 3);
        return text.substr(begin == std::string::npos ? 0 : begin + 2,
                           text.size() - 2 - (begin == std::string::npos ? 0 : begin + 2));
    };
    const std::regex totals("     Espace perdu     : [0-9,]+ octets");
    const std::regex row(".*/\t[0-9]+\t[0-9]+");
    int stopped = 0;
    for (int round = 0; round < 18; ++round) {
        const int signal = round % 3 == 0 ? SIGTERM : round % 3 == 1 ? SIGHUP : SIGPIPE;
        std::filesystem::remove_all(dir / "out");
        std::filesystem::create_directory(dir / "out");
        Child child(args);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        if (signal == SIGPIPE)
            child.closeOut();
        else
            child.signal(signal);
        const int status = child.finish();
        SCOPED_TRACE("round " + std::to_string(round) + ", exit " + std::to_string(status));
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "out"))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        if (status == -1) { // the signal came before it was caught: nothing was begun
            EXPECT_TRUE(left.empty()) << ::testing::PrintToString(left);
            continue;
        }
        ASSERT_EQ(left, (std::vector<std::string>{"r", "t"})) << child.err;
        const std::string report = readFile(dir / "out/r");
        const std::string table = readFile(dir / "out/t");
        if (status == 128 + signal) {
            ++stopped;
            EXPECT_EQ(lastLine(report), "Demande annulée avant la fin !!");
            EXPECT_TRUE(std::regex_match(lastLine(table), row)) << lastLine(table);
        } else {
            // Over before the stop; a reader gone at the very end fails only the output.
            EXPECT_TRUE(status == 0 || (signal == SIGPIPE && status == 1)) << child.err;
            EXPECT_TRUE(std::regex_match(lastLine(report), totals)) << lastLine(report);
            EXPECT_TRUE(std::regex_match(lastLine(table), totals)) << lastLine(table);
        }
    }
    EXPECT_GT(stopped, 0) << "no round stopped a run in the middle";
}

} // namespace
} // namespace kesp
