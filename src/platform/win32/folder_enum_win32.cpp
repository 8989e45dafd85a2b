#include "platform/win32/folder_enum_win32.h"

#include <windows.h>

#include <cstring>

namespace kesp {
namespace {

class Win32Listing final : public FolderListing {
public:
    Win32Listing(HANDLE search, const WIN32_FIND_DATAA& first) : search_(search), data_(first) {}
    ~Win32Listing() override { FindClose(search_); }
    Win32Listing(const Win32Listing&) = delete;
    Win32Listing& operator=(const Win32Listing&) = delete;

    bool next(FolderEntry& entry) override {
        for (;;) {
            if (!pending_ && !FindNextFileA(search_, &data_)) return false;
            pending_ = false;
            if (std::strcmp(data_.cFileName, ".") == 0 || std::strcmp(data_.cFileName, "..") == 0)
                continue;
            entry.name.assign(data_.cFileName);
            entry.isDirectory = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry.size = entry.isDirectory ? 0
                                           : (std::uint64_t(data_.nFileSizeHigh) << 32) |
                                                 std::uint64_t(data_.nFileSizeLow);
            return true;
        }
    }

private:
    HANDLE search_;
    WIN32_FIND_DATAA data_;
    bool pending_ = true; // FindFirstFileA already filled the first entry
};

} // namespace

std::unique_ptr<FolderListing> Win32FolderEnumerator::open(const std::string& path) {
    WIN32_FIND_DATAA first;
    const HANDLE search = FindFirstFileA((path + "*").c_str(), &first);
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32Listing>(search, first);
}

} // namespace kesp
