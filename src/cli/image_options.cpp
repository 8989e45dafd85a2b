#include "cli/image_options.h"

#include <filesystem>
#include <vector>

#include "cli/line_output.h"
#include "cli/volume_options.h"
#include "platform/image/image_address.h"

namespace kesp {
namespace {

// A regular file or a block device: what an image can be read from.
bool mayBeImage(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return std::filesystem::is_regular_file(status) || std::filesystem::is_block_file(status);
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p(path);
    return (p.is_relative() ? std::filesystem::current_path(ec) / p : p)
        .lexically_normal()
        .string();
}

} // namespace

std::optional<std::string> imageFolder(const std::string& argument, ImageVolumes& images,
                                       std::string& error) {
    const auto address = parseImageAddress(argument);
    if (!address || !mayBeImage(address->image)) return std::nullopt;
    std::string inner = std::filesystem::path(address->inner).lexically_normal().generic_string();
    if (!inner.starts_with('/')) inner = "/";
    // As for a host folder, only the root keeps its final separator.
    while (inner.size() > 1 && inner.back() == '/')
        inner.pop_back();
    const std::string folder =
        imagePathText(absolutePath(address->image), address->partition, inner);
    error = images.problemWith(inner == "/" ? folder : folder + "/");
    if (!error.empty()) return std::nullopt;
    return folder;
}

int printPartitions(const std::string& image, ImageVolumes& images, std::ostream& out,
                    std::ostream& err) {
    std::vector<ImagePartition> partitions;
    std::string error;
    if (!images.partitions(absolutePath(image), partitions, error)) {
        err << "kesp-scan: " << error << '\n';
        return kExitRefused;
    }
    for (const ImagePartition& p : partitions)
        writeLine(out, std::to_string(p.number) + '\t' + std::to_string(p.offset) + '\t' +
                           std::to_string(p.size) + '\t' + p.type + '\t' + p.fileSystem + '\t' +
                           p.label);
    if (!error.empty()) err << "kesp-scan: " << error << '\n';
    out.flush();
    return out ? 0 : 1;
}

} // namespace kesp
