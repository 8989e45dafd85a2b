#pragma once
#include "os/folder_enum.h"

namespace kesp {

// Folder listings through open + getdents64, with one fstatat(AT_SYMLINK_NOFOLLOW) relative to
// the open folder for each entry whose d_type does not say it is a folder. A sub-folder opens
// relative to its parent's descriptor, so no path is ever resolved twice and no depth is too
// deep for PATH_MAX. Symbolic links are entries of their own size, never followed. A folder on
// another file system than the listing it was opened from (a mount point) lists as empty.
class PosixFolderEnumerator final : public FolderEnumerator {
public:
    // Raises the soft limit of open descriptors to the hard one: a walk keeps one descriptor
    // open per level of the folder it is in.
    PosixFolderEnumerator();
    void beginWalk(const std::string& root) override { root_ = root; }
    void endWalk() override { root_.clear(); }
    std::unique_ptr<FolderListing> open(const std::string& path) override;

private:
    std::string root_; // the one folder of the walk that may be reached through a link
};

} // namespace kesp
