#pragma once
// The format plan on Windows: the plan's text, as kesp-scan prints it, in a fixed-pitch list.
// Modeless, a window of its own.
#include <windows.h>

#include "plan/plan_window_model.h"

namespace kesp {

class PlanWindowWin32 {
public:
    PlanWindowWin32(HINSTANCE instance, plan::PlanWindowModel model);
    ~PlanWindowWin32();
    PlanWindowWin32(const PlanWindowWin32&) = delete;
    PlanWindowWin32& operator=(const PlanWindowWin32&) = delete;

    void show();
    HWND hwnd() const { return hwnd_; }
    HWND list() const { return list_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    plan::PlanWindowModel model_;
    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    HFONT font_ = nullptr;
};

} // namespace kesp
