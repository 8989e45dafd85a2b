#include "fat/byte_reader.h"

#include <algorithm>
#include <cstring>

namespace kesp::fat {

bool BufferReader::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

SliceReader::SliceReader(ByteReader& whole, std::uint64_t offset, std::uint64_t length)
    : whole_(whole), offset_(std::min(offset, whole.size())),
      length_(std::min(length, whole.size() - offset_)) {}

bool SliceReader::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > length_ || out.size() > length_ - offset) return false;
    return whole_.read(offset_ + offset, out);
}

} // namespace kesp::fat
