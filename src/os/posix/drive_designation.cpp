#include "os/posix/drive_designation.h"

namespace kesp {
namespace {

std::string withoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

} // namespace

std::string trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string driveEntryText(std::string_view mountPoint, std::string_view label) {
    std::string entry(mountPoint);
    if (label.empty()) return entry;
    entry += " [";
    for (const char c : label) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            entry += c;
            continue;
        }
        static constexpr char kHex[] = "0123456789ABCDEF";
        entry += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    }
    return entry + "]";
}

std::string unresponsiveEntryText(std::string_view mountPoint) {
    return std::string(mountPoint) + std::string(kUnresponsiveSuffix);
}

std::vector<std::string> mountPointCandidates(std::string_view trimmed) {
    std::vector<std::string> candidates;
    if (trimmed.empty()) return candidates;
    candidates.push_back(withoutTrailingSlashes(trimmed));
    if (trimmed.ends_with(kUnresponsiveSuffix) && trimmed.size() > kUnresponsiveSuffix.size()) {
        candidates.push_back(
            withoutTrailingSlashes(trimmed.substr(0, trimmed.size() - kUnresponsiveSuffix.size())));
        return candidates;
    }
    if (trimmed.back() != ']') return candidates;
    for (auto at = trimmed.rfind(" ["); at != std::string_view::npos && at > 0;
         at = trimmed.rfind(" [", at - 1)) {
        candidates.push_back(withoutTrailingSlashes(trimmed.substr(0, at)));
    }
    return candidates;
}

std::string rootOfMountPoint(std::string_view mountPoint) {
    std::string root(mountPoint);
    if (root.empty() || root.back() != '/') root += '/';
    return root;
}

} // namespace kesp
