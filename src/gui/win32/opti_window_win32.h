#pragma once
// Opti: the optimisation table in a list view in report mode, a modeless window of its own.
#include <windows.h>

#include <string>

#include "volume/opti_table.h"

namespace kesp {

class OptiWindow {
public:
    OptiWindow(HINSTANCE instance, const TableOpti& table, const std::string& title);
    ~OptiWindow();
    OptiWindow(const OptiWindow&) = delete;
    OptiWindow& operator=(const OptiWindow&) = delete;

    void show();
    HWND hwnd() const { return hwnd_; }
    HWND grid() const { return grid_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    HWND grid_ = nullptr;
    HFONT font_ = nullptr;
};

} // namespace kesp
