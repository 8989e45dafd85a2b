#include "os/win32/folder_enum_win32.h"

#include <windows.h>

#include <cstring>

#include "os/win32/system_error_win32.h"

namespace kesp {
namespace {

bool volumeGone(DWORD error) {
    return error == ERROR_NOT_READY || error == ERROR_DEV_NOT_EXIST ||
           error == ERROR_NETNAME_DELETED || error == ERROR_CRC;
}

ListingFailure failureOf(DWORD error) {
    return {win32ErrorText(error), volumeGone(error)};
}

class Win32Listing final : public FolderListing {
public:
    Win32Listing(std::string path, HANDLE search, const WIN32_FIND_DATAA& first)
        : path_(std::move(path)), search_(search), data_(first) {}
    ~Win32Listing() override { close(); }
    Win32Listing(const Win32Listing&) = delete;
    Win32Listing& operator=(const Win32Listing&) = delete;

    bool next(FolderEntry& entry) override {
        while (search_ != INVALID_HANDLE_VALUE) {
            if (!pending_ && !FindNextFileA(search_, &data_)) {
                const DWORD error = GetLastError();
                if (error != ERROR_NO_MORE_FILES) failure_ = failureOf(error);
                close();
                return false;
            }
            pending_ = false;
            if (std::strcmp(data_.cFileName, ".") == 0 || std::strcmp(data_.cFileName, "..") == 0)
                continue;
            entry.name.assign(data_.cFileName);
            entry.isDirectory = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry.size = entry.isDirectory ? 0
                                           : (std::uint64_t(data_.nFileSizeHigh) << 32) |
                                                 std::uint64_t(data_.nFileSizeLow);
            entry.cookie = 0;
            return true;
        }
        return false;
    }

    std::optional<ListingFailure> failure() const override { return failure_; }

    std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
        return Win32FolderEnumerator().open(path_ + entry.name + "\\");
    }

private:
    void close() {
        if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
        search_ = INVALID_HANDLE_VALUE;
    }

    std::string path_;
    HANDLE search_;
    WIN32_FIND_DATAA data_;
    bool pending_ = true; // FindFirstFileA already filled the first entry
    std::optional<ListingFailure> failure_;
};

} // namespace

std::unique_ptr<FolderListing> Win32FolderEnumerator::open(const std::string& path) {
    WIN32_FIND_DATAA first;
    // No 8.3 names wanted, and entries fetched in large batches: what the walk costs is mostly
    // the file system's.
    const HANDLE search =
        FindFirstFileExA((path + "*").c_str(), FindExInfoBasic, &first, FindExSearchNameMatch,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return failedListing(failureOf(GetLastError()));
    return std::make_unique<Win32Listing>(path, search, first);
}

} // namespace kesp
