// Two windows at once, as two real processes sharing one temporary folder: the second uses
// result files of its own, and quitting either leaves the other's files alone.
#include <QTest>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "gui/qt/form1_harness.h"
#include "os/posix/output_files_posix.h"

extern char** environ;

namespace kesp::test {
namespace {

namespace fs = std::filesystem;

// The other instance, talked to through its stdin and stdout.
class OtherInstance {
public:
    explicit OtherInstance(const std::string& temp) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) std::abort();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string program = KESP_BIN_DIR "/kesp_instance_child";
        std::string folder = temp;
        char* argv[] = {program.data(), folder.data(), nullptr};
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv, environ) != 0) std::abort();
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        toChild_ = in[1];
        fromChild_ = out[0];
    }
    ~OtherInstance() {
        ::close(toChild_);
        ::close(fromChild_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    std::string readLine() {
        std::string line;
        char c = 0;
        while (::read(fromChild_, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }
    // Tells it to quit; its exit status.
    int quit() {
        if (::write(toChild_, "\n", 1) != 1) return -1;
        readLine();
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
};

std::vector<std::string> resultFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Form1Instances, TheSecondUsesItsOwnNamesAndQuittingSparesTheOthers) {
    PosixOutputFiles disk;
    Harness h;
    h.files = &disk;
    h.tree.file(h.fatRoot, "A.BIN", 10);
    OtherInstance other(h.temp);
    // Alone when it scanned: the names of one instance, as ever.
    ASSERT_EQ(other.readLine(), h.temp + "/~qkres1.tmp");

    Form1& form = h.window();
    h.scanFat();
    EXPECT_TRUE(h.boxes.shown.empty());
    const std::string mine = "-" + std::to_string(getpid());
    EXPECT_EQ(form.etat().CheminRes1, h.temp + "/~qkres1" + mine + ".tmp");
    EXPECT_EQ(form.etat().CheminRes2, h.temp + "/~qkres2" + mine + ".tmp");
    EXPECT_EQ(resultFilesIn(h.temp),
              (std::vector<std::string>{"~qkres1" + mine + ".tmp", "~qkres1.tmp",
                                        "~qkres2" + mine + ".tmp", "~qkres2.tmp"}));

    form.FinProgramme();
    EXPECT_EQ(resultFilesIn(h.temp), (std::vector<std::string>{"~qkres1.tmp", "~qkres2.tmp"}));
    EXPECT_NE(readFile(h.temp + "/~qkres1.tmp").find("Taille totale"), std::string::npos);

    EXPECT_EQ(other.quit(), 0);
    EXPECT_EQ(resultFilesIn(h.temp), std::vector<std::string>{});
}

} // namespace
} // namespace kesp::test
