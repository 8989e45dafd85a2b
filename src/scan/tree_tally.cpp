#include "scan/tree_tally.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "fat/code_page.h"
#include "scan/slack.h"

namespace kesp {
namespace {

// The next code point of `s` from `i`; nullopt for a byte that starts no valid sequence.
std::optional<char32_t> nextCodePoint(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80) return lead;
    const int more = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (more < 0 || (lead >= 0xE0 && more == 1) || i + more > s.size()) return std::nullopt;
    char32_t c = lead & (0x3F >> more);
    for (int k = 0; k < more; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        c = c << 6 | (b & 0x3F);
    }
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (c < least[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    i += more;
    return c;
}

enum class Case { None, Lower, Upper };

// Letters of ASCII and Latin-1, the ones short names of code page 850 carry in both cases.
Case caseOf(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xDF && c <= 0xFF && c != 0xF7)) return Case::Lower;
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return Case::Upper;
    return Case::None;
}

bool forbiddenInShortName(char32_t c) {
    switch (c) {
    case ' ':
    case '+':
    case ',':
    case ';':
    case '=':
    case '[':
    case ']':
    case '"':
    case '*':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
        return true;
    default:
        return c < 0x20 || c == 0x7F;
    }
}

struct NamePart {
    std::size_t length = 0;
    Case seen = Case::None;
    bool mixed = false;
};

constexpr std::uint64_t kExfatUnitsPerEntry = 15;
constexpr std::uint64_t kExfatLongestName = 255;

std::uint64_t exfatSetFor(std::uint64_t utf16) {
    const std::uint64_t units = std::min(utf16, kExfatLongestName);
    return 2 + (units + kExfatUnitsPerEntry - 1) / kExfatUnitsPerEntry;
}

} // namespace

NameEntries nameEntriesFor(std::string_view name) {
    std::uint64_t utf16 = 0;
    bool fits = !name.empty();
    NamePart base, ext;
    NamePart* part = &base;
    for (std::size_t i = 0; i < name.size();) {
        const auto c = nextCodePoint(name, i);
        if (!c) {
            ++utf16;
            fits = false;
            continue;
        }
        utf16 += *c > 0xFFFF ? 2 : 1;
        if (*c == '.') {
            if (part == &ext || base.length == 0) fits = false;
            part = &ext;
            continue;
        }
        if (forbiddenInShortName(*c) || !fat::unicodeToOem(*c, fat::CodePage::Cp850)) fits = false;
        ++part->length;
        const Case k = caseOf(*c);
        if (k != Case::None) {
            if (part->seen != Case::None && part->seen != k) part->mixed = true;
            part->seen = k;
        }
    }
    if (base.length > 8 || ext.length > 3 || base.mixed || ext.mixed) fits = false;
    if (part == &ext && ext.length == 0) fits = false; // a trailing dot
    return {fits ? 1 : 1 + (utf16 + 12) / 13, exfatSetFor(utf16)};
}

std::uint64_t directoryEntriesFor(std::string_view name) {
    return nameEntriesFor(name).fat;
}

std::uint64_t exfatEntriesFor(std::string_view name) {
    std::uint64_t utf16 = 0;
    for (std::size_t i = 0; i < name.size();) {
        const auto c = nextCodePoint(name, i);
        utf16 += c && *c > 0xFFFF ? 2 : 1;
    }
    return exfatSetFor(utf16);
}

std::uint64_t exfatFolderBytes(std::uint64_t entries, std::uint64_t cluster) {
    return std::max(roundUpToPowerOfTwo(entries * 32, cluster), cluster);
}

void tallyFile(TreeTally& tally, std::uint64_t size, std::uint64_t scannedCluster) {
    tally.files += 1;
    tally.fileBytes += size;
    for (std::size_t i = 0; i < kClusterSizes.size(); ++i)
        tally.fileClusters[i] += roundUpToPowerOfTwo(size, kClusterSizes[i]) >> (9 + i);
    SlackBucket& bucket = tally.slackBySize[slackBucketOf(size)];
    bucket.files += 1;
    bucket.lostBytes += roundUpToCluster(size, scannedCluster) - size;
}

void tallyFolder(TreeTally& tally, const NameEntries& children, bool root) {
    if (root) {
        tally.rootEntries += children.fat;
        tally.exfatRootEntries += children.exfat;
        return;
    }
    const std::uint64_t entries = children.fat + 2; // "." and ".."
    tally.folders += 1;
    tally.folderEntries += entries;
    for (std::size_t i = 0; i < kFatClusterSizes.size(); ++i)
        tally.folderClusters[i] +=
            roundUpToPowerOfTwo(entries * 32, kFatClusterSizes[i]) >> (9 + i);
    tally.exfatFolderEntries += children.exfat;
    for (std::size_t i = 0; i < kClusterSizes.size(); ++i)
        tally.exfatFolderClusters[i] +=
            exfatFolderBytes(children.exfat, kClusterSizes[i]) >> (9 + i);
}

std::size_t slackBucketOf(std::uint64_t size) {
    if (size < 512) return 0;
    const auto log2 = static_cast<std::size_t>(std::bit_width(size) - 1); // 9 for 512
    return std::min(log2 - 8, kSlackBuckets - 1);
}

std::string slackBucketLabel(std::size_t bucket) {
    if (bucket == 0) return "< 512 o";
    const std::size_t log2 = bucket + 8;
    const char* units[] = {"o", "Ko", "Mo"};
    const std::string size =
        std::to_string(std::uint64_t{1} << (log2 % 10)) + " " + units[log2 / 10];
    return bucket == kSlackBuckets - 1 ? "≥ " + size : size;
}

} // namespace kesp
