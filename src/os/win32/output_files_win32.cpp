#include "os/win32/output_files_win32.h"

#include <windows.h>

#include "os/win32/system_error_win32.h"

namespace kesp {
namespace {

HANDLE openHeld(const std::string& path, DWORD disposition) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

class Win32LineSink final : public LineSink {
public:
    Win32LineSink(Win32OutputFiles& owner, HANDLE file, std::string temporary,
                  std::string destination)
        : owner_(owner), file_(file), temporary_(std::move(temporary)),
          destination_(std::move(destination)) {
        buffer_.reserve(kChunk);
    }
    ~Win32LineSink() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        if (!temporary_.empty()) DeleteFileA(temporary_.c_str());
    }
    Win32LineSink(const Win32LineSink&) = delete;
    Win32LineSink& operator=(const Win32LineSink&) = delete;

    bool writeLine(std::string_view line) override {
        if (!error_.empty() || file_ == INVALID_HANDLE_VALUE) return false;
        buffer_.append(line).append("\r\n");
        return buffer_.size() < kChunk || flush();
    }

    bool close() override {
        if (file_ == INVALID_HANDLE_VALUE) return error_.empty();
        flush();
        if (error_.empty() && !FlushFileBuffers(file_)) error_ = win32ErrorText(GetLastError());
        if (!CloseHandle(file_) && error_.empty()) error_ = win32ErrorText(GetLastError());
        file_ = INVALID_HANDLE_VALUE;
        return error_.empty();
    }

    bool commit() override {
        if (file_ != INVALID_HANDLE_VALUE || !error_.empty() || temporary_.empty()) return false;
        const bool held = owner_.reopenHeld(destination_, true);
        if (!MoveFileExA(temporary_.c_str(), destination_.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error_ = win32ErrorText(GetLastError());
            if (held) owner_.reopenHeld(destination_, false);
            return false;
        }
        temporary_.clear();
        if (held) owner_.reopenHeld(destination_, false);
        return true;
    }

    std::string error() const override { return error_; }

private:
    static constexpr std::size_t kChunk = 64 * 1024;

    bool flush() {
        const char* data = buffer_.data();
        std::size_t left = buffer_.size();
        while (left > 0 && error_.empty()) {
            DWORD written = 0;
            const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
            if (!WriteFile(file_, data, chunk, &written, nullptr) || written == 0) {
                error_ = win32ErrorText(GetLastError());
                break;
            }
            data += written;
            left -= written;
        }
        buffer_.clear();
        return error_.empty();
    }

    Win32OutputFiles& owner_;
    HANDLE file_;
    std::string temporary_;
    std::string destination_;
    std::string buffer_;
    std::string error_;
};

std::string refusal(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return "le fichier est un lien, il n'est pas suivi";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return win32ErrorText(ERROR_ACCESS_DENIED);
    return {};
}

} // namespace

Win32OutputFiles::~Win32OutputFiles() {
    releaseAll();
}

std::unique_ptr<LineSink> Win32OutputFiles::create(const std::string& path, std::string& error) {
    error = refusal(path);
    if (!error.empty()) return nullptr;
    const auto slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    char temporary[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "~kr", 0, temporary) == 0) {
        error = win32ErrorText(GetLastError());
        return nullptr;
    }
    const HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = win32ErrorText(GetLastError());
        DeleteFileA(temporary);
        return nullptr;
    }
    return std::make_unique<Win32LineSink>(*this, file, temporary, path);
}

HoldResult Win32OutputFiles::hold(const std::string& path, std::string& error) {
    if (held_.count(path)) return HoldResult::Held;
    error = refusal(path);
    if (!error.empty()) return HoldResult::Refused;
    const HANDLE file = openHeld(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_SHARING_VIOLATION) return HoldResult::HeldByOther;
        error = win32ErrorText(code);
        return HoldResult::Refused;
    }
    held_[path] = file;
    return HoldResult::Held;
}

bool Win32OutputFiles::reopenHeld(const std::string& path, bool beforeMove) {
    const auto it = held_.find(path);
    if (it == held_.end()) return false;
    if (beforeMove) {
        CloseHandle(static_cast<HANDLE>(it->second));
        it->second = INVALID_HANDLE_VALUE;
    } else {
        it->second = openHeld(path, OPEN_EXISTING);
    }
    return true;
}

void Win32OutputFiles::releaseAll() {
    for (const auto& [path, file] : held_)
        if (file != INVALID_HANDLE_VALUE) CloseHandle(static_cast<HANDLE>(file));
    held_.clear();
}

} // namespace kesp
