#pragma once
// An image file or a block device, opened read-only for the FAT library. Never opened for
// writing and never locked: another program may use the device at the same time.
#include <memory>
#include <string>

#include "fat/byte_reader.h"

namespace kesp {

class ImageFile final : public fat::ByteReader {
public:
    // nullptr with `error` (French, naming the file and the system's reason) when it cannot be
    // opened, or is neither a regular file nor a block device (a FIFO is refused without waiting
    // for a writer).
    static std::unique_ptr<ImageFile> open(const std::string& path, std::string& error);
    ~ImageFile() override;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;
    std::uint64_t size() const override { return size_; }
    // The system's error of the last read that failed on the device itself (EIO when a card is
    // pulled out); 0 when none did. A read past the end is no such failure.
    int deviceError() const { return deviceError_; }

private:
    ImageFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    int fd_;
    std::uint64_t size_;
    int deviceError_ = 0;
};

} // namespace kesp
