#include "gui/win32/win32_file_dialogs.h"

#include <commdlg.h>

#include "gui/win32/wide_text.h"

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

namespace {

// The texts a file dialog points at, kept alive for its call.
struct DialogTexts {
    DialogTexts(const std::string& initialName, const std::string& titleText,
                const std::string& initialFolder,
                const std::vector<std::pair<std::string, std::string>>& filters)
        : name(wide(initialName)), filter(filterString(filters)), title(wide(titleText)),
          folder(wide(initialFolder)) {
        for (wchar_t& c : name)
            if (c == L'/') c = L'\\';
        name.resize(32768, L'\0');
    }

    OPENFILENAMEW request(HWND owner, DWORD flags) {
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filter.c_str();
        dialog.lpstrFile = name.data();
        dialog.nMaxFile = static_cast<DWORD>(name.size());
        dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        dialog.lpstrTitle = title.c_str();
        dialog.Flags = flags | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        return dialog;
    }

    std::wstring name;
    std::wstring filter;
    std::wstring title;
    std::wstring folder;
};

} // namespace

std::optional<std::string> Win32FileDialogs::saveFile(const SaveDialogRequest& request) {
    DialogTexts texts(request.fileName, request.title, request.initialFolder, request.filters);
    const std::wstring extension = wide(request.defaultExtension);
    OPENFILENAMEW dialog = texts.request(owner_, OFN_OVERWRITEPROMPT);
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return utf8(texts.name.c_str());
}

std::optional<std::string> Win32FileDialogs::openFile(const OpenDialogRequest& request) {
    DialogTexts texts({}, request.title, request.initialFolder, request.filters);
    OPENFILENAMEW dialog = texts.request(owner_, OFN_FILEMUSTEXIST);
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return utf8(texts.name.c_str());
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
