#pragma once
// What the walk tells a front end, on the walk's own thread.
//
// Call protocol of one run (runScan):
//   walkStarted()                          the result files are open, their head lines written
//   then for the root and each folder below it, in depth-first pre-order, sub-folders in the
//   order their parent lists them:
//     enteringFolder(path)                 not for the root
//     beforeEntry() before every entry, and once more before the test that ends the folder;
//       fileMeasured(file, counts) after each file, subFolderCounted(counts) after each
//       sub-folder entry
//     folderUnreadable(folder)             when the folder, or the rest of it, could not be read
//     folderMeasured(figures)              the folder's block
//     walkSubFolders(request.subFolders)   unless the walk is stopping
//   finished(outcome)                      once; also returned by runScan
// A stop requested in the token is seen at the next beforeEntry(): the folder ends there and
// the sub-folders still pending each get an empty block, without being read.
#include <cstdint>
#include <string>
#include <string_view>

#include "scan/run_outcome.h"

namespace kesp {

// The run so far, for a status display.
struct WalkCounts {
    std::uint64_t folders = 0;
    std::uint64_t files = 0;
    std::uint64_t lost = 0; // bytes
};

struct FileFigures {
    std::string_view name;
    std::uint64_t size = 0;
    std::uint64_t real = 0; // the size rounded up to whole clusters
};

struct FolderFigures {
    std::string_view path; // ends with the separator
    std::uint64_t useful = 0;
    std::uint64_t real = 0; // its files' clusters, and one cluster per sub-folder
};

class ScanObserver {
public:
    virtual ~ScanObserver() = default;
    virtual void walkStarted() {}
    virtual void beforeEntry() {}
    virtual void fileMeasured(const FileFigures& file, const WalkCounts& counts) {
        (void)file;
        (void)counts;
    }
    virtual void subFolderCounted(const WalkCounts& counts) { (void)counts; }
    virtual void enteringFolder(std::string_view path) { (void)path; }
    virtual void folderUnreadable(const UnreadableFolder& folder) { (void)folder; }
    virtual void folderMeasured(const FolderFigures& folder) = 0;
    // Asked after each folder's block: whether its sub-folders are walked. A window whose box
    // can change during the run answers from it; by default, what the request said.
    virtual bool walkSubFolders(bool requested) { return requested; }
    virtual void finished(const RunOutcome& outcome) { (void)outcome; }
};

} // namespace kesp
