// The plan window from Form1: offered once a scan has written its totals, opened on the last
// scan's tree for the volume's own size, closed by the next run, printed through lp.
#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "form1_harness.h"
#include "gui/qt/plan_window.h"
#include "plan/plan_text.h"

namespace kesp::test {
namespace {

const plan::PlanRow* findRow(const plan::FormatPlan& plan, fat::FatType bits, std::uint32_t k) {
    for (const plan::PlanRow& row : plan.rows)
        if (row.layout.bits == bits && row.layout.clusterBytes() == k) return &row;
    return nullptr;
}

TEST(Form1Plan, OfferedAfterAScanOnTheScannedTreeAndClosedByTheNextRun) {
    Harness h;
    h.tree.file(h.fatRoot, "A.BIN", 5000);
    h.tree.file(h.tree.folder(h.fatRoot, "SUB"), "B.BIN", 1);
    h.volumes.find(h.fatRoot)->megabytes = 64;
    Form1& form = h.window();
    EXPECT_FALSE(form.planAction()->isEnabled());
    h.scanFat();
    Harness::settle();
    ASSERT_TRUE(form.planAction()->isEnabled());
    EXPECT_TRUE(form.planMenuAction()->isEnabled());

    form.planMenuAction()->trigger();
    QPointer<PlanWindow> window = form.planWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->volumeField()->text(), QStringLiteral("67,108,864 octets"));
    // The walk's tally: 5000 + 1 bytes in 2 KiB clusters, and SUB's own cluster.
    const plan::PlanRow* row = findRow(window->model().plan(), fat::FatType::Fat16, 2048);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->occupiedBytes, (3 + 1 + 1) * 2048u);

    QTest::mouseClick(h.ok(), Qt::LeftButton);
    Harness::settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "the next run's tree is another";
}

TEST(Form1Plan, PrintingWritesThePlanToATemporaryFileForThePrintCommand) {
    Harness h;
    h.tree.file(h.fatRoot, "A.BIN", 5000);
    h.volumes.find(h.fatRoot)->megabytes = 64;
    Form1& form = h.window();
    h.scanFat();
    Harness::settle();
    form.planAction()->trigger();
    ASSERT_NE(form.planWindow(), nullptr);
    form.planWindow()->findChild<QPushButton*>(QStringLiteral("imprimerPlan"))->click();
    EXPECT_EQ(h.dialogs.prints, 1) << "the print command's own dialog";
    const std::string path = h.temp + "/~qkplan.tmp";
    EXPECT_EQ(h.memoryFiles.lines[path], form.planWindow()->model().printLines());
    EXPECT_TRUE(h.memoryFiles.closed[path]);
}

} // namespace
} // namespace kesp::test
