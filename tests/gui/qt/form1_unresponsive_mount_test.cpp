// The window over the real mount table with a mount that never answers.
#include <QComboBox>
#include <chrono>
#include <gtest/gtest.h>

#include "gui/qt/form1_harness.h"
#include "images/system_services.h"
#include "os/posix/volume_service_posix.h"
#include "support/blocking_mount.h"

namespace kesp::test {
namespace {

// Start-up, then the dead mount chosen in Drive1: refused at once, the drive left as it was.
void expectNeitherStartUpNorTheGateHeldUp(Harness& h, const BlockingMount& mount) {
    const auto begin = std::chrono::steady_clock::now();
    Form1& form = h.window();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    const std::string entry = mount.mountPoint() + " (ne répond pas)";
    auto* drive1 = h.child<QComboBox>("Drive1");
    ASSERT_GE(drive1->findText(QString::fromStdString(entry)), 0);

    const std::string before = form.driveText();
    h.chooseDrive(entry);
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].title, "Lecteur non prêt");
    EXPECT_EQ(form.driveText(), before);
}

TEST(Form1Drives, AMountThatDoesNotAnswerHoldsUpNeitherStartUpNorTheGate) {
    BlockingMount mount;
    if (!mount.skipReason().empty()) GTEST_SKIP() << mount.skipReason();
    auto volumes = makePosixVolumeService();
    Harness h;
    h.volumeService = volumes.get();
    expectNeitherStartUpNorTheGateHeldUp(h, mount);
}

// The same through the services the program ships, where the opened images are routed apart
// from the host's volumes.
TEST(Form1Drives, AMountThatDoesNotAnswerHoldsUpNothingThroughTheShippedServices) {
    BlockingMount mount;
    if (!mount.skipReason().empty()) GTEST_SKIP() << mount.skipReason();
    const SystemServices system = makeSystemServices();
    Harness h;
    h.volumeService = system.volumes.get();
    h.folders = system.folders.get();
    h.images = system.images;
    expectNeitherStartUpNorTheGateHeldUp(h, mount);
}

} // namespace
} // namespace kesp::test
