// The walk against an in-memory tree: what it reports, in which order, and that neither depth
// nor folders reached twice can exhaust it.
#include <gtest/gtest.h>

#include "scan/result_lines.h"
#include "scan/walk.h"
#include "support/fake_ticks.h"
#include "support/memory_output_files.h"
#include "support/memory_tree.h"

namespace kesp::test {
namespace {

const std::string kRoot = std::string("data") + kSeparator;

// Records the calls, one short line each.
class Recorder : public ScanObserver {
public:
    std::vector<std::string> calls;
    std::function<void()> onEntry;
    void walkStarted() override { calls.push_back("started"); }
    void beforeEntry() override {
        if (onEntry) onEntry();
    }
    void fileMeasured(const FileFigures& file, const WalkCounts& counts) override {
        calls.push_back("file " + std::string(file.name) + " " + std::to_string(file.real) + " " +
                        std::to_string(counts.files) + "/" + std::to_string(counts.lost));
    }
    void subFolderCounted(const WalkCounts& counts) override {
        calls.push_back("sub " + std::to_string(counts.folders));
    }
    void enteringFolder(std::string_view path) override {
        calls.push_back("enter " + std::string(path));
    }
    void folderUnreadable(const UnreadableFolder& folder) override {
        calls.push_back("unreadable " + folder.path + " " + folder.reason);
    }
    void folderMeasured(const FolderFigures& folder) override {
        calls.push_back("block " + std::string(folder.path) + " " + std::to_string(folder.useful) +
                        " " + std::to_string(folder.real));
    }
    void finished(const RunOutcome&) override { calls.push_back("finished"); }
};

// A chain of `depth` folders, each holding the next one: as deep as a test wants, in no memory.
class ChainTree : public FolderEnumerator {
public:
    explicit ChainTree(std::uint64_t depth) : depth_(depth) {}
    std::uint64_t deepestOpen = 0;
    std::unique_ptr<FolderListing> open(const std::string&) override {
        return std::make_unique<Level>(*this, 0);
    }

private:
    class Level : public FolderListing {
    public:
        Level(ChainTree& tree, std::uint64_t depth) : tree_(tree), depth_(depth) {
            tree_.deepestOpen = std::max(tree_.deepestOpen, depth);
        }
        bool next(FolderEntry& entry) override {
            if (given_ || depth_ + 1 >= tree_.depth_) return false;
            given_ = true;
            entry = {"d", true, 0, depth_ + 1};
            return true;
        }
        std::optional<FolderId> id() const override { return FolderId{0, depth_}; }
        std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
            return std::make_unique<Level>(tree_, entry.cookie);
        }

