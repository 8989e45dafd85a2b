#pragma once
#include <memory>
#include <string>
#include <sys/types.h>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/folder_enum.h"

namespace kesp {

// Folder listings through open + getdents64, with one fstatat(AT_SYMLINK_NOFOLLOW) relative to
// the open folder for each entry whose d_type does not say it is a folder. Symbolic links are
// entries of their own size, never followed. A mount point below the walk's root lists as empty.
class PosixFolderEnumerator final : public FolderEnumerator {
public:
    // `mountInfo`: the mount table read at each beginWalk.
    explicit PosixFolderEnumerator(std::string mountInfo = "/proc/self/mountinfo")
        : mountInfo_(std::move(mountInfo)) {}
    ~PosixFolderEnumerator() override;

    void beginWalk(const std::string& root) override;
    void endWalk() override { chain_.clear(); }
    std::unique_ptr<FolderListing> open(const std::string& path) override;

    struct OpenFolder;

private:
    // Folders kept open along the current path, so that a sub-folder opens relative to its
    // parent; deeper than this, folders open by their full path.
    static constexpr std::size_t kChainDepth = 64;

    std::string mountInfo_;
    std::string root_;
    // The mount points below the root, spelt as the walk reaches them (from the root as given).
    std::unordered_set<std::string> mountsBelow_;
    // Without a mount table every folder is checked against the root's device instead.
    bool checkDevice_ = false;
    dev_t rootDevice_ = 0;
    // (path as passed to open(), ending with "/"; its folder) from the root down.
    std::vector<std::pair<std::string, std::shared_ptr<OpenFolder>>> chain_;
};

} // namespace kesp
