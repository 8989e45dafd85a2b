// What happens inside the hand-overs of a run: a second press of OK, SousRep or the refresh
// period changed, and when the status refresh falls due.
#include "run_fixture.h"

namespace kesp::test {
namespace {

class RunEvents : public RunFixture {
protected:
    // Moves the clock past the period when the walk reaches entry `name` (any folder).
    void advanceAt(const std::string& name, std::uint32_t ms) {
        chain([this, name, ms](const std::string&, const std::string& entry) {
            if (entry == name) ticks.advance(ms);
        });
    }
    void chain(std::function<void(const std::string&, const std::string&)> hook) {
        auto previous = tree.onEntry;
        tree.onEntry = [previous, hook](const std::string& f, const std::string& e) {
            if (previous) previous(f, e);
            hook(f, e);
        };
    }
};

TEST_F(RunEvents, CancelInTheHandOverBeforeTheWalk) {
    tree.file(kRoot, "f", 1);
    tree.folder(kRoot, "sub");
    pressOnPump(2); // the hand-over just before the walk
    press();
    EXPECT_EQ(view.list1, zeroBlock(kRoot));
    EXPECT_EQ(tree.opened, std::vector<std::string>{kRoot});
    EXPECT_EQ(view.list3,
              (std::vector<std::string>{"/mnt/f 1,907 Mo", std::string("Recherche sur ") + kFolder,
                                        "Demande annulée avant la fin !!"}));
    EXPECT_EQ(report().back(), "Demande annulée avant la fin !!");
    EXPECT_EQ(report().size(), 2u + 5u + 1u);
    EXPECT_EQ(table().back(), std::string(kRoot) + "\t0\t0");
    EXPECT_FALSE(etat.DemandeAnnulation);
    EXPECT_EQ(view.caption, "&Démarrer");
    EXPECT_TRUE(view.okEnabled);
    EXPECT_TRUE(view.errors.empty());
    // InitBar's empty panels stay: no totals after a stop.
    EXPECT_EQ(view.panels[1], "");
}

TEST_F(RunEvents, CancelPressLeavesOkDisabledUntilTheRunEnds) {
    tree.file(kRoot, "f", 1);
    pressOnPump(2);
    press();
    // The nested press: closeOpti, disable, pump, caption back to start. Then no enable of OK
    // until the run ends, and the run's own caption change comes after that.
    const auto& c = view.calls;
    // Past OK enabled again and the pump before the walk.
    auto nested = std::find(c.begin(), c.end(), "setOkEnabled(1)") + 2;
    ASSERT_EQ(std::vector<std::string>(nested, nested + 4),
              (std::vector<std::string>{"closeOpti", "setOkEnabled(0)", "pump",
                                        "setOkCaption(&Démarrer)"}));
    EXPECT_EQ(std::count(nested, c.end(), "setOkEnabled(1)"), 1);
    EXPECT_EQ(c.end()[-11], "setOkEnabled(1)");
}

TEST_F(RunEvents, CancelInTheMiddleOfAFolder) {
    tree.folder(kRoot, "s1");
    for (const char* name : {"f1", "f2", "f3", "f4"})
        tree.file(kRoot, name, 1);
    tree.folder(kRoot, "s2");
    advanceAt("f2", 1001);
    pressOnPump(3); // the refresh after f2
    press();
    // f1, f2 and s1 were met; f3 is never read.
    EXPECT_EQ(view.list1, block(kRoot, "            2", "       12 288", "       12 286"));
    EXPECT_EQ(etat.NbFichiers, 2u);
    EXPECT_EQ(etat.NbRepertoires, 1u);
    EXPECT_EQ(tree.opened, std::vector<std::string>{kRoot});
    EXPECT_EQ(view.list3.back(), "Demande annulée avant la fin !!");
    // The panels keep what the refresh showed.
    EXPECT_EQ(view.panels[1], "1 répertoires");
    EXPECT_EQ(view.panels[2], "2 fichiers");
    EXPECT_EQ(view.panels[3], "0.01 Mo perdus");
}

TEST_F(RunEvents, CancelSeveralLevelsDownListsPendingFoldersEmpty) {
    const std::string a = tree.folder(kRoot, "a");
    const std::string z1 = tree.folder(kRoot, "z1");
    const std::string b = tree.folder(a, "b");
    const std::string z2 = tree.folder(a, "z2");
    const std::string c = tree.folder(b, "c");
    const std::string z3 = tree.folder(b, "z3");
    for (const char* name : {"x1", "x2", "x3"})
        tree.file(c, name, 100);
    for (const std::string& z : {z1, z2, z3}) {
        tree.file(z, "never", 1);
        tree.folder(z, "never-entered");
    }
    advanceAt("x2", 5000);
    pressOnPump(3);
    press();
    EXPECT_EQ(view.list1, concat({block(kRoot, "            0", "        8 192", "        8 192"),
                                  block(a, "            0", "        8 192", "        8 192"),
                                  block(b, "            0", "        8 192", "        8 192"),
                                  block(c, "          200", "        8 192", "        7 992"),
                                  zeroBlock(z3), zeroBlock(z2), zeroBlock(z1)}));
    // Pending folders are listed empty without being opened.
    EXPECT_EQ(tree.opened, (std::vector<std::string>{kRoot, a, b, c}));
    EXPECT_EQ(table().size(), 3u + 7u);
    EXPECT_EQ(table().back(), z1 + "\t0\t0");
    EXPECT_EQ(etat.NbFichiers, 2u);
}

TEST_F(RunEvents, SubFoldersClearedDuringTheRun) {
    const std::string a = tree.folder(kRoot, "a");
    const std::string b = tree.folder(kRoot, "b");
    const std::string a1 = tree.folder(a, "a1");
    tree.file(a, "fa", 1);
    tree.file(b, "fb", 1);
    advanceAt("fa", 2000);
    view.onPump = [this] {
        if (view.pumps == 3) view.sousRep = CheckState::Clear;
    };
    press();
    // a was already in the root's loop; a's own sub-folders are read after the change.
    EXPECT_EQ(tree.opened, (std::vector<std::string>{kRoot, a, b}));
    EXPECT_EQ(view.list1.size(), 12u);
    EXPECT_EQ(view.list3.size(), 5u);
}

// From any start, and across the wrap of the 32-bit counter.
class RunRefresh : public RunEvents, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(RunRefresh, StrictlyAfterThePeriod) {
    for (const char* name : {"f1", "f2", "f3"})
        tree.file(kRoot, name, 1);
    ticks.value = GetParam();
    advanceAt("f1", 1000); // exactly the period: no refresh
    advanceAt("f2", 1);    // one past it
    press();
    EXPECT_EQ(view.pumps, 4); // press, before the walk, the refresh after f2, after it
    EXPECT_EQ(view.callsStartingWith("setStatusPanel(2,"),
              (std::vector<std::string>{"setStatusPanel(2,)", "setStatusPanel(2,2 fichiers)",
                                        "setStatusPanel(2,3 fichiers)"}));
    EXPECT_EQ(etat.DernierRafraichissement, std::uint32_t(GetParam() + 1001u));
}

INSTANTIATE_TEST_SUITE_P(Starts, RunRefresh, ::testing::Values(100u, 0xFFFFFF00u));

TEST_F(RunEvents, PeriodChangedDuringTheRun) {
    for (const char* name : {"f1", "f2", "f3", "f4"})
        tree.file(kRoot, name, 1);
    advanceAt("f1", 1001); // refresh; the slider moves to 5 s in that pump
    advanceAt("f2", 4000); // 4000 since: would refresh with 1 s, not with 5 s
    advanceAt("f3", 1001); // 5001 since: refresh
    view.onPump = [this] {
        if (view.pumps == 3) etat.PeriodeRafraichissement = 5000;
    };
    press();
    EXPECT_EQ(
        view.callsStartingWith("setStatusPanel(2,"),
        (std::vector<std::string>{"setStatusPanel(2,)", "setStatusPanel(2,1 fichiers)",
                                  "setStatusPanel(2,3 fichiers)", "setStatusPanel(2,4 fichiers)"}));
}

TEST_F(RunEvents, SubFolderEntriesHandOverWithoutRefreshing) {
    for (int i = 0; i < 5; ++i)
        tree.folder(kRoot, "d" + std::to_string(i));
    ticks.step = 5000; // every reading is long past the last
    press();
    EXPECT_EQ(view.pumps, 3 + 5); // one hand-over per sub-folder entry
    // The panels are only cleared at the start and filled at the end.
    EXPECT_EQ(view.callsStartingWith("setStatusPanel(1,").size(), 2u);
}

} // namespace
} // namespace kesp::test