    private:
        ChainTree& tree_;
        std::uint64_t depth_;
        bool given_ = false;
    };
    std::uint64_t depth_;
};

// The same chain named as in an image on Windows: "/" below the root, whatever the system's
// separator; here "|", which no system has.
class PipeChain : public ChainTree {
public:
    using ChainTree::ChainTree;
    mutable std::vector<std::string> asked;
    char separatorFor(const std::string& root) const override {
        asked.push_back(root);
        return '|';
    }
};

class Walk : public ::testing::Test {
protected:
    RunOutcome run(FolderEnumerator& folders) {
        ScanServices services{folders, ticks, files, NumberChars{}};
        return runScan(request, services, recorder, stop);
    }
    ScanRequest request = [] {
        ScanRequest r;
        r.folder = "data";
        r.clusterSize = 4096;
        r.reportPath = "r1";
        r.tablePath = "r2";
        r.header = "H";
        r.numberMask = "#,###,###,##0";
        return r;
    }();
    MemoryTree tree;
    FakeTicks ticks;
    MemoryOutputFiles files;
    Recorder recorder;
    StopToken stop;
};

TEST_F(Walk, ReportsEachFolderInPreOrderWithItsFigures) {
    tree.file(kRoot, "a", 5000);
    const std::string sub = tree.folder(kRoot, "sub");
    tree.file(sub, "b", 1);
    tree.folder(sub, "empty");
    const RunOutcome outcome = run(tree);
    const std::string empty = sub + "empty" + kSeparator;
    EXPECT_EQ(recorder.calls,
              (std::vector<std::string>{"started", "file a 8192 1/3192", "sub 1",
                                        "block " + kRoot + " 5000 12288", "enter " + sub,
                                        "file b 4096 2/7287", "sub 2", "block " + sub + " 1 8192",
                                        "enter " + empty, "block " + empty + " 0 0", "finished"}));
    EXPECT_EQ(outcome.end, RunEnd::Completed);
    EXPECT_EQ(outcome.totals.folders, 2u);
    EXPECT_EQ(outcome.totals.files, 2u);
    EXPECT_EQ(outcome.totals.useful, 5001u);
    EXPECT_EQ(outcome.totals.real, 20480u);
    // At 2048 bytes: 6144 + 2048 for the files, one cluster for each sub-folder.
    EXPECT_EQ(outcome.totals.realAt[clusterSizeIndex(2048)], 6144u + 2048u + 2 * 2048u);
    EXPECT_EQ(outcome.totals.tally.folders, 2u);
    EXPECT_EQ(files.lines["r1"].back(), totalLossLine(15479, request.numberMask, {}));
    EXPECT_TRUE(files.committed["r1"] && files.committed["r2"]);
}

TEST_F(Walk, PathsTakeTheSeparatorOfTheirEnumerator) {
    PipeChain chain(3);
    request.folder = "card";
    run(chain);
    EXPECT_EQ(chain.asked, std::vector<std::string>{"card"});
    std::vector<std::string> entered;
    for (const std::string& call : recorder.calls)
        if (call.starts_with("enter ")) entered.push_back(call.substr(6));
    EXPECT_EQ(entered, (std::vector<std::string>{"card|d|", "card|d|d|"}));
}

// exFAT folders hold no "." nor "..": a sub-folder counts the length its entry stores (a folder
// that grew takes several clusters, one that never had a cluster none), one cluster where the
// listing cannot tell; at the what-if sizes, what its children's entry sets fill, one cluster
// at least.
TEST_F(Walk, ExfatSubFoldersCountWhatTheyStore) {
    request.exfat = true;
    request.tally = false;
    const std::string big = tree.folder(kRoot, "gros");
    tree.stored(big, 3 * 4096);
    for (int i = 0; i < 300; ++i) // 300 sets of 3 entries: 28,800 bytes
        tree.file(big, "f" + std::to_string(i), 1);
    tree.stored(tree.folder(kRoot, "jamais"), 0);
    const std::string unknown = tree.folder(kRoot, "inconnu");
    tree.file(unknown, std::string(16, 'n'), 0); // 4 entries
    const RunOutcome outcome = run(tree);
    EXPECT_EQ(outcome.end, RunEnd::Completed);
    const auto blockOf = [&](const std::string& path) {
        for (const std::string& call : recorder.calls)
            if (call.rfind("block " + path + " ", 0) == 0) return call;
        return std::string();
    };
    EXPECT_EQ(blockOf(kRoot), "block " + kRoot + " 0 " + std::to_string(3 * 4096 + 0 + 4096));
    EXPECT_EQ(outcome.totals.real, 4 * 4096u + 300 * 4096u);
    const auto at = [&](std::uint32_t k) { return outcome.totals.realAt[clusterSizeIndex(k)]; };
    // 512: the files, then 28,800 bytes of entries, an empty folder, 128 bytes of entries.
    EXPECT_EQ(at(512), 300 * 512u + 57 * 512u + 512u + 512u);
    EXPECT_EQ(at(4096), 300 * 4096u + 8 * 4096u + 4096u + 4096u);
    EXPECT_EQ(at(32768), 300 * 32768u + 3 * 32768u);
    // Not walked, each counts as a new folder would: one cluster.
    request.subFolders = false;
    const RunOutcome shallow = run(tree);
    EXPECT_EQ(shallow.totals.realAt[clusterSizeIndex(4096)], 3 * 4096u);
    EXPECT_EQ(shallow.totals.real, 4 * 4096u);
}

TEST_F(Walk, WithoutTheTallyThePlanGetsNothing) {
    tree.file(kRoot, "a", 5000);
    tree.folder(kRoot, "sub");
    request.tally = false;
    const RunOutcome outcome = run(tree);
    EXPECT_EQ(outcome.totals.tally.files, 0u);
    EXPECT_EQ(outcome.totals.tally.rootEntries, 0u);
    EXPECT_EQ(outcome.totals.files, 1u);
}

TEST_F(Walk, DepthIsBoundedByNeitherTheStackNorThePath) {
    ChainTree chain(30000);
    std::uint64_t blocks = 0;
    std::size_t longest = 0;
    class Counter : public ScanObserver {
    public:
        Counter(std::uint64_t& blocks, std::size_t& longest) : blocks_(blocks), longest_(longest) {}
        void folderMeasured(const FolderFigures& f) override {
            ++blocks_;
            longest_ = std::max(longest_, f.path.size());
        }

    private:
        std::uint64_t& blocks_;
        std::size_t& longest_;
    } counter(blocks, longest);
    // Every folder's path would go to the files: gigabytes at this depth. None is written.
    request.reportPath.clear();
    request.tablePath.clear();
    ScanServices services{chain, ticks, files, NumberChars{}};
    const RunOutcome outcome = runScan(request, services, counter, stop);
    EXPECT_EQ(outcome.end, RunEnd::Completed);
    EXPECT_EQ(blocks, 30000u);
    EXPECT_EQ(outcome.totals.folders, 29999u);
    EXPECT_EQ(longest, kRoot.size() + 2 * 29999u);
    EXPECT_EQ(chain.deepestOpen, 29999u);
    EXPECT_TRUE(files.created.empty());
}

TEST_F(Walk, AFolderReachedAgainIsReportedNotWalkedAgain) {
    // Each level holds two entries for the same next folder: walked once per path, 2^30 folders.
    std::string level = kRoot;
    for (int i = 0; i < 30; ++i) {
        const std::string next = tree.folder(level, "n");
        tree.alias(level, "m", next);
        tree.file(next, "f", 10);
        level = next;
    }
    const RunOutcome outcome = run(tree);
    EXPECT_EQ(outcome.end, RunEnd::Completed);
    EXPECT_EQ(outcome.totals.files, 30u);
    ASSERT_EQ(outcome.problems.unreadable.size(), 30u);
    // Depth first: the root's own second entry is the last one met.
    EXPECT_EQ(outcome.problems.unreadable.back().path, kRoot + "m" + kSeparator);
    EXPECT_EQ(outcome.problems.unreadable[0].reason, "dossier déjà parcouru (clusters partagés)");
    // A folder that holds its own parent is the same case.
    MemoryTree loop;
    const std::string a = loop.folder(kRoot, "a");
    loop.alias(a, "up", kRoot);
    recorder.calls.clear();
    const RunOutcome looped = run(loop);
    ASSERT_EQ(looped.problems.unreadable.size(), 1u);
    EXPECT_EQ(looped.problems.unreadable[0].path, a + "up" + kSeparator);
}

TEST_F(Walk, AStopEndsTheFolderAndLeavesPendingSubFoldersEmpty) {
    const std::string one = tree.folder(kRoot, "one");
    tree.folder(kRoot, "two");
    tree.file(one, "x", 1);
    tree.file(one, "y", 1);
    tree.folder(one, "deep");
    int entries = 0;
    recorder.onEntry = [&] {
        if (++entries == 5) stop.request(); // before one's second file
    };
    const RunOutcome outcome = run(tree);
    EXPECT_EQ(outcome.end, RunEnd::Cancelled);
    EXPECT_EQ(outcome.totals.files, 1u);
    const std::vector<std::string> tail(recorder.calls.end() - 3, recorder.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"enter " + kRoot + "two" + kSeparator,
                                              "block " + kRoot + "two" + kSeparator + " 0 0",
                                              "finished"}));
    EXPECT_EQ(files.lines["r1"].back(), std::string(kLineCancelled));
}

} // namespace
} // namespace kesp::test
