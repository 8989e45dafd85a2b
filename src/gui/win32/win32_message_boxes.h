#pragma once
// Message boxes through MessageBoxW, owned by the main window once it exists.
#include <windows.h>

#include "os/message_box.h"

namespace kesp {

class Win32MessageBoxes final : public MessageBoxes {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    void show(const std::string& text, const std::string& title, MessageIcon icon) override;
    void beep() override;

private:
    HWND owner_ = nullptr;
};

} // namespace kesp
