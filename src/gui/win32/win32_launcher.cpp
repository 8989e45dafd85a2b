#include "gui/win32/win32_launcher.h"

#include <windows.h>

#include <shellapi.h>

#include "gui/win32/wide_text.h"

namespace kesp {
namespace {

std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes double only before a quote, which gets one more.
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

std::string systemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n ? utf8(std::wstring_view(buffer, n)) : std::string();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

std::wstring commandLine(const std::vector<std::string>& argv) {
    std::wstring line;
    for (const std::string& argument : argv) {
        if (!line.empty()) line += L' ';
        line += quoted(wide(argument));
    }
    return line;
}

LaunchResult Win32Launcher::start(const std::vector<std::string>& argv,
                                  std::function<void(int, const std::string&)>) {
    std::wstring line = commandLine(argv);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? kErrorFileNotFound : kErrorCannotStart, systemMessage(error)};
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

LaunchResult Win32Launcher::startWatched(const std::vector<std::string>& argv, int,
                                         std::function<void(int, const std::string&)> failed) {
    return start(argv, std::move(failed));
}

bool Win32Launcher::openWithDesktop(const std::string& pathOrAddress) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, L"open", wide(pathOrAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // ShellExecute's old convention: above 32 is success.
    return result > 32;
}

} // namespace kesp
