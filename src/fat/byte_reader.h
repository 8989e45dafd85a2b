#pragma once
// Where the FAT library reads its bytes: an image file, a block device, a partition of either,
// or a buffer in memory (tests, the fuzzer).
#include <cstdint>
#include <span>

namespace kesp::fat {

class ByteReader {
public:
    virtual ~ByteReader() = default;
    // Fills `out` with the bytes at `offset`; false when they cannot all be read.
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
    // Bytes that can be read from offset 0.
    virtual std::uint64_t size() const = 0;
};

class BufferReader final : public ByteReader {
public:
    explicit BufferReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;
    std::uint64_t size() const override { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
};

// A window of another reader: a partition of a disk, the data of a fixed VHD.
class SliceReader final : public ByteReader {
public:
    SliceReader(ByteReader& whole, std::uint64_t offset, std::uint64_t length);
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;
    std::uint64_t size() const override { return length_; }

private:
    ByteReader& whole_;
    std::uint64_t offset_;
    std::uint64_t length_;
};

// Little-endian fields of on-disk structures.
inline std::uint32_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
}
inline std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}
inline std::uint64_t le64(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint64_t(le32(b, at)) | std::uint64_t(le32(b, at + 4)) << 32;
}

} // namespace kesp::fat
