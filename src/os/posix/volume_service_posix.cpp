#include "os/posix/volume_service_posix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "os/error_codes.h"
#include "os/posix/drive_designation.h"
#include "os/posix/mount_table.h"
#include "os/posix/mount_watch.h"
#include "os/posix/volume_evidence.h"

namespace kesp {
namespace {

// How long one query of a mount is waited for. A healthy mount answers in microseconds, a disk
// that spins up within this; past it the mount is shown as not answering.
constexpr std::chrono::milliseconds kMountAnswerLimit{500};

class PosixVolumeService final : public VolumeService {
public:
    explicit PosixVolumeService(std::string mountInfoPath)
        : mountInfoPath_(std::move(mountInfoPath)) {}

    std::vector<std::string> drives() override {
        std::vector<std::string> entries;
        for (const auto& mount : listedDrives(readMountTable(mountInfoPath_)))
            entries.push_back(entryOf(mount));
        return entries;
    }

    std::optional<std::string> rootPath(const std::string& designation) override {
        const auto mounts = readMountTable(mountInfoPath_);
        if (const MountEntry* mount = named(mounts, designation))
            return rootOfMountPoint(mount->mountPoint);
        return std::nullopt;
    }

    std::string entryRoot(const std::string& entry) override {
        if (auto root = rootPath(entry)) return *root;
        // A drive that left the mount table: its root as the entry names it, label dropped.
        const auto candidates = mountPointCandidates(trimBlanks(entry));
        return candidates.empty() ? std::string() : rootOfMountPoint(candidates.back());
    }

    bool probeRoot(const std::string& root) override {
        return watch_.run<bool>(keyOf(root), [root] { return rootListable(root); }).value_or(false);
    }

    bool volumeInformation(const std::string& root, VolumeInformation& info) override {
        const auto facts = factsOfRoot(root);
        if (!facts) return false;
        info = facts->info;
        return true;
    }

    bool diskFreeSpace(const std::string& root, std::uint32_t& sectorsPerCluster,
                       std::uint32_t& bytesPerSector) override {
        const auto facts = factsOfRoot(root);
        if (!facts || !facts->geometryKnown) return false;
        sectorsPerCluster = facts->sectorsPerCluster;
        bytesPerSector = facts->bytesPerSector;
        return true;
    }

    int readiness(const std::string& root) override {
        const auto mounts = readMountTable(mountInfoPath_);
        const MountEntry* mount = named(mounts, root);
        if (!mount) return kErrorDeviceUnavailable; // the mount vanished
        // One that does not answer is refused as a drive without medium.
        return watch_.run<int>(mount->mountPoint, [root] { return readinessOfPath(root); })
            .value_or(kErrorDeviceUnavailable);
    }

    std::string driveOf(const std::string& folder) override {
        const auto mounts = readMountTable(mountInfoPath_);
        char resolved[PATH_MAX];
        // A folder on a dead FUSE mount cannot be resolved; its text still names the mount.
        const std::string path = ::realpath(folder.c_str(), resolved) ? resolved : folder;
        const MountEntry* mount = mountHolding(mounts, path);
        return mount ? entryOf(*mount) : std::string();
    }

    std::uint64_t totalMegabytes(const std::string& root) override {
        const auto facts = factsOfRoot(root);
        return facts ? facts->totalBytes / (1024 * 1024) : 0;
    }

    std::uint64_t totalBytes(const std::string& root) override {
        const auto facts = factsOfRoot(root);
        return facts ? facts->totalBytes : 0;
    }

private:
    // The mount a designation names, or nullptr.
    static const MountEntry* named(const std::vector<MountEntry>& mounts,
                                   const std::string& designation) {
        for (const auto& candidate : mountPointCandidates(trimBlanks(designation)))
            for (const auto& mount : mounts)
                if (mount.mountPoint == candidate) return &mount;
        return nullptr;
    }

    // The watch's key for a root: its mount point, or the root itself when no mount holds it.
    std::string keyOf(const std::string& root) const {
        const auto mounts = readMountTable(mountInfoPath_);
        const MountEntry* mount = named(mounts, root);
        return mount ? mount->mountPoint : root;
    }

    // A card just formatted, or emptied, is a volume like any other: the root need only list.
    static bool rootListable(const std::string& root) {
        DIR* dir = ::opendir(root.c_str());
        if (!dir) return false;
        errno = 0;
        while (::readdir(dir) != nullptr) {
        }
        const bool listed = errno == 0;
        ::closedir(dir);
        return listed;
    }

    static int readinessOfPath(const std::string& path) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) return 0;
        switch (errno) {
        case EACCES:
        case EPERM:
            return kErrorPathAccess;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return kErrorPathNotFound;
        default: // ENOTCONN (dead FUSE daemon), EIO, ENODEV, ENXIO, ENOMEDIUM, ENOENT, ESTALE
            return kErrorDeviceUnavailable;
        }
    }

    std::optional<VolumeFacts> factsOfRoot(const std::string& root) {
        const auto mounts = readMountTable(mountInfoPath_);
        const MountEntry* mount = named(mounts, root);
        if (!mount) return std::nullopt;
        return watch_
            .run<std::optional<VolumeFacts>>(mount->mountPoint,
                                             [mount = *mount]() -> std::optional<VolumeFacts> {
                                                 if (readinessOfPath(mount.mountPoint) != 0)
                                                     return std::nullopt;
                                                 auto evidence = gatherEvidence(mount);
                                                 if (!evidence.stat && !evidence.boot)
                                                     return std::nullopt;
                                                 return describeVolume(evidence);
                                             })
            .value_or(std::nullopt);
    }

    std::string entryOf(const MountEntry& mount) {
        const auto label = watch_.run<std::string>(mount.mountPoint, [mount] {
            if (readinessOfPath(mount.mountPoint) != 0) return std::string();
            return describeVolume(gatherEvidence(mount)).info.name;
        });
        return label ? driveEntryText(mount.mountPoint, *label)
                     : unresponsiveEntryText(mount.mountPoint);
    }

    std::string mountInfoPath_;
    MountWatch watch_{kMountAnswerLimit};
};

} // namespace

std::unique_ptr<VolumeService> makePosixVolumeService() {
    return makePosixVolumeService("/proc/self/mountinfo");
}

std::unique_ptr<VolumeService> makePosixVolumeService(std::string mountInfoPath) {
    return std::make_unique<PosixVolumeService>(std::move(mountInfoPath));
}

} // namespace kesp
