#pragma once
// Dir1 as a tree view: the chain from the drive's root down to the current folder, the current
// folder's sub-folders below it, each opened on demand.
#include <windows.h>

#include <commctrl.h>
#include <string>
#include <vector>

#include "os/folder_enum.h"

namespace kesp {

class FolderTreeWin32 {
public:
    FolderTreeWin32(HWND parent, int id, RECT place);
    HWND hwnd() const { return hwnd_; }

    // Shows `folder`, which lies on the drive whose root is `root`, reading the folders through
    // `folders`, which outlives the tree's use of it.
    void showDrive(const std::string& root, const std::string& folder, FolderEnumerator& folders);
    std::string path() const { return current_; }
    // TVN_ITEMEXPANDING and TVN_SELCHANGED; true when the notification was a right click.
    bool notify(const NMHDR& header);

private:
    HTREEITEM addItem(HTREEITEM parent, const std::string& path, const std::string& label);
    void fillChildren(HTREEITEM item);

    HWND hwnd_ = nullptr;
    FolderEnumerator* folders_ = nullptr;
    std::vector<std::string> paths_; // an item's lParam indexes its path here
    std::vector<bool> filled_;
    std::string current_;
    char separator_ = kSeparator; // of the drive shown
};

// `path` with one `separator` at its end.
std::string withSeparator(std::string path, char separator = kSeparator);
// Each folder from `root` down to `folder` ("c:\", "c:\a", "c:\a\b"); just the root when
// `folder` does not lie under it. In an image the separator is "/" ("d:\carte.img:/", …).
std::vector<std::string> folderChain(const std::string& root, const std::string& folder,
                                     char separator = kSeparator);

} // namespace kesp
