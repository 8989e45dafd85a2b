// Form1's controls, tool bar, menus and message handling, built from the window's description
// (form1_layout.h).
#include <algorithm>
#include <vector>

#include "gui/win32/form1_win32.h"
#include "gui/win32/tool_images.h"
#include "gui/win32/wide_text.h"
#include "window/form1_layout.h"

namespace kesp {

namespace {

using form1::Control;
using form1::kPanels;

constexpr UINT kClockTimer = 1;
constexpr const wchar_t* kClassName = L"KespForm1";

HFONT makeFont(const wchar_t* face, int pixels, bool bold, DWORD pitch) {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       pitch, face);
}

HWND child(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, int x,
           int y, int w, int h, HFONT font, DWORD exStyle = 0) {
    HWND hwnd = CreateWindowExW(exStyle, cls, wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, x,
                                y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                nullptr, nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return hwnd;
}

int toolImageOf(form1::ToolImage image) {
    switch (image) {
    case form1::ToolImage::Floppy:
        return kToolImageEnregistrer;
    case form1::ToolImage::Printer:
        return kToolImageImprimer;
    case form1::ToolImage::Spanner:
        return kToolImageOptimiser;
    case form1::ToolImage::Plan:
        return kToolImagePlan;
    case form1::ToolImage::Question:
        return kToolImageAide;
    case form1::ToolImage::Program:
        break;
    }
    return kToolImageApropos;
}

} // namespace

HFONT Win32Form1::fontOf(form1::Font font) const {
    switch (font) {
    case form1::Font::SansBold:
        return sansBold_;
    case form1::Font::Sans:
        return sans_;
    case form1::Font::Fixed:
        break;
    }
    return fixed_;
}

HWND Win32Form1::child(const wchar_t* cls, Control control, DWORD style, int id, DWORD exStyle,
                       int height) {
    const form1::ControlLayout& layout = form1::layoutOf(control);
    const form1::Place& at = layout.place;
    return kesp::child(hwnd_, cls, layout.caption, style, id, at.x, at.y, at.width,
                       height != 0 ? height : at.height, fontOf(layout.font), exStyle);
}

HWND Win32Form1::hwndOf(Control control) const {
    switch (control) {
    case Control::Dir1:
        return dir1_->hwnd();
    case Control::Drive1:
        return drive1_;
    case Control::sldFreq:
        return sldFreq_;
    case Control::Label1:
        return label1_;
    case Control::OK:
        return ok_;
    case Control::SousRep:
        return sousRep_;
    case Control::List1:
        return list1_;
    case Control::List3:
        break;
    }
    return list3_;
}

HWND Win32Form1::control(CommandId id) const {
    switch (id) {
    case kIdDir1:
        return dir1_->hwnd();
    case kIdToolbar:
        return toolbar_;
    case kIdStatusBar:
        return statusBar_;
    default:
        return GetDlgItem(hwnd_, id);
    }
}

void Win32Form1::createControls(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &Win32Form1::windowProc;
    cls.hInstance = instance;
    cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClassName;
    RegisterClassExW(&cls);

    // "MS Sans Serif 8.25" and "Fixedsys 9"; where they are missing the font mapper picks the
    // nearest face of the same pitch.
    sansBold_ = makeFont(L"MS Sans Serif", 11, true, VARIABLE_PITCH | FF_SWISS);
    sans_ = makeFont(L"MS Sans Serif", 11, false, VARIABLE_PITCH | FF_SWISS);
    fixed_ = makeFont(L"Fixedsys", 12, false, FIXED_PITCH | FF_MODERN);

    createMenus();
    // A fixed dialog-style frame: no resizing, no minimise or maximise button.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, form1::kClientWidth, form1::kClientHeight};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, menu_, instance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    createToolBar(instance);
    const form1::ControlLayout& dir1 = form1::layoutOf(Control::Dir1);
    dir1_ = std::make_unique<FolderTreeWin32>(
        hwnd_, kIdDir1, RECT{dir1.place.x, dir1.place.y, dir1.place.width, dir1.place.height});
    SendMessageW(dir1_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(dir1.font)), TRUE);
    drive1_ = child(WC_COMBOBOXW, Control::Drive1, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                    kIdDrive1, 0, form1::kDrive1ListHeight);
    sldFreq_ = child(TRACKBAR_CLASSW, Control::sldFreq, TBS_AUTOTICKS | TBS_BOTTOM | WS_TABSTOP,
                     kIdSldFreq);
    SendMessageW(sldFreq_, TBM_SETRANGE, FALSE,
                 MAKELPARAM(form1::kSldFreqMinimum, form1::kSldFreqMaximum));
    SendMessageW(sldFreq_, TBM_SETLINESIZE, 0, 1);
    SendMessageW(sldFreq_, TBM_SETPAGESIZE, 0, form1::kSldFreqPageStep);
    SendMessageW(sldFreq_, TBM_SETPOS, TRUE, form1::kSldFreqMinimum);
    label1_ = child(WC_STATICW, Control::Label1, SS_LEFT, 0);
    ok_ = child(WC_BUTTONW, Control::OK, BS_PUSHBUTTON | WS_TABSTOP, kIdOk);
    sousRep_ = child(WC_BUTTONW, Control::SousRep, BS_3STATE | WS_TABSTOP, kIdSousRep);
    SendMessageW(sousRep_, BM_SETCHECK, BST_CHECKED, 0);
    const DWORD listStyle =
        LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
    list1_ = child(WC_LISTBOXW, Control::List1, listStyle, kIdList1, WS_EX_CLIENTEDGE);
    list3_ = child(WC_LISTBOXW, Control::List3, listStyle, kIdList3, WS_EX_CLIENTEDGE);

    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusBar)),
                                 instance, nullptr);
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(sans_), TRUE);
    layoutPanels();
    // The focus order of Form1 is the controls' order among their siblings; the status bar stays
    // above List3, which slides under it.
    for (const Control control : form1::kFocusOrder)
        SetWindowPos(hwndOf(control), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(statusBar_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetTimer(hwnd_, kClockTimer, 1000, nullptr);
    updateClock();
}

void Win32Form1::createToolBar(HINSTANCE instance) {
    toolbar_ = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, 0, 0, 0,
        0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdToolbar)), instance, nullptr);
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    images_ = makeToolImages();
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    std::vector<TBBUTTON> buttons;
    for (const form1::ToolButton& button : form1::kToolButtons) {
        TBBUTTON b{};
        if (button.command) {
            b.iBitmap = toolImageOf(button.image);
            b.idCommand = commandId(*button.command);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        } else {
            b.fsStyle = BTNS_SEP;
        }
        buttons.push_back(b);
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(),
                 reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(form1::kToolButtonWidth, form1::kToolButtonHeight));
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void Win32Form1::createMenus() {
    menu_ = CreateMenu();
    std::vector<ACCEL> keys;
    for (const form1::Menu& menu : form1::kMenus) {
        HMENU popup = CreatePopupMenu();
        for (const form1::MenuEntry& entry : menu.entries) {
            if (!entry.command) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            const int id = commandId(*entry.command);
            std::string caption = entry.caption;
            if (entry.shortcut.any()) {
                caption += "\t" + form1::shortcutText(entry.shortcut);
                const BYTE flags = FVIRTKEY | (entry.shortcut.control ? FCONTROL : 0);
                const WORD key = entry.shortcut.function != 0
                                     ? static_cast<WORD>(VK_F1 + entry.shortcut.function - 1)
                                     : static_cast<WORD>(entry.shortcut.letter);
                keys.push_back({flags, key, static_cast<WORD>(id)});
            }
            AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(id), wide(caption).c_str());
        }
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), wide(menu.caption).c_str());
    }
    // Without the image service (a test may give none) the item is there, greyed.
    if (!services_.images) EnableMenuItem(menu_, kIdOuvrirImage, MF_BYCOMMAND | MF_GRAYED);
    accelerators_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

