#pragma once
// Sequential text output for the result files, written all or nothing: lines go to a file
// beside the destination that takes the destination's name only at commit().
#include <memory>
#include <string>
#include <string_view>

namespace kesp {

// One output file being written. Lines are written as given followed by CR LF. After the first
// failure every later call fails too and error() tells why. Dropped without a successful
// commit(), it leaves the destination as it was and nothing of its own behind.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual bool writeLine(std::string_view line) = 0;
    // Flushes and closes; false when anything written since opening was lost. The file is
    // complete but not yet under its name.
    virtual bool close() = 0;
    // After a successful close(): puts the file under its name, replacing what was there.
    virtual bool commit() = 0;
    // The system's reason for the first failure, in the user's words ("No space left on device").
    virtual std::string error() const = 0;
};

enum class HoldResult { Held, HeldByOther, Refused };

class OutputFiles {
public:
    virtual ~OutputFiles() = default;
    // Starts a file that will replace `path` at its commit. The destination's folder must exist
    // and be writable, and what stands under the name must be a file it may replace. nullptr on
    // failure, with the reason in `error`.
    virtual std::unique_ptr<LineSink> create(const std::string& path, std::string& error) = 0;

    // Marks `path` as this object's own until releaseAll(), for other processes to see (an empty
    // file is made when none is there); the files committed under it stay marked. HeldByOther
    // when a live process holds it; Refused (with the reason) when it cannot be held.
    virtual HoldResult hold(const std::string& path, std::string& error) {
        (void)path;
        (void)error;
        return HoldResult::Held;
    }
    virtual void releaseAll() {}
};

} // namespace kesp
