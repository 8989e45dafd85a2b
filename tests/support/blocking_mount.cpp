#include "support/blocking_mount.h"

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/fat_image.h"

namespace kesp::test {

BlockingMount::BlockingMount() : mountPoint_(dir_.folder("mnt")) {
    if (access("/dev/fuse", R_OK | W_OK) != 0) {
        skipReason_ = "/dev/fuse is not usable here";
        return;
    }
    const std::string program = KESP_BLOCKING_FUSE;
    const pid_t parent = getpid();
    daemon_ = fork();
    if (daemon_ == 0) {
        // Dies with the test, so a crashed test leaves no daemon behind.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        execl(program.c_str(), program.c_str(), "-f", "-s", mountPoint_.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 100 && !isMounted(mountPoint_); ++i)
        usleep(50'000);
    if (!isMounted(mountPoint_)) skipReason_ = program + " did not mount " + mountPoint_;
}

BlockingMount::~BlockingMount() {
    if (daemon_ > 0) {
        kill(daemon_, SIGKILL);
        waitpid(daemon_, nullptr, 0);
    }
    std::string output;
    if (isMounted(mountPoint_)) runProgram({"fusermount", "-u", "-z", mountPoint_}, output);
}

} // namespace kesp::test
