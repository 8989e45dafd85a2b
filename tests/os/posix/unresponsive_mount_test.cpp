// Mounts that do not answer: the bounded wait of MountWatch, then the volume service over a real
// mount whose every request blocks.
#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

#include "images/system_services.h"
#include "os/posix/mount_watch.h"
#include "os/posix/volume_service_posix.h"
#include "support/blocking_mount.h"

namespace kesp {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(MountWatch, AnswersInTimeAreKeptABlockedMountHoldsOneThread) {
    MountWatch watch(200ms);
    EXPECT_EQ(watch.run<int>("/a", [] { return 7; }), 7);

    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> started{0};
    const auto blocked = [&] {
        ++started;
        released.wait();
        return 1;
    };
    auto begin = Clock::now();
    EXPECT_EQ(watch.run<int>("/dead", blocked), std::nullopt);
    EXPECT_GE(Clock::now() - begin, 200ms);
    begin = Clock::now();
    EXPECT_EQ(watch.run<int>("/dead", blocked), std::nullopt);
    EXPECT_LT(Clock::now() - begin, 100ms) << "asked again, it does not wait a second time";
    EXPECT_EQ(started, 1);
    EXPECT_EQ(watch.run<int>("/a", [] { return 8; }), 8) << "other mounts still answer";

    release.set_value();
    std::optional<int> again;
    for (int i = 0; i < 100 && !again; ++i) {
        std::this_thread::sleep_for(20ms); // the released query's thread finishing
        again = watch.run<int>("/dead", [] { return 9; });
    }
    EXPECT_EQ(again, 9) << "once its query returned, the mount is asked again";
}

// What a volume service says of a mount that never answers, waiting on it once at most.
void expectListedAndNotReady(VolumeService& volumes, const std::string& point) {
    const auto begin = Clock::now();
    const auto drives = volumes.drives();
    const std::string entry = point + " (ne répond pas)";
    EXPECT_NE(std::find(drives.begin(), drives.end(), entry), drives.end());
    EXPECT_EQ(volumes.rootPath(entry), point + "/");
    EXPECT_EQ(volumes.readiness(point + "/"), kErrorDeviceUnavailable);
    VolumeInformation info;
    EXPECT_FALSE(volumes.volumeInformation(point + "/", info));
    EXPECT_FALSE(volumes.probeRoot(point + "/"));
    EXPECT_EQ(volumes.totalMegabytes(point + "/"), 0u);
    // One wait for the first query; every later one finds the mount still busy.
    EXPECT_LT(Clock::now() - begin, 3s);
}

TEST(PosixVolumeService, AMountThatDoesNotAnswerIsListedAsSuchAndNotReady) {
    test::BlockingMount mount;
    if (!mount.skipReason().empty()) GTEST_SKIP() << mount.skipReason();
    auto volumes = makePosixVolumeService();
    expectListedAndNotReady(*volumes, mount.mountPoint());
}

// The services the programs run on put the image reader in front of the host's: choosing
// between them must not ask the mount either.
TEST(SystemServices, AMountThatDoesNotAnswerIsListedAsSuchAndNotReady) {
    // Both outlive the mount, whose removal releases a query stuck on it: the test then fails
    // instead of hanging.
    const SystemServices system = makeSystemServices();
    std::future<void> queries;
    test::BlockingMount mount;
    if (!mount.skipReason().empty()) GTEST_SKIP() << mount.skipReason();
    queries = std::async(std::launch::async, [&system, point = mount.mountPoint()] {
        EXPECT_FALSE(system.images->holds(point + "/"));
        expectListedAndNotReady(*system.volumes, point);
    });
    EXPECT_EQ(queries.wait_for(10s), std::future_status::ready) << "a query waits on the mount";
}

} // namespace
} // namespace kesp
