#include "platform/win32gui/win32_file_dialogs.h"

#include <commdlg.h>

#include "platform/win32gui/wide_text.h"

namespace kesp {

std::wstring filterString(const std::vector<std::pair<std::string, std::string>>& filters) {
    std::wstring result;
    for (const auto& [label, pattern] : filters) {
        std::wstring windowsPattern = wide(pattern);
        for (wchar_t& c : windowsPattern)
            if (c == L' ') c = L';';
        // "*" alone matches only names without a dot on Windows.
        if (windowsPattern == L"*") windowsPattern = L"*.*";
        result += wide(label);
        result += L'\0';
        result += windowsPattern;
        result += L'\0';
    }
    result += L'\0';
    return result;
}

std::optional<std::string> Win32FileDialogs::saveFile(const SaveDialogRequest& request) {
    std::wstring name = wide(request.fileName);
    for (wchar_t& c : name)
        if (c == L'/') c = L'\\';
    name.resize(32768, L'\0');
    const std::wstring filter = filterString(request.filters);
    const std::wstring title = wide(request.title);
    const std::wstring folder = wide(request.initialFolder);
    const std::wstring extension = wide(request.defaultExtension);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return utf8(name.c_str());
}

std::optional<std::string> Win32FileDialogs::openFile(const OpenDialogRequest& request) {
    std::wstring name(32768, L'\0');
    const std::wstring filter = filterString(request.filters);
    const std::wstring title = wide(request.title);
    const std::wstring folder = wide(request.initialFolder);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return utf8(name.c_str());
}

std::optional<PrintChoice> Win32FileDialogs::printDialog(const std::string&) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.Flags = PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    dialog.nCopies = 1;
    if (!PrintDlgW(&dialog)) return std::nullopt;
    PrintChoice choice;
    if (dialog.hDevNames) {
        const auto* names = static_cast<const DEVNAMES*>(GlobalLock(dialog.hDevNames));
        choice.printer = utf8(reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset);
        GlobalUnlock(dialog.hDevNames);
        GlobalFree(dialog.hDevNames);
    }
    if (dialog.hDevMode) {
        const auto* mode = static_cast<const DEVMODEW*>(GlobalLock(dialog.hDevMode));
        choice.copies = mode->dmCopies > 0 ? mode->dmCopies : 1;
        GlobalUnlock(dialog.hDevMode);
        GlobalFree(dialog.hDevMode);
    }
    return choice;
}

} // namespace kesp
