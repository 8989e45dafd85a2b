#pragma once
// How images and their folders are named: "/abs/card.img:/" is the image's only volume (or its
// first FAT partition), "/abs/card.img:2:/" partition 2, "/abs/card.img:/DCIM/100CANON/" a
// folder. A drive-list entry is "/abs/card.img" or "/abs/card.img:2", then " [label]".
#include <optional>
#include <string>
#include <string_view>

namespace kesp {

struct ImageAddress {
    std::string image;  // the file, as written
    int partition = -1; // -1: the first FAT volume; 0: the whole image; else the table's number
    std::string inner = "/"; // "/"-separated, starting with "/"; a folder ends with "/"
};

// Splits "IMAGE", "IMAGE:/x", "IMAGE:N:/x" and "IMAGE:N", N from 1 to 999, without knowing which
// files exist: FAT names never hold ':', so the last ':' is the one that splits. A drive entry's
// " [label]" is not split off: an image name may hold " [" and a label anything, so only the
// opened images tell them apart (addressIn). nullopt for an empty image part.
std::optional<ImageAddress> parseImageAddress(std::string_view text);

// Where `text` lies in the image `image`, named as it was opened: "IMAGE" or "IMAGE:/..." (the
// first FAT volume), "IMAGE:N" or "IMAGE:N:/..."; nullopt when `text` names something else.
std::optional<ImageAddress> addressIn(const std::string& image, std::string_view text);

// A folder path in a volume made plain: "/" first, no ".", no ".." (none above the root), no
// doubled or final "/" but for the root itself. "\" separates as "/" does: FAT names hold
// neither.
std::string normalInnerPath(std::string_view inner);

// "IMAGE:/", "IMAGE:N:/", followed by the inner path without its leading "/".
std::string imagePathText(const std::string& image, int partition, std::string_view inner = "/");

// "IMAGE" or "IMAGE:N", then " [label]" when there is one.
std::string imageDriveEntry(const std::string& image, int partition, std::string_view label);

} // namespace kesp
