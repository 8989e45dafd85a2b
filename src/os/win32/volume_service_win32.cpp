#include "os/win32/volume_service_win32.h"

#include <windows.h>

#include <cstring>

#include "os/error_codes.h"
#include "os/win32/drive_letter.h"

namespace kesp {
namespace {

constexpr DWORD kBufferSize = 260;

// Without this a drive with no medium pops up the system's own "insert a disk" box.
class QuietCriticalErrors {
public:
    QuietCriticalErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietCriticalErrors() { SetErrorMode(previous_); }

private:
    UINT previous_;
};

std::string cutAtNul(const char* buffer) {
    return std::string(buffer, strnlen(buffer, kBufferSize));
}

class Win32VolumeService final : public VolumeService {
public:
    std::vector<std::string> drives() override {
        std::vector<std::string> entries;
        char roots[4 * 26 + 1] = {};
        const DWORD length = GetLogicalDriveStringsA(sizeof roots - 1, roots);
        if (length == 0 || length >= sizeof roots) return entries;
        for (const char* root = roots; *root; root += std::strlen(root) + 1) {
            // The drive list shows the letter in lower case, then the label in brackets.
            std::string entry{char(root[0] | 0x20), ':'};
            VolumeInformation info;
            if (volumeInformation(root, info) && !info.name.empty())
                entry += " [" + info.name + "]";
            entries.push_back(entry);
        }
        return entries;
    }

    std::optional<std::string> rootPath(const std::string& designation) override {
        return win32RootPath(designation);
    }

    std::string entryRoot(const std::string& entry) override { return win32EntryRoot(entry); }

    bool probeRoot(const std::string& root) override {
        const QuietCriticalErrors quiet;
        WIN32_FIND_DATAA data;
        // A card just formatted, or emptied, is a volume like any other: the root need only list.
        const HANDLE search = FindFirstFileA((root + "*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
        FindClose(search);
        return true;
    }

    bool volumeInformation(const std::string& root, VolumeInformation& info) override {
        const QuietCriticalErrors quiet;
        char name[kBufferSize] = {};
        char fileSystem[kBufferSize] = {};
        DWORD serial = 0, maxLength = 0, flags = 0;
        const BOOL ok = GetVolumeInformationA(root.c_str(), name, kBufferSize, &serial, &maxLength,
                                              &flags, fileSystem, kBufferSize);
        info.name = cutAtNul(name);
        info.fileSystem = cutAtNul(fileSystem);
        info.serial = serial;
        info.flags = flags;
        info.maxComponentLength = maxLength;
        return ok != 0;
    }

    bool diskFreeSpace(const std::string& root, std::uint32_t& sectorsPerCluster,
                       std::uint32_t& bytesPerSector) override {
        const QuietCriticalErrors quiet;
        DWORD spc = 0, bps = 0, freeClusters = 0, totalClusters = 0;
        if (!GetDiskFreeSpaceA(root.c_str(), &spc, &bps, &freeClusters, &totalClusters))
            return false;
        sectorsPerCluster = spc;
        bytesPerSector = bps;
        return true;
    }

    int readiness(const std::string& root) override {
        const QuietCriticalErrors quiet;
        DWORD spc = 0, bps = 0, freeClusters = 0, totalClusters = 0;
        if (GetDiskFreeSpaceA(root.c_str(), &spc, &bps, &freeClusters, &totalClusters)) return 0;
        // A root that cannot be reached is a device that is not there (no medium, a drive
        // letter that went away); only a refused access is something else.
        return GetLastError() == ERROR_ACCESS_DENIED ? kErrorPathAccess : kErrorDeviceUnavailable;
    }

    std::string driveOf(const std::string& folder) override {
        const auto root = win32RootPath(folder);
        if (!root) return {};
        std::string entry{char((*root)[0] | 0x20), ':'};
        VolumeInformation info;
        if (volumeInformation(*root, info) && !info.name.empty()) entry += " [" + info.name + "]";
        return entry;
    }

    std::uint64_t totalMegabytes(const std::string& root) override {
        const QuietCriticalErrors quiet;
        ULARGE_INTEGER available, total, free;
        if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) return 0;
        return total.QuadPart / (1024 * 1024);
    }

    std::uint64_t totalBytes(const std::string& root) override {
        const QuietCriticalErrors quiet;
        ULARGE_INTEGER available, total, free;
        if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) return 0;
        return total.QuadPart;
    }
};

} // namespace

std::unique_ptr<VolumeService> makeWin32VolumeService() {
    return std::make_unique<Win32VolumeService>();
}

} // namespace kesp
