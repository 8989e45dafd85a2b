#pragma once
// kesp-scan run in process over real folders and result files, a volume table in memory and
// hand-moved ticks; what it printed is kept as text.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/kesp_scan.h"
#ifdef _WIN32
#include "os/win32/folder_enum_win32.h"
#include "os/win32/output_files_win32.h"
#else
#include "os/posix/folder_enum_posix.h"
#include "os/posix/output_files_posix.h"
#endif
#include "support/fake_ticks.h"
#include "support/fake_volume_service.h"
#include "support/temp_dir.h"

namespace kesp::test {

class ScanHarness : public ::testing::Test {
protected:
    explicit ScanHarness(TempDir::Backing backing = TempDir::Backing::Disk) : dir(backing) {}

    int run(const std::vector<std::string>& args) {
        std::ostringstream o, e;
        KespScanServices services{*enumerator,   ticks,       files,       volumes,
                                  NumberChars{}, interrupted, statusOnErr, nullptr,
                                  escapeOut,     escapeErr,   stopSignal};
        const int status = runKespScan(args, o, e, services);
        out = o.str();
        err = e.str();
        return status;
    }

    TempDir dir;
    FakeVolumeService volumes;
#ifdef _WIN32
    Win32FolderEnumerator folders;
    Win32OutputFiles files;
#else
    PosixFolderEnumerator folders;
    PosixOutputFiles files;
#endif
    FolderEnumerator* enumerator = &folders;
    FakeTicks ticks;
    std::function<bool()> interrupted; // empty: never
    bool statusOnErr = false;
    bool escapeOut = false;
    bool escapeErr = false;
    std::function<int()> stopSignal; // empty: a stop is a Ctrl+C
    std::string out, err;
};

// The lines joined, each followed by `end`.
inline std::string joined(const std::vector<std::string>& lines, const char* end = "\n") {
    std::string s;
    for (const auto& l : lines)
        s += l + end;
    return s;
}

// The real listing, with something done to the tree just before a given folder is opened.
class TamperingEnumerator : public FolderEnumerator {
public:
    using Hook = std::function<void(const std::string&)>;
    TamperingEnumerator(FolderEnumerator& real, Hook before)
        : real_(real), before_(std::move(before)) {}
    void beginWalk(const std::string& root) override { real_.beginWalk(root); }
    void endWalk() override { real_.endWalk(); }
    std::unique_ptr<FolderListing> open(const std::string& path) override {
        before_(path);
        return std::make_unique<Listing>(real_.open(path), path, before_);
    }
    char separatorFor(const std::string& root) const override { return real_.separatorFor(root); }

private:
    class Listing : public FolderListing {
    public:
        Listing(std::unique_ptr<FolderListing> real, std::string path, Hook& before)
            : real_(std::move(real)), path_(std::move(path)), before_(before) {}
        bool next(FolderEntry& entry) override { return real_->next(entry); }
        std::optional<ListingFailure> failure() const override { return real_->failure(); }
        std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
            const std::string child = path_ + entry.name + kSeparator;
            before_(child);
            return std::make_unique<Listing>(real_->openChild(entry), child, before_);
        }

    private:
        std::unique_ptr<FolderListing> real_;
        std::string path_;
        Hook& before_;
    };

    FolderEnumerator& real_;
    Hook before_;
};

inline bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace kesp::test