std::vector<int> panelEdges(const std::vector<int>& textWidths, int barWidth) {
    std::vector<int> edges;
    int edge = 0;
    // The counters, the cluster and the FAT type grow past their widths with their text; the
    // clock and the date share the rest and give up that room first.
    for (std::size_t i = 0; i < 5; ++i) {
        edge += std::max(kPanels[i].width, i < textWidths.size() ? textWidths[i] : 0);
        edges.push_back(edge);
    }
    const int shared = kPanels[5].width + kPanels[6].width;
    const int rest = std::max(barWidth - edge, shared);
    edges.push_back(edge + rest * kPanels[5].width / shared);
    edges.push_back(-1);
    return edges;
}

void Win32Form1::layoutPanels() {
    std::vector<int> widths;
    HDC dc = GetDC(statusBar_);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(statusBar_, WM_GETFONT, 0, 0)));
    for (int panel = 0; panel < 5; ++panel) {
        const auto length = LOWORD(SendMessageW(statusBar_, SB_GETTEXTLENGTHW, panel, 0));
        std::wstring text(length + 1u, L'\0');
        SendMessageW(statusBar_, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text.data()));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(length), &size);
        // The sunken border and the bar's margins on each side.
        widths.push_back(size.cx + 20);
    }
    SelectObject(dc, previous);
    ReleaseDC(statusBar_, dc);
    const std::vector<int> edges = panelEdges(widths, form1::kClientWidth);
    SendMessageW(statusBar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void Win32Form1::updateClock() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t clock[16];
    wsprintfW(clock, L"%02d:%02d", now.wHour, now.wMinute);
    SendMessageW(statusBar_, SB_SETTEXTW, 5, reinterpret_cast<LPARAM>(clock));
    wchar_t date[64] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 64);
    SendMessageW(statusBar_, SB_SETTEXTW, 6, reinterpret_cast<LPARAM>(date));
}

