#pragma once
// A run against the recorder, the in-memory tree, hand-moved ticks and in-memory files.
#include <gtest/gtest.h>

#include "support/fake_ticks.h"
#include "support/memory_output_files.h"
#include "support/memory_tree.h"
#include "support/recording_scan_view.h"
#include "window/scan_press.h"

namespace kesp::test {

class RunFixture : public ::testing::Test {
protected:
#ifdef _WIN32
    static constexpr const char* kDriveRoot = "F:\\";
    static constexpr const char* kFolder = "F:\\data";
    static constexpr const char* kRoot = "F:\\data\\";
#else
    static constexpr const char* kDriveRoot = "/";
    static constexpr const char* kFolder = "/mnt/f/data";
    static constexpr const char* kRoot = "/mnt/f/data/";
#endif
    static constexpr char kSep[] = {kSeparator, '\0'};
    static constexpr const char* kReport = "/tmp/r1";
    static constexpr const char* kTable = "/tmp/r2";

    RunFixture() {
        etat.TailleCluster = 4096;
        etat.PartitionFat = true;
        etat.TailleDisqueMo = 1907;
        etat.CheminRes1 = kReport;
        etat.CheminRes2 = kTable;
        etat.PeriodeRafraichissement = 1000;
        view.folder = kFolder;
    }

    void press() {
        OK_Click(etat, "Kesp", view, services);
    }
    // A press from inside a pump: what a second click on OK does during the run.
    void pressOnPump(int pumpNumber) {
        view.onPump = [this, pumpNumber] {
            if (view.pumps == pumpNumber) press();
        };
    }
    const std::vector<std::string>& report() {
        return files.lines[kReport];
    }
    const std::vector<std::string>& table() {
        return files.lines[kTable];
    }

    MemoryTree tree;
    FakeTicks ticks;
    MemoryOutputFiles files;
    RecordingScanView view;
    EtatScan etat;
    ScanServices services{tree, ticks, files, NumberChars{}};
};

// The four List1 lines of a folder's block.
inline std::vector<std::string> block(const std::string& path, const char* useful, const char* real,
                                      const char* loss) {
    return {path, std::string(" Taille utile     : ") + useful + " octets",
            std::string(" Taille réelle    : ") + real + " octets",
            std::string("     Espace perdu : ") + loss + " octets"};
}

inline std::vector<std::string> zeroBlock(const std::string& path) {
    return block(path, "            0", "            0", "            0");
}

inline std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace kesp::test
