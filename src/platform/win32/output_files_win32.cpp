#include "platform/win32/output_files_win32.h"

#include <windows.h>

#include "platform/win32/system_error_win32.h"

namespace kesp {
namespace {

class Win32LineSink final : public LineSink {
public:
    explicit Win32LineSink(HANDLE file) : file_(file) { buffer_.reserve(kChunk); }
    ~Win32LineSink() override { close(); }
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
        if (!CloseHandle(file_) && error_.empty()) error_ = win32ErrorText(GetLastError());
        file_ = INVALID_HANDLE_VALUE;
        return error_.empty();
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

    HANDLE file_;
    std::string buffer_;
    std::string error_;
};

} // namespace

std::unique_ptr<LineSink> Win32OutputFiles::create(const std::string& path, std::string& error) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        error = "le fichier est un lien, il n'est pas suivi";
        return nullptr;
    }
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = win32ErrorText(GetLastError());
        return nullptr;
    }
    return std::make_unique<Win32LineSink>(file);
}

} // namespace kesp