LRESULT CALLBACK Win32Form1::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<Win32Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    return form->handle(message, wParam, lParam);
}

LRESULT Win32Form1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.hwndFrom == dir1_->hwnd() && dir1_->notify(header))
            controller_.Dir1_RightButton();
        if (header.code == TTN_GETDISPINFOW) {
            auto& tip = *reinterpret_cast<NMTTDISPINFOW*>(lParam);
            const auto command = commandOfId(static_cast<int>(header.idFrom));
            const form1::ToolButton* button = command ? form1::toolButtonOf(*command) : nullptr;
            if (button) {
                tipText_ = wide(button->tip);
                tip.lpszText = tipText_.data();
            }
        }
        return 0;
    }
    case WM_MENUSELECT:
        menuSelected(HIWORD(wParam) & MF_POPUP ? 0 : LOWORD(wParam),
                     reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_EXITMENULOOP:
        hideMenuTip();
        return 0;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == sldFreq_)
            controller_.sldFreq_Change(refreshSeconds());
        return 0;
    case WM_TIMER:
        if (wParam == kClockTimer) updateClock();
        return 0;
    case WM_SETCURSOR:
        if (busy_) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        controller_.FinProgramme();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Form1::command(int id, int notification) {
    switch (id) {
    case kIdOk:
        if (notification == BN_CLICKED) controller_.OK_Click();
        break;
    case kIdSousRep:
        // The grey state is the program's to set; a click only ticks or clears.
        if (notification == BN_CLICKED)
            SendMessageW(sousRep_, BM_SETCHECK,
                         subFolders() == CheckState::Ticked ? BST_UNCHECKED : BST_CHECKED, 0);
        break;
    case kIdDrive1:
        if (notification == CBN_DROPDOWN) controller_.refreshDrives();
        if (notification == CBN_SELCHANGE) controller_.Drive1_Change();
        break;
    default:
        if (const auto command = commandOfId(id)) controller_.run(*command);
        break;
    }
}

} // namespace kesp
