#pragma once
// A file or a block device opened read-only, read at any offset: disk images and cards. Never
// opened for writing and never locked: another program may use the device at the same time.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace kesp {

class ReadOnlyFile {
public:
    // nullptr with `error` (French, naming the file and the system's reason) when it cannot be
    // opened, or is neither a regular file nor a block device (a FIFO is refused without waiting
    // for a writer).
    static std::unique_ptr<ReadOnlyFile> open(const std::string& path, std::string& error);
    virtual ~ReadOnlyFile() = default;

    // Fills `out` with the bytes at `offset`; false when they cannot all be read.
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
    virtual std::uint64_t size() const = 0;
    // The system's error of the last read that failed on the device itself (EIO when a card is
    // pulled out); 0 when none did. A read past the end is no such failure.
    virtual int deviceError() const = 0;
};

// The refusal of what is neither an image file nor a block device.
inline std::string notAnImageText(const std::string& path) {
    return path + " n'est ni une image disque ni un périphérique bloc";
}

} // namespace kesp
