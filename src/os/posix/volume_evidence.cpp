#include "os/posix/volume_evidence.h"

#include <blkid.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>

#include "fat/exfat_volume.h"

namespace kesp {
namespace {

bool isVolumeFile(const struct stat& st) {
    return S_ISREG(st.st_mode) || S_ISBLK(st.st_mode);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Opens a block device or regular file read-only; -1 for anything else.
int openVolumeFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || path[0] != '/' || ::stat(path.c_str(), &st) != 0 || !isVolumeFile(st))
        return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return -1;
    // The path may have been replaced between the two looks.
    if (::fstat(fd, &st) != 0 || !isVolumeFile(st)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool readFully(int fd, std::uint64_t offset, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        if (offset + done > std::uint64_t(std::numeric_limits<off_t>::max())) return false;
        const ssize_t n = ::pread(fd, out.data() + done, out.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

// The FAT library's view of an open volume file.
class DescriptorReader final : public fat::ByteReader {
public:
    explicit DescriptorReader(int fd) : fd_(fd) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            size_ = static_cast<std::uint64_t>(st.st_size);
        } else {
            const off_t end = ::lseek(fd, 0, SEEK_END);
            size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        }
    }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        return offset <= size_ && out.size() <= size_ - offset && readFully(fd_, offset, out);
    }
    std::uint64_t size() const override { return size_; }

private:
    int fd_;
    std::uint64_t size_ = 0;
};

std::string canonical(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// udev escapes blanks and unsafe bytes in link names as \xHH.
std::string decodeUdevName(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            out += char(std::stoi(name.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

// The name of the link in `folder` that resolves to `target`; empty when none does.
std::string linkNamingTarget(const char* folder, const std::string& target) {
    std::error_code error;
    for (const auto& link : std::filesystem::directory_iterator(folder, error)) {
        if (canonical(link.path().string()) == target)
            return decodeUdevName(link.path().filename().string());
    }
    return {};
}

void probeWithBlkid(const std::string& source, BlockIdentity& id) {
    const FileDescriptor fd(openVolumeFile(source));
    if (fd.get() < 0) return;
    const std::unique_ptr<blkid_struct_probe, decltype(&blkid_free_probe)> probe(blkid_new_probe(),
                                                                                 &blkid_free_probe);
    if (!probe || blkid_probe_set_device(probe.get(), fd.get(), 0, 0) != 0) return;
    blkid_probe_enable_superblocks(probe.get(), 1);
    blkid_probe_set_superblocks_flags(probe.get(),
                                      BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_TYPE);
    if (blkid_do_safeprobe(probe.get()) != 0) return;
    const auto value = [&](const char* name, std::string& into) {
        const char* data = nullptr;
        if (into.empty() && blkid_probe_lookup_value(probe.get(), name, &data, nullptr) == 0 &&
            data)
            into = data;
    };
    value("LABEL", id.label);
    value("UUID", id.uuid);
    value("TYPE", id.type);
}

} // namespace

SourceFat readSourceFat(const std::string& source) {
    SourceFat result;
    const FileDescriptor fd(openVolumeFile(source));
    if (fd.get() < 0) return result;
    std::array<std::uint8_t, 512> sector{};
    if (!readFully(fd.get(), 0, sector)) return result;
    if (fat::isExfatBootSector(sector)) {
        DescriptorReader reader(fd.get());
        std::string error;
        if (const auto volume = fat::ExfatVolume::open(reader, error))
            result.exfat = SourceExfat{volume->boot(), volume->label(), volume->remark(true)};
        return result;
    }
    result.boot = fat::parseFatBootSector(sector);
    if (result.boot) {
        DescriptorReader reader(fd.get());
        result.rootLabel = fat::readRootVolumeLabel(*result.boot, reader);
    }
    return result;
}

std::optional<StatvfsFacts> statVolume(const std::string& mountPoint) {
    struct statvfs sv {};
    if (::statvfs(mountPoint.c_str(), &sv) != 0) return std::nullopt;
    StatvfsFacts facts;
    facts.blockSize = sv.f_bsize;
    facts.fragmentSize = sv.f_frsize ? sv.f_frsize : sv.f_bsize;
    facts.blocks = sv.f_blocks;
    facts.nameMax = sv.f_namemax;
    facts.fsid = sv.f_fsid;
    return facts;
}

BlockIdentity identifySource(const std::string& source) {
    BlockIdentity id;
    const std::string target =
        source.empty() || source[0] != '/' ? std::string() : canonical(source);
    if (target.empty()) return id;
    id.label = linkNamingTarget("/dev/disk/by-label", target);
    id.uuid = linkNamingTarget("/dev/disk/by-uuid", target);
    if (id.label.empty() || id.uuid.empty() || id.type.empty()) probeWithBlkid(target, id);
    return id;
}

VolumeEvidence gatherEvidence(const MountEntry& mount) {
    VolumeEvidence e;
    e.mount = mount;
    if (mayHoldFatBootSector(mount.type)) {
        auto fat = readSourceFat(mount.source);
        e.boot = fat.boot;
        e.rootLabel = std::move(fat.rootLabel);
        e.exfat = std::move(fat.exfat);
    }
    e.stat = statVolume(mount.mountPoint);
    if (!e.boot && !e.exfat) e.identity = identifySource(mount.source);
    return e;
}

} // namespace kesp
