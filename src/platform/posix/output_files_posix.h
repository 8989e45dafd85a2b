#pragma once
#include "platform/output_files.h"

namespace kesp {

// Result files on a POSIX file system. create() never follows a symbolic link in the last
// component, refuses anything but a regular file owned by the effective user with no other hard
// link, and only then truncates; a shared temporary folder cannot be used to make it overwrite
// another file.
class PosixOutputFiles final : public OutputFiles {
public:
    std::unique_ptr<LineSink> create(const std::string& path, std::string& error) override;
};

} // namespace kesp
