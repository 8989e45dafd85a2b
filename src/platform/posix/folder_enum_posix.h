#pragma once
#include <sys/types.h>

#include "platform/folder_enum.h"

namespace kesp {

// Folder listings through open + getdents64, with one fstatat(AT_SYMLINK_NOFOLLOW) relative to
// the open folder for each entry whose d_type does not say it is a folder. Symbolic links are
// entries of their own size, never followed. A folder on another file system than the walk's
// root (a mount point below it) lists as empty.
class PosixFolderEnumerator final : public FolderEnumerator {
public:
    void beginWalk(const std::string& root) override;
    std::unique_ptr<FolderListing> open(const std::string& path) override;

private:
    std::string root_;
    dev_t rootDevice_ = 0;
    bool rootKnown_ = false;
};

} // namespace kesp
