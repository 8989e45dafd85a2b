#include "os/read_only_file.h"

#include <windows.h>

#include <winioctl.h>

#include <algorithm>
#include <vector>

#include "os/win32/device_names.h"
#include "os/win32/system_error_win32.h"
#include "os/win32/wide_path.h"

namespace kesp {
namespace {

class Win32ReadOnlyFile final : public ReadOnlyFile {
public:
    // `sectorBytes` 0 for a file; a device is read in whole sectors at sector offsets.
    Win32ReadOnlyFile(HANDLE handle, std::uint64_t size, std::uint32_t sectorBytes)
        : handle_(handle), size_(size), sectorBytes_(sectorBytes) {}
    ~Win32ReadOnlyFile() override { CloseHandle(handle_); }
    Win32ReadOnlyFile(const Win32ReadOnlyFile&) = delete;
    Win32ReadOnlyFile& operator=(const Win32ReadOnlyFile&) = delete;

    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        if (offset > size_ || out.size() > size_ - offset) return false;
        if (sectorBytes_ == 0) return readAt(offset, out);
        // Volumes and disks refuse reads that do not start and end on a sector's edge.
        const std::uint64_t first = offset / sectorBytes_ * sectorBytes_;
        const std::uint64_t end =
            (offset + out.size() + sectorBytes_ - 1) / sectorBytes_ * sectorBytes_;
        std::vector<std::uint8_t> sectors(static_cast<std::size_t>(end - first));
        if (!readAt(first, sectors)) return false;
        std::copy_n(sectors.begin() + static_cast<std::ptrdiff_t>(offset - first), out.size(),
                    out.begin());
        return true;
    }
    std::uint64_t size() const override { return size_; }
    std::string deviceFailure() const override { return failure_; }

private:
    bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) {
        std::size_t done = 0;
        while (done < out.size()) {
            const std::uint64_t at = offset + done;
            OVERLAPPED position{};
            position.Offset = static_cast<DWORD>(at);
            position.OffsetHigh = static_cast<DWORD>(at >> 32);
            const auto wanted =
                static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(handle_, out.data() + done, wanted, &got, &position)) {
                const DWORD why = GetLastError();
                if (why != ERROR_HANDLE_EOF) failure_ = win32ErrorText(why);
                return false;
            }
            if (got == 0) return false;
            done += got;
        }
        return true;
    }

    HANDLE handle_;
    std::uint64_t size_;
    std::uint32_t sectorBytes_;
    std::string failure_;
};

std::string openFailure(const std::string& path, DWORD why) {
    switch (why) {
    case ERROR_ACCESS_DENIED:
        return win32AccessRefusal(path, win32ErrorText(why));
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return win32SharingRefusal(path);
    default:
        return "impossible d'ouvrir " + path + " : " + win32ErrorText(why);
    }
}

// A volume's or a disk's length and sector size, which it has in place of a file size.
bool deviceGeometry(HANDLE handle, std::uint64_t& size, std::uint32_t& sectorBytes) {
    GET_LENGTH_INFORMATION length{};
    DWORD returned = 0;
    if (!DeviceIoControl(handle, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length,
                         &returned, nullptr))
        return false;
    size = static_cast<std::uint64_t>(length.Length.QuadPart);
    DISK_GEOMETRY geometry{};
    sectorBytes = DeviceIoControl(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry,
                                  sizeof geometry, &returned, nullptr) &&
                          geometry.BytesPerSector >= 512
                      ? geometry.BytesPerSector
                      : 4096; // a multiple of every sector size in use
    return true;
}

} // namespace

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::string& path, std::string& error) {
    const std::wstring name = systemPath(path);
    // A folder opens only with backup semantics: refused by name, as on POSIX.
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = notAnImageText(path);
        return nullptr;
    }
    // Shared for reading, writing and deleting: whoever else uses the image or the card goes on
    // as if Kesp were not there.
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = openFailure(path, GetLastError());
        return nullptr;
    }
    // Pipes, consoles and serial ports are no images.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        error = notAnImageText(path);
        return nullptr;
    }
    // A device has a length in place of a file size; wine may give a file for one.
    const bool device = isWin32DeviceName(path);
    std::uint64_t size = 0;
    std::uint32_t sectorBytes = 0;
    bool sized = device && deviceGeometry(handle, size, sectorBytes);
    if (LARGE_INTEGER fileSize{}; !sized && GetFileSizeEx(handle, &fileSize)) {
        size = static_cast<std::uint64_t>(fileSize.QuadPart);
        sized = true;
    }
    if (!sized && !device) sized = deviceGeometry(handle, size, sectorBytes);
    if (!sized) {
        error = "impossible de lire la taille de " + path + " : " + win32ErrorText(GetLastError());
        CloseHandle(handle);
        return nullptr;
    }
    return std::make_unique<Win32ReadOnlyFile>(handle, size, sectorBytes);
}

} // namespace kesp
