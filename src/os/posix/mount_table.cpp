#include "os/posix/mount_table.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kesp {
namespace {

// Decodes the octal escapes the kernel writes for blank, tab, newline and backslash.
std::string decodeField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) &&
            octal(field[i + 2]) && octal(field[i + 3])) {
            out +=
                char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string_view> splitBlanks(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ')
            ++at;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ')
            ++at;
        if (at > start) fields.push_back(line.substr(start, at - start));
    }
    return fields;
}

bool parseLine(std::string_view line, MountEntry& entry) {
    // id parent major:minor root mountpoint options [optional fields...] - type source super
    const auto fields = splitBlanks(line);
    const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
    if (dash == fields.end() || dash - fields.begin() < 6 || fields.end() - dash < 3) return false;
    entry.mountPoint = decodeField(fields[4]);
    entry.type = decodeField(dash[1]);
    entry.source = decodeField(dash[2]);
    entry.options = decodeField(fields[5]);
    if (fields.end() - dash >= 4) entry.options.append(",").append(decodeField(dash[3]));
    return !entry.mountPoint.empty() && entry.mountPoint[0] == '/';
}

} // namespace

bool isPseudoFileSystem(std::string_view type) {
    static constexpr std::string_view kPseudo[] = {"proc",
                                                   "sysfs",
                                                   "cgroup",
                                                   "cgroup2",
                                                   "devpts",
                                                   "mqueue",
                                                   "tracefs",
                                                   "debugfs",
                                                   "securityfs",
                                                   "pstore",
                                                   "bpf",
                                                   "configfs",
                                                   "fusectl",
                                                   "hugetlbfs",
                                                   "binfmt_misc",
                                                   "autofs",
                                                   "rpc_pipefs",
                                                   "nsfs",
                                                   "efivarfs",
                                                   "selinuxfs",
                                                   "devtmpfs",
                                                   "nfsd",
                                                   "fuse.gvfsd-fuse",
                                                   "fuse.portal"};
    return std::find(std::begin(kPseudo), std::end(kPseudo), type) != std::end(kPseudo);
}

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> all;
    std::size_t at = 0;
    while (at < text.size()) {
        auto end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        MountEntry entry;
        if (parseLine(text.substr(at, end - at), entry)) {
            auto same = std::find_if(all.begin(), all.end(), [&](const MountEntry& m) {
                return m.mountPoint == entry.mountPoint;
            });
            if (same != all.end())
                *same = std::move(entry); // hides the earlier mount, pseudo or not
            else
                all.push_back(std::move(entry));
        }
        at = end + 1;
    }

    // What is mounted below a pseudo file system (a tmpfs in /sys/fs/cgroup, /dev/shm below
    // devtmpfs) is the kernel's plumbing, not a volume either.
    const auto belowPseudo = [&](const MountEntry& m) {
        return std::any_of(all.begin(), all.end(), [&](const MountEntry& p) {
            return isPseudoFileSystem(p.type) && m.mountPoint.size() > p.mountPoint.size() &&
                   m.mountPoint.starts_with(p.mountPoint) &&
                   (p.mountPoint == "/" || m.mountPoint[p.mountPoint.size()] == '/');
        });
    };
    std::vector<MountEntry> volumes;
    for (const auto& m : all)
        if (!isPseudoFileSystem(m.type) && !belowPseudo(m)) volumes.push_back(m);
    return volumes;
}

std::vector<MountEntry> listedDrives(std::vector<MountEntry> mounts) {
    static constexpr std::string_view kMemory[] = {"tmpfs", "ramfs", "devtmpfs", "overlay"};
    std::erase_if(mounts, [](const MountEntry& m) {
        return m.mountPoint != "/" &&
               std::find(std::begin(kMemory), std::end(kMemory), m.type) != std::end(kMemory);
    });
    std::stable_sort(mounts.begin(), mounts.end(), [](const MountEntry& a, const MountEntry& b) {
        if ((a.mountPoint == "/") != (b.mountPoint == "/")) return a.mountPoint == "/";
        return a.mountPoint < b.mountPoint;
    });
    return mounts;
}

std::vector<MountEntry> readMountTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return parseMountInfo(text.str());
}

const MountEntry* mountHolding(const std::vector<MountEntry>& mounts, std::string_view realPath) {
    const MountEntry* best = nullptr;
    for (const auto& m : mounts) {
        const std::string_view point = m.mountPoint;
        const bool holds =
            point == "/" || (realPath.starts_with(point) &&
                             (realPath.size() == point.size() || realPath[point.size()] == '/'));
        if (holds && (!best || point.size() > best->mountPoint.size())) best = &m;
    }
    return best;
}

} // namespace kesp
