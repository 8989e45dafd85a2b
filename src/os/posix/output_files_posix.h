#pragma once
#include <map>
#include <string>

#include "os/output_files.h"

namespace kesp {

// Result files on a POSIX file system. A sink writes to a hidden file made in the
// destination's folder and renamed over the destination at commit. What stands under the
// destination's name is never opened for writing: a symbolic link, anything but a regular
// file, another user's file or one with other hard links is refused, so a shared temporary
// folder cannot be used to make it overwrite another file.
//
// hold() takes an flock() on the file under the name and keeps it, moving it to each file
// committed there: another process sees the name in use for as long as this object holds it.
class PosixOutputFiles final : public OutputFiles {
public:
    PosixOutputFiles() = default;
    ~PosixOutputFiles() override;
    PosixOutputFiles(const PosixOutputFiles&) = delete;
    PosixOutputFiles& operator=(const PosixOutputFiles&) = delete;

    std::unique_ptr<LineSink> create(const std::string& path, std::string& error) override;
    HoldResult hold(const std::string& path, std::string& error) override;
    void releaseAll() override;

    // The sinks' hand-over at commit: `fd` is the file now under `path`, locked. Returns false
    // when `path` is not held, the caller then keeping `fd`.
    bool replaceHeld(const std::string& path, int fd);
    bool holds(const std::string& path) const { return held_.count(path) != 0; }

private:
    std::map<std::string, int> held_; // path -> descriptor that carries the lock
};

} // namespace kesp
