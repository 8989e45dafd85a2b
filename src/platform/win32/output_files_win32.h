#pragma once
#include "platform/output_files.h"

namespace kesp {

// Result files through CreateFileA. A name that is a reparse point (a link planted in a shared
// temporary folder) is refused rather than followed.
class Win32OutputFiles final : public OutputFiles {
public:
    std::unique_ptr<LineSink> create(const std::string& path, std::string& error) override;
};

} // namespace kesp
