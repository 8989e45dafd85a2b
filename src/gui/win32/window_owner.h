#pragma once
// The object behind a window class's procedure: the window is created with the object as its
// creation parameter, which is kept in the window's user data.
#include <windows.h>

namespace kesp {

// The `Owner` of `hwnd`, or nullptr for the messages CreateWindowEx sends before the owner knows
// its window handle (WM_NCCREATE among them, which keeps the parameter).
template <class Owner> Owner* windowOwner(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return owner && owner->hwnd() == hwnd ? owner : nullptr;
}

} // namespace kesp
