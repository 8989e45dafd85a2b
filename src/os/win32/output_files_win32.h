#pragma once
#include <map>
#include <string>

#include "os/output_files.h"

namespace kesp {

// Result files through CreateFileA, written beside the destination and moved over it at
// commit. A name that is a reparse point (a link planted in a shared temporary folder) is
// refused rather than followed. hold() keeps the file open without FILE_SHARE_DELETE, which is
// what keeps another instance from deleting or taking it.
class Win32OutputFiles final : public OutputFiles {
public:
    Win32OutputFiles() = default;
    ~Win32OutputFiles() override;
    Win32OutputFiles(const Win32OutputFiles&) = delete;
    Win32OutputFiles& operator=(const Win32OutputFiles&) = delete;

    std::unique_ptr<LineSink> create(const std::string& path, std::string& error) override;
    HoldResult hold(const std::string& path, std::string& error) override;
    void releaseAll() override;

    // Closes the handle that holds `path` (it must let the commit replace the file) and opens
    // it again on the new file; false when `path` is not held.
    bool reopenHeld(const std::string& path, bool beforeMove);

private:
    std::map<std::string, void*> held_; // path -> HANDLE
};

} // namespace kesp
