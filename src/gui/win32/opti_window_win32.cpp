#include "gui/win32/opti_window_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/win32/wide_text.h"
#include "volume/opti_table.h"

namespace kesp {

namespace {
constexpr const wchar_t* kClassName = L"KespOpti";
}

LRESULT CALLBACK OptiWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Closing only hides it: the main window owns it and rebuilds it after the next scan.
    if (message == WM_CLOSE) {
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

OptiWindow::OptiWindow(HINSTANCE instance, const TableOpti& table, const std::string& title) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &OptiWindow::windowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClassName;
    RegisterClassExW(&cls);

    const int largeur = kOptiLargeurColonneTwips / kTwipsParPixel;
    const int lignes = static_cast<int>(table.cellules.size());
    font_ = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        VARIABLE_PITCH | FF_SWISS, L"MS Sans Serif");

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    // The header plays the title row; the rows below it hold the ranges and the figures.
    hwnd_ = CreateWindowExW(0, kClassName, wide(title).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            largeur * kOptiColonnes, 200, nullptr, nullptr, instance, nullptr);
    grid_ =
        CreateWindowExW(0, WC_LISTVIEWW, L"",
                        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                        0, 0, largeur * kOptiColonnes, 200, hwnd_, nullptr, instance, nullptr);
    SendMessageW(grid_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    SendMessageW(grid_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);

    for (int colonne = 0; colonne < kOptiColonnes; ++colonne) {
        const std::wstring titre = wide(table.cellules[0][static_cast<std::size_t>(colonne)]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_CENTER;
        column.cx = largeur;
        column.pszText = const_cast<wchar_t*>(titre.c_str());
        SendMessageW(grid_, LVM_INSERTCOLUMNW, colonne, reinterpret_cast<LPARAM>(&column));
    }
    for (int ligne = 1; ligne < lignes; ++ligne) {
        const auto& cellules = table.cellules[static_cast<std::size_t>(ligne)];
        for (int colonne = 0; colonne < kOptiColonnes; ++colonne) {
            const std::wstring texte = wide(cellules[static_cast<std::size_t>(colonne)]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = ligne - 1;
            item.iSubItem = colonne;
            item.pszText = const_cast<wchar_t*>(texte.c_str());
            SendMessageW(grid_, colonne == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0,
                         reinterpret_cast<LPARAM>(&item));
        }
    }
    // Exactly as high as the header and the rows; a column whose title or figures do not fit
    // 100 pixels in this font grows to them.
    int largeurTotale = 0;
    HDC dc = GetDC(grid_);
    const HGDIOBJ previous = SelectObject(dc, font_);
    for (int colonne = 0; colonne < kOptiColonnes; ++colonne) {
        int voulue = largeur;
        for (const auto& cellules : table.cellules) {
            const std::wstring texte = wide(cellules[static_cast<std::size_t>(colonne)]);
            SIZE taille{};
            GetTextExtentPoint32W(dc, texte.c_str(), static_cast<int>(texte.size()), &taille);
            voulue = std::max(voulue, static_cast<int>(taille.cx) + 16);
        }
        SendMessageW(grid_, LVM_SETCOLUMNWIDTH, colonne, voulue);
        largeurTotale += voulue;
    }
    SelectObject(dc, previous);
    ReleaseDC(grid_, dc);
    RECT derniere{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(grid_, LVM_GETITEMRECT, lignes - 2, reinterpret_cast<LPARAM>(&derniere));
    RECT client{0, 0, largeurTotale, derniere.bottom};
    SetWindowPos(grid_, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
    AdjustWindowRectEx(&client, style, FALSE, 0);
    SetWindowPos(hwnd_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER);

    // The table's selection, less the title row the header stands for.
    for (int ligne = std::max(1, table.premiereLigneSelectionnee());
         ligne <= table.derniereLigneSelectionnee(); ++ligne) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageW(grid_, LVM_SETITEMSTATE, ligne - 1, reinterpret_cast<LPARAM>(&state));
    }
}

OptiWindow::~OptiWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (font_) DeleteObject(font_);
}

void OptiWindow::show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

} // namespace kesp
