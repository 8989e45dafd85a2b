#pragma once
// What a front end asks of the walk.
#include <cstdint>
#include <string>

namespace kesp {

struct ScanRequest {
    // The folder as the user named it: the "liste de" line and the paths below are spelt from it.
    std::string folder;
    std::uint64_t clusterSize = 0; // > 0
    bool subFolders = true; // false: the folder alone, its sub-folders counted but not listed
    bool detail = false;    // one report line per file
    // The result files; an empty path writes none.
    std::string reportPath;
    std::string tablePath;
    std::string header;       // the files' first line (the drive and its size)
    std::string numberMask;   // of the total lines
    std::string detailHeader; // heads a folder's detail lines
    bool tally = true;        // gather what the format plan needs (costs a little per name)
    // The volume is exFAT, whose folders hold no "." and "..": a sub-folder counts the length its
    // entry stores (one cluster where the listing cannot tell), and at the what-if sizes the
    // clusters its children's entry sets fill.
    bool exfat = false;
};

} // namespace kesp
