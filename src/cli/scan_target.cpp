#include "cli/scan_target.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/kesp_scan.h"
#include "cli/volume_options.h"
#include "images/image_address.h"
#include "os/folder_check.h"
#include "os/host_folder.h"
#include "os/read_only_file.h"

namespace kesp {
namespace {

// FOLDER made absolute and free of "." / ".." and repeated separators, without a trailing "/"
// except for "/" itself. Symbolic links are kept as named.
std::string absoluteFolder(const std::string& folder) {
    std::string out = absoluteHostPath(folder);
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

ScanTarget failed(std::string problem, int status) {
    return {{}, std::move(problem), status, {}};
}

// An image named by IMAGE[:N][:/PATH], its file found on the host.
struct ImageArgument {
    std::string image; // as written (made absolute when the whole argument is the image)
    PathCheck check;   // of `image`
    std::optional<long> partition;
    std::string inner = "/";
};

// ":N" at the end of `text`, N an integer of any sign (those below 1 are refused later, with a
// reason): N, and `text` without it.
std::optional<long> takeNumber(std::string_view& text) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    const std::string_view digits = text.substr(colon + 1);
    long number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || digits.size() > 9 || ec != std::errc{} ||
        end != digits.data() + digits.size())
        return std::nullopt;
    text = text.substr(0, colon);
    return number;
}

// The image in `argument`, when there is an image file or something else that is not a folder
// where the syntax says; nullopt when there is none.
std::optional<ImageArgument> splitImageArgument(std::string_view text) {
    ImageArgument argument;
    // FAT names hold no ':': a folder path in the image starts after the last one.
    const auto colon = text.rfind(':');
    if (colon != std::string_view::npos && colon > 0 && text.substr(colon + 1).starts_with('/')) {
        argument.inner = std::string(text.substr(colon + 1));
        text = text.substr(0, colon);
    }
    argument.image = std::string(text);
    argument.check = checkFolder(absoluteHostPath(argument.image));
    if (argument.check.kind == PathKind::Missing) {
        // A file named "card.img:2" is that file; only when there is none is ":2" a partition.
        std::string_view image = text;
        if (const auto number = takeNumber(image)) {
            argument.image = std::string(image);
            argument.check = checkFolder(absoluteHostPath(argument.image));
            argument.partition = number;
        }
    }
    if (argument.check.kind != PathKind::NotFolder && argument.check.kind != PathKind::Special)
        return std::nullopt;
    return argument;
}

// The image's folder as the run writes it, once its volume and folder are known to be readable.
ScanTarget imageTarget(const std::string& argument, const ImageArgument& named,
                       ImageVolumes& images) {
    if (named.check.kind == PathKind::Special)
        return failed(notAnImageText(named.image), kExitFailed);
    if (named.partition && *named.partition < 1)
        return failed(argument + " : les partitions sont numérotées à partir de 1", kExitFailed);
    const std::string image = absoluteHostPath(named.image);
    // Reading the table opens the image for the run; what stops it is the image's own fault.
    std::vector<ImagePartition> table;
    std::string problem;
    if (!images.partitions(image, table, problem)) return failed(problem, kExitRefused);
    const int partition = named.partition ? int(*named.partition) : -1;
    if (partition > 0 && std::none_of(table.begin(), table.end(),
                                      [partition](const auto& p) { return p.number == partition; }))
        return failed(image + " : pas de partition " + std::to_string(partition), kExitFailed);
    problem = images.problemWith(imagePathText(image, partition));
    if (!problem.empty()) return failed(problem, kExitRefused);

    const std::string inner = normalInnerPath(named.inner);
    const std::string folder = imagePathText(image, partition, inner);
    if (inner != "/") {
        problem = images.problemWith(folder + "/");
        if (!problem.empty()) return failed(problem, kExitFailed);
    }
    return {folder, {}, 0, image};
}

} // namespace

ScanTarget resolveScanTarget(const std::string& argument, ImageVolumes* images) {
    const std::string folder = absoluteFolder(argument);
    const PathCheck check = checkFolder(folder);
    if (check.kind == PathKind::Folder) return {folder, {}, 0, {}};
    if (!images && (check.kind == PathKind::NotFolder || check.kind == PathKind::Special))
        return failed(argument + " n'est pas un dossier", kExitFailed);
    if (images) {
        if (check.kind == PathKind::Special)
            return failed(argument + " n'est ni un dossier, ni une image disque, ni un "
                                     "périphérique bloc",
                          kExitFailed);
        if (check.kind == PathKind::NotFolder)
            return imageTarget(argument, {folder, check, std::nullopt, "/"}, *images);
        if (const auto named = splitImageArgument(argument))
            return imageTarget(argument, *named, *images);
    }
    // Not there is one reason; a name too long or a mount that no longer answers are others.
    std::string problem = argument + " : dossier introuvable";
    if (check.kind == PathKind::Unreachable) problem += " (" + check.reason + ")";
    return failed(problem, kExitFailed);
}

ScanTarget resolveImageFile(const std::string& argument) {
    const std::string image = absoluteHostPath(argument);
    const PathCheck check = checkFolder(image);
    switch (check.kind) {
    case PathKind::NotFolder:
        return {image, {}, 0, {}};
    case PathKind::Folder:
    case PathKind::Special:
        return failed(notAnImageText(argument), kExitFailed);
    case PathKind::Missing:
        return failed(argument + " : image introuvable", kExitFailed);
    case PathKind::Unreachable:
        break;
    }
    return failed(argument + " : image introuvable (" + check.reason + ")", kExitFailed);
}

} // namespace kesp
