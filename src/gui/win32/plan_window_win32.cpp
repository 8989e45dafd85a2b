#include "gui/win32/plan_window_win32.h"

#include "gui/win32/wide_text.h"

namespace kesp {

namespace {
constexpr const wchar_t* kClassName = L"KespPlan";
}

LRESULT CALLBACK PlanWindowWin32::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    // Closing only hides it: the main window drops it when a new scan starts.
    if (message == WM_CLOSE) {
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

PlanWindowWin32::PlanWindowWin32(HINSTANCE instance, plan::PlanWindowModel model)
    : model_(std::move(model)) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &PlanWindowWin32::windowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClassName;
    RegisterClassExW(&cls);

    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, 760, 420};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    hwnd_ = CreateWindowExW(0, kClassName, wide("Plan de formatage").c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance, nullptr);
    font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        FIXED_PITCH | FF_MODERN, L"Fixedsys");
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT |
                                LBS_USETABSTOPS,
                            0, 0, 760, 420, hwnd_, nullptr, instance, nullptr);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, 1200, 0);
    for (const std::string& line : model_.printLines())
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line).c_str()));
}

PlanWindowWin32::~PlanWindowWin32() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (font_) DeleteObject(font_);
}

void PlanWindowWin32::show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

} // namespace kesp
