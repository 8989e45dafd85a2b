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

// Splits "IMAGE", "IMAGE:/x", "IMAGE:N:/x", "IMAGE:N" and drive entries "IMAGE[:N] [label]" (the
// label dropped). FAT names never hold ':', so the last ':' is the one that splits. nullopt for
// an empty image part.
std::optional<ImageAddress> parseImageAddress(std::string_view text);

// "IMAGE:/", "IMAGE:N:/", followed by the inner path without its leading "/".
std::string imagePathText(const std::string& image, int partition, std::string_view inner = "/");

// "IMAGE" or "IMAGE:N", then " [label]" when there is one.
std::string imageDriveEntry(const std::string& image, int partition, std::string_view label);

} // namespace kesp
