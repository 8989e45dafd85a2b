#pragma once
// A volume table in memory behind the VolumeService interface. Designations are matched after
// trimming and dropping a " [label]" suffix, as the Linux backend does; every call is recorded.
#include <map>
#include <string>
#include <vector>

#include "os/volume_service.h"

namespace kesp::test {

// Roots end with a separator: the path's own, "\" in a Windows path and "/" elsewhere.
inline std::string withSeparator(std::string path) {
    if (path.empty() || (path.back() != '/' && path.back() != '\\'))
        path += path.find('\\') != std::string::npos ? '\\' : '/';
    return path;
}

struct FakeVolume {
    std::string root; // "/mnt/f/" (ends with the separator)
    VolumeInformation info;
    bool probeFinds = true;     // the root lists an entry
    bool queryFails = false;    // volumeInformation() fails
    bool geometryFails = false; // diskFreeSpace() fails
    std::uint32_t sectorsPerCluster = 8;
    std::uint32_t bytesPerSector = 512;
    int readiness = 0; // e.g. kErrorDeviceUnavailable for a drive without medium
    std::uint64_t megabytes = 0;
};

class FakeVolumeService : public VolumeService {
public:
    std::vector<FakeVolume> volumes;
    std::vector<std::string> calls; // "probeRoot(/mnt/f/)", "volumeInformation(/mnt/f/)" ...

    FakeVolume& add(const std::string& mountPoint, const std::string& fileSystem,
                    const std::string& label = "") {
        FakeVolume v;
        v.root = withSeparator(mountPoint);
        v.info.fileSystem = fileSystem;
        v.info.name = label;
        volumes.push_back(v);
        return volumes.back();
    }
    FakeVolume* find(const std::string& designation) {
        std::string d = designation;
        d.erase(0, d.find_first_not_of(' '));
        d.erase(d.find_last_not_of(' ') + 1);
        if (!d.empty() && d.back() == ']') {
            const auto open = d.find(" [");
            if (open != std::string::npos) d.erase(open);
        }
        if (d.empty()) return nullptr;
        d = withSeparator(d);
        for (auto& v : volumes)
            if (v.root == d) return &v;
        return nullptr;
    }
    static std::string entryOf(const FakeVolume& v) {
        std::string point = v.root.size() > 1 ? v.root.substr(0, v.root.size() - 1) : v.root;
        return v.info.name.empty() ? point : point + " [" + v.info.name + "]";
    }

    std::vector<std::string> drives() override {
        std::vector<std::string> entries;
        for (const auto& v : volumes)
            entries.push_back(entryOf(v));
        return entries;
    }
    std::optional<std::string> rootPath(const std::string& designation) override {
        calls.push_back("rootPath(" + designation + ")");
        if (auto* v = find(designation)) return v->root;
        return std::nullopt;
    }
    bool probeRoot(const std::string& root) override {
        calls.push_back("probeRoot(" + root + ")");
        auto* v = find(root);
        return v && v->readiness == 0 && v->probeFinds;
    }
    bool volumeInformation(const std::string& root, VolumeInformation& info) override {
        calls.push_back("volumeInformation(" + root + ")");
        auto* v = find(root);
        if (!v || v->readiness != 0 || v->queryFails) return false;
        info = v->info;
        return true;
    }
    bool diskFreeSpace(const std::string& root, std::uint32_t& spc, std::uint32_t& bps) override {
        calls.push_back("diskFreeSpace(" + root + ")");
        auto* v = find(root);
        if (!v || v->readiness != 0 || v->geometryFails) return false;
        spc = v->sectorsPerCluster;
        bps = v->bytesPerSector;
        return true;
    }
    int readiness(const std::string& root) override {
        auto* v = find(root);
        return v ? v->readiness : kErrorDeviceUnavailable;
    }
    std::string driveOf(const std::string& folder) override {
        const FakeVolume* best = nullptr;
        const std::string path = withSeparator(folder);
        for (const auto& v : volumes)
            if (path.rfind(v.root, 0) == 0 && (!best || v.root.size() > best->root.size()))
                best = &v;
        return best ? entryOf(*best) : std::string();
    }
    std::uint64_t totalMegabytes(const std::string& root) override {
        auto* v = find(root);
        return v ? v->megabytes : 0;
    }
};

} // namespace kesp::test
