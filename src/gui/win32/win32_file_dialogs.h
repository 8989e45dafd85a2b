#pragma once
// GetSaveFileNameW, GetOpenFileNameW and PrintDlgW behind the program's dialog interface.
#include <windows.h>

#include "os/dialogs.h"

namespace kesp {

class Win32FileDialogs final : public FileDialogs {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    std::optional<std::string> saveFile(const SaveDialogRequest& request) override;
    std::optional<std::string> openFile(const OpenDialogRequest& request) override;
    // The printer's device name and the copies; the device context itself is the printer's
    // business (text_printer.h asks for it again).
    std::optional<PrintChoice> printDialog(const std::string& title) override;

private:
    HWND owner_ = nullptr;
};

// "label\0pattern\0...\0\0" with the patterns' blanks turned into the semicolons Windows wants.
std::wstring filterString(const std::vector<std::pair<std::string, std::string>>& filters);

} // namespace kesp
