#pragma once
// The window driving itself, for the check under wine: open a disk image or choose a folder,
// press Démarrer, wait for the end, open Opti and the plan, take screenshots and keep the result
// files.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "images/image_volumes.h"
#include "os/volume_service.h"

namespace kesp {

class Win32Form1;

struct SelftestArgs {
    std::string folder; // the folder to scan, or a disk image whose first FAT volume is scanned
    std::string outdir; // where the screenshots and the result files' copies go
};

// "--selftest FOLDER OUTDIR" among the arguments (after the program name); nullopt without it or
// when a value is missing.
std::optional<SelftestArgs> parseSelftest(const std::vector<std::string>& args);

// Wine reports every drive as NTFS, which the gate refuses; the self-test lets such a volume
// through as FAT32 so that a scan of a folder runs end to end. Images keep their own type.
class Fat32Volumes final : public VolumeService {
public:
    explicit Fat32Volumes(VolumeService& real) : real_(real) {}
    std::vector<std::string> drives() override { return real_.drives(); }
    std::optional<std::string> rootPath(const std::string& d) override { return real_.rootPath(d); }
    std::string entryRoot(const std::string& entry) override { return real_.entryRoot(entry); }
    bool probeRoot(const std::string& root) override { return real_.probeRoot(root); }
    bool volumeInformation(const std::string& root, VolumeInformation& info) override;
    bool diskFreeSpace(const std::string& root, std::uint32_t& sectorsPerCluster,
                       std::uint32_t& bytesPerSector) override {
        return real_.diskFreeSpace(root, sectorsPerCluster, bytesPerSector);
    }
    int readiness(const std::string& root) override { return real_.readiness(root); }
    std::string driveOf(const std::string& folder) override { return real_.driveOf(folder); }
    std::uint64_t totalMegabytes(const std::string& root) override {
        return real_.totalMegabytes(root);
    }

private:
    VolumeService& real_;
};

// What the window (or its client area alone) shows on the screen, as a 24-bit BMP file; false
// when it could not be written.
bool saveScreenshot(HWND hwnd, const std::string& bmpFile, bool clientOnly = false);

// Runs the scenario on `form`, already shown; 0 when the scan wrote both result files and the
// screenshots were saved, 2 when the folder or the image could not be chosen.
int runSelftest(Win32Form1& form, VolumeService& volumes, ImageVolumes& images,
                const SelftestArgs& args);

} // namespace kesp
