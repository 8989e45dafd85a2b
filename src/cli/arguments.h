#pragma once
// The command line of kesp-scan:
//   kesp-scan [--cluster-size BYTES [--fat32|--exfat]] [--no-subfolders] [--detail] [--report FILE]
//             [--table FILE] [--what-if] [--plan] [--plan-table FILE] [--volume-size BYTES]
//             FOLDER
//   kesp-scan --volume-info FOLDER
//   kesp-scan --partitions IMAGE
// FOLDER may also be an image or a folder in one: IMAGE, IMAGE:N:/, IMAGE:/DCIM, IMAGE:N:/DCIM.
// Without --cluster-size the cluster size and the file-system gate of FOLDER's volume decide.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kesp {

struct ScanArguments {
    std::optional<std::int32_t> clusterSize;
    bool subFolders = true;
    bool detail = false;
    std::optional<std::string> report;
    std::optional<std::string> table;
    std::string folder;
    bool help = false;
    bool volumeInfo = false; // print the partition report of FOLDER's volume instead of scanning
    bool whatIf = false;     // print the optimisation table after the run
    bool partitions = false; // print FOLDER's partition table (FOLDER is an image)
    bool fat32 = false;      // with --cluster-size: the table is FAT32's
    bool exfat = false;      // with --cluster-size: the volume is exFAT (its folders, its table)
    bool plan = false;       // print the format plan after the totals
    std::optional<std::string> planTable;    // write the plan there, tab-separated
    std::optional<std::uint64_t> volumeSize; // the volume the plan is for; default: FOLDER's
};

inline constexpr const char* kScanUsage =
    "usage: kesp-scan [--cluster-size BYTES [--fat32|--exfat]] [--no-subfolders] [--detail] "
    "[--report FILE] [--table FILE] [--what-if] [--plan] [--plan-table FILE] "
    "[--volume-size BYTES] FOLDER | kesp-scan --volume-info FOLDER | "
    "kesp-scan --partitions IMAGE";

// `args` without the program name. Returns an empty text when they are valid, else a one-line
// reason. "--" ends the options, so a FOLDER may start with "-".
std::string parseScanArguments(const std::vector<std::string>& args, ScanArguments& out);

} // namespace kesp
