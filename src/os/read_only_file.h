#pragma once
// A file or a device opened read-only and read at any offset: disk images, cards, volumes. Never
// opened for writing and never locked: another program may write to it at the same time, and
// what it writes is read.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace kesp {

class ReadOnlyFile {
public:
    // nullptr with `error` (French, naming the file and the reason) when it cannot be opened, or
    // is neither a regular file nor a disk device (a FIFO is refused without waiting for a
    // writer). A device the user may not read is named with what it takes to read it.
    static std::unique_ptr<ReadOnlyFile> open(const std::string& path, std::string& error);
    virtual ~ReadOnlyFile() = default;

    // Fills `out` with the bytes at `offset`; false when they cannot all be read.
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
    virtual std::uint64_t size() const = 0;
    // Why the device itself failed the last read that failed there (a card pulled out), in the
    // system's words; empty when none did. A read past the end is no such failure.
    virtual std::string deviceFailure() const = 0;
};

inline std::string notAnImageText(const std::string& path) {
    return path + " n'est ni une image disque ni un périphérique bloc";
}

} // namespace kesp
