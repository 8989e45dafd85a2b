#include "gui/win32/win32_message_boxes.h"

#include "gui/win32/wide_text.h"

namespace kesp {

void Win32MessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
    UINT style = MB_OK;
    switch (icon) {
    case MessageIcon::Critical:
        style |= MB_ICONERROR;
        break;
    case MessageIcon::Exclamation:
        style |= MB_ICONWARNING;
        break;
    case MessageIcon::Information:
        style |= MB_ICONINFORMATION;
        break;
    case MessageIcon::None:
        break;
    }
    MessageBoxW(owner_, wide(text).c_str(), wide(title).c_str(), style);
}

void Win32MessageBoxes::beep() {
    MessageBeep(MB_OK);
}

} // namespace kesp
