#include "gui/win32/folder_tree_win32.h"

#include <algorithm>

#include "gui/win32/wide_text.h"

namespace kesp {

std::string withSeparator(std::string path, char separator) {
    if (path.empty() || path.back() != separator) path += separator;
    return path;
}

std::vector<std::string> folderChain(const std::string& root, const std::string& folder,
                                     char separator) {
    std::vector<std::string> chain{root};
    const std::string base = withSeparator(root, separator);
    if (folder.size() <= base.size() || folder.compare(0, base.size(), base) != 0) return chain;
    for (std::size_t at = base.size(); at <= folder.size(); ++at) {
        if (at == folder.size() || folder[at] == separator) {
            if (at > 0 && folder[at - 1] != separator) chain.push_back(folder.substr(0, at));
        }
    }
    return chain;
}

FolderTreeWin32::FolderTreeWin32(HWND parent, int id, RECT place) {
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                            place.left, place.top, place.right, place.bottom, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

HTREEITEM FolderTreeWin32::addItem(HTREEITEM parent, const std::string& path,
                                   const std::string& label) {
    const std::wstring text = wide(label);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = static_cast<LPARAM>(paths_.size());
    // A button until the folder is opened and found to hold none.
    insert.item.cChildren = 1;
    paths_.push_back(path);
    filled_.push_back(false);
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(hwnd_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FolderTreeWin32::fillChildren(HTREEITEM item) {
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    SendMessageW(hwnd_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    const auto index = static_cast<std::size_t>(data.lParam);
    if (index >= paths_.size() || filled_[index] || !folders_) return;
    filled_[index] = true;
    const std::string folder = paths_[index];
    std::vector<std::string> names;
    const std::unique_ptr<FolderListing> listing =
        folders_->open(withSeparator(folder, separator_));
    FolderEntry entry;
    while (listing->next(entry))
        if (entry.isDirectory) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        addItem(item, withSeparator(folder, separator_) + name, name);
    if (names.empty()) {
        data.mask = TVIF_CHILDREN;
        data.cChildren = 0;
        SendMessageW(hwnd_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    }
}

void FolderTreeWin32::showDrive(const std::string& root, const std::string& folder,
                                FolderEnumerator& folders) {
    folders_ = &folders;
    SendMessageW(hwnd_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    paths_.clear();
    filled_.clear();
    current_ = folder;
    separator_ = folders.separatorFor(root);
    const std::vector<std::string> chain = folderChain(root, folder, separator_);
    HTREEITEM item = TVI_ROOT;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const std::string& path = chain[i];
        const std::string label = i == 0 ? path : path.substr(path.find_last_of(separator_) + 1);
        item = addItem(item, path, label);
        // The chain is shown open; every level but the last holds only the next one.
        filled_.back() = i + 1 < chain.size();
    }
    fillChildren(item);
    for (HTREEITEM open = item; open;
         open = reinterpret_cast<HTREEITEM>(
             SendMessageW(hwnd_, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(open))))
        SendMessageW(hwnd_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(open));
    SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    // The selection above reported the same folder; a shorter chain may have moved current_.
    current_ = folder;
}

bool FolderTreeWin32::notify(const NMHDR& header) {
    switch (header.code) {
    case TVN_ITEMEXPANDINGW: {
        const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (change.action & TVE_EXPAND) fillChildren(change.itemNew.hItem);
        return false;
    }
    case TVN_SELCHANGEDW: {
        const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
        const auto index = static_cast<std::size_t>(change.itemNew.lParam);
        if (index < paths_.size()) current_ = paths_[index];
        return false;
    }
    case NM_RCLICK:
        return true;
    default:
        return false;
    }
}

} // namespace kesp
