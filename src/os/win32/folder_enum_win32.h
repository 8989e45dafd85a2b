#pragma once
#include "os/folder_enum.h"

namespace kesp {

// Folder listings through FindFirstFileA / FindNextFileA with the pattern path + "*"; names in
// the system's 8-bit code page, sizes from the two 32-bit halves. A sub-folder opens by its path
// (the listing keeps its own).
class Win32FolderEnumerator final : public FolderEnumerator {
public:
    std::unique_ptr<FolderListing> open(const std::string& path) override;
};

} // namespace kesp
