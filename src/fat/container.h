#pragma once
// Disk-image containers recognised by their magic numbers. A fixed VHD is raw data followed by a
// 512-byte footer; the others store their data in a layout of their own and are refused.
#include <cstdint>
#include <string>

#include "fat/byte_reader.h"

namespace kesp::fat {

struct ContainerCheck {
    std::uint64_t rawBytes = 0; // the raw data at the start of the file
    std::string refusal;        // French, naming the format; empty when the data is raw
};

ContainerCheck checkContainer(ByteReader& file);

} // namespace kesp::fat
