#include "os/staged_copy.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "os/own_file.h"
#include "os/win32/system_error_win32.h"

namespace kesp {
namespace {

// Closes the handle on every path out.
struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

std::string lastErrorText() {
    return win32ErrorText(GetLastError());
}

bool writeAll(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

StagedCopy::StagedCopy(std::string temporary, std::string destination)
    : temporary_(std::move(temporary)), destination_(std::move(destination)) {}

StagedCopy::StagedCopy(StagedCopy&& other) noexcept
    : temporary_(std::exchange(other.temporary_, {})), destination_(std::move(other.destination_)) {
}

StagedCopy::~StagedCopy() {
    if (!temporary_.empty()) DeleteFileA(temporary_.c_str());
}

std::optional<StagedCopy> StagedCopy::stage(const std::string& source,
                                            const std::string& destination, CopyError& error) {
    // A link planted under a result file's name, or a folder, is never read.
    if (const std::string refusal = ownFileRefusal(source); !refusal.empty()) {
        error = {source, refusal, true};
        return std::nullopt;
    }
    Handle in{CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    if (in.h == INVALID_HANDLE_VALUE) {
        error = {source, lastErrorText(), true};
        return std::nullopt;
    }
    if (GetFileType(in.h) != FILE_TYPE_DISK) {
        error = {source, "ce n'est pas un fichier ordinaire", true};
        return std::nullopt;
    }

    const DWORD existing = GetFileAttributesA(destination.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)) {
        // What Windows itself answers when a file would replace a folder.
        error = {destination, win32ErrorText(ERROR_ACCESS_DENIED), false};
        return std::nullopt;
    }
    const auto slash = destination.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : destination.substr(0, slash + 1);
    const std::string name =
        slash == std::string::npos ? destination : destination.substr(slash + 1);
    // Hidden beside the destination so that the final move stays on one volume.
    Handle out;
    std::string temporary;
    for (unsigned attempt = 0; out.h == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + "." + name.substr(0, 200) + "." +
                    std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
        out.h = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (out.h == INVALID_HANDLE_VALUE &&
            (GetLastError() != ERROR_FILE_EXISTS || attempt == 100)) {
            error = {destination, lastErrorText(), false};
            return std::nullopt;
        }
    }
    StagedCopy staged(temporary, destination);

    std::vector<char> chunk(1 << 16);
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(in.h, chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr)) {
            error = {source, lastErrorText(), true};
            return std::nullopt;
        }
        if (n == 0) break;
        if (!writeAll(out.h, chunk.data(), n)) {
            error = {destination, lastErrorText(), false};
            return std::nullopt;
        }
    }
    if (!FlushFileBuffers(out.h) || !CloseHandle(std::exchange(out.h, INVALID_HANDLE_VALUE))) {
        error = {destination, lastErrorText(), false};
        return std::nullopt;
    }
    return staged;
}

bool StagedCopy::commit(CopyError& error) {
    // The copy shows under its name as an ordinary file, not hidden as while it was staged.
    SetFileAttributesA(temporary_.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExA(temporary_.c_str(), destination_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = {destination_, lastErrorText(), false};
        return false;
    }
    temporary_.clear();
    return true;
}

} // namespace kesp
