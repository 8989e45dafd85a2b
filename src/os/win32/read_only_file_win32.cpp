#include "os/read_only_file.h"

#include <windows.h>

#include <winioctl.h>

#include <algorithm>

#include "os/win32/system_error_win32.h"

namespace kesp {

namespace {

class Win32ReadOnlyFile final : public ReadOnlyFile {
public:
    Win32ReadOnlyFile(HANDLE handle, std::uint64_t size) : handle_(handle), size_(size) {}
    ~Win32ReadOnlyFile() override { CloseHandle(handle_); }
    Win32ReadOnlyFile(const Win32ReadOnlyFile&) = delete;
    Win32ReadOnlyFile& operator=(const Win32ReadOnlyFile&) = delete;

    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;
    std::uint64_t size() const override { return size_; }
    int deviceError() const override { return deviceError_; }

private:
    HANDLE handle_;
    std::uint64_t size_;
    int deviceError_ = 0;
};

bool Win32ReadOnlyFile::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset) return false;
    std::size_t done = 0;
    while (done < out.size()) {
        const std::uint64_t at = offset + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle_, out.data() + done, wanted, &got, &position)) {
            deviceError_ = static_cast<int>(GetLastError());
            return false;
        }
        if (got == 0) return false;
        done += got;
    }
    return true;
}

} // namespace

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::string& path, std::string& error) {
    // A folder opens only with backup semantics; it is refused as a POSIX build refuses it.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = notAnImageText(path);
        return nullptr;
    }
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD why = GetLastError();
        error = (why == ERROR_ACCESS_DENIED ? "lecture de " + path + " non autorisée : "
                                            : "impossible d'ouvrir " + path + " : ") +
                win32ErrorText(why);
        return nullptr;
    }
    // Pipes and consoles are no images.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        error = notAnImageText(path);
        return nullptr;
    }
    // A volume or a physical drive ("\\.\E:") has no file size: the disk's length is asked for.
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) {
        GET_LENGTH_INFORMATION length{};
        DWORD returned = 0;
        if (!DeviceIoControl(handle, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length,
                             &returned, nullptr)) {
            error =
                "impossible de lire la taille de " + path + " : " + win32ErrorText(GetLastError());
            CloseHandle(handle);
            return nullptr;
        }
        size = length.Length;
    }
    return std::make_unique<Win32ReadOnlyFile>(handle, static_cast<std::uint64_t>(size.QuadPart));
}

} // namespace kesp
