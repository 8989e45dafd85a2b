// A file system that never answers: every request blocks, as on a dead FUSE, NFS or sshfs
// mount. Run it in the foreground and single-threaded (-f -s): the first request holds the only
// thread, so every later one queues behind it. SIGKILL ends it; the kernel then fails the
// requests still waiting with ENOTCONN.
#define FUSE_USE_VERSION 26
#include <fuse.h>
#include <unistd.h>

namespace {

[[noreturn]] void blockForever() {
    for (;;)
        pause();
}

int getattrBlocks(const char*, struct stat*) {
    blockForever();
}
int statfsBlocks(const char*, struct statvfs*) {
    blockForever();
}
int opendirBlocks(const char*, fuse_file_info*) {
    blockForever();
}

} // namespace

int main(int argc, char** argv) {
    fuse_operations operations{};
    operations.getattr = getattrBlocks;
    operations.statfs = statfsBlocks;
    operations.opendir = opendirBlocks;
    return fuse_main(argc, argv, &operations, nullptr);
}
