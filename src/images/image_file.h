#pragma once
// An image file or a device as the FAT library reads it: a read-only file of the system's.
#include <memory>
#include <string>

#include "fat/byte_reader.h"
#include "os/read_only_file.h"

namespace kesp {

class ImageFile final : public fat::ByteReader {
public:
    // nullptr with `error` when it cannot be opened: see ReadOnlyFile::open.
    static std::unique_ptr<ImageFile> open(const std::string& path, std::string& error) {
        std::unique_ptr<ReadOnlyFile> file = ReadOnlyFile::open(path, error);
        return file ? std::unique_ptr<ImageFile>(new ImageFile(std::move(file))) : nullptr;
    }

    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        return file_->read(offset, out);
    }
    std::uint64_t size() const override { return file_->size(); }
    // See ReadOnlyFile::deviceFailure.
    std::string deviceFailure() const { return file_->deviceFailure(); }

private:
    explicit ImageFile(std::unique_ptr<ReadOnlyFile> file) : file_(std::move(file)) {}
    std::unique_ptr<ReadOnlyFile> file_;
};

} // namespace kesp
