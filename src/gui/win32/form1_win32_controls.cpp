// Form1's controls, tool bar, menus and message handling, at the places of the Form1 layout
// (pixels at 15 twips to the pixel; y counts from the top of the client area, tool bar included).
#include <algorithm>
#include <vector>

#include "gui/win32/form1_win32.h"
#include "gui/win32/tool_images.h"
#include "gui/win32/wide_text.h"
#include "scan/result_lines.h"

namespace kesp {

namespace {

constexpr int kClientWidth = 794;
constexpr int kClientHeight = 547;
constexpr UINT kClockTimer = 1;
constexpr const wchar_t* kClassName = L"KespForm1";

// Widths of the seven status panels: the counters, the cluster and the FAT type grow past theirs
// with their text; the clock and the date share the rest and give up that room first.
constexpr int kPanelWidths[7] = {100, 100, 100, 133, 60, 47, 67};

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

} // namespace

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
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, menu_, instance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    createToolBar(instance);
    dir1_ = std::make_unique<FolderTreeWin32>(hwnd_, kIdDir1, RECT{0, 32, 473, 66});
    SendMessageW(dir1_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(sansBold_), TRUE);
    drive1_ = child(hwnd_, WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kIdDrive1,
                    480, 32, 309, 200, sansBold_);
    sldFreq_ = child(hwnd_, TRACKBAR_CLASSW, "", TBS_AUTOTICKS | TBS_BOTTOM | WS_TABSTOP,
                     kIdSldFreq, 480, 58, 145, 19, sans_);
    SendMessageW(sldFreq_, TBM_SETRANGE, FALSE, MAKELPARAM(1, 10));
    SendMessageW(sldFreq_, TBM_SETLINESIZE, 0, 1);
    SendMessageW(sldFreq_, TBM_SETPAGESIZE, 0, 2);
    SendMessageW(sldFreq_, TBM_SETPOS, TRUE, 1);
    label1_ = child(hwnd_, WC_STATICW, "2 secondes", SS_LEFT, 0, 632, 64, 78, 13, sansBold_);
    ok_ = child(hwnd_, WC_BUTTONW, std::string(kCaptionStart), BS_PUSHBUTTON | WS_TABSTOP, kIdOk,
                712, 64, 73, 25, sansBold_);
    sousRep_ = child(hwnd_, WC_BUTTONW, "Sous-Répertoires", BS_3STATE | WS_TABSTOP, kIdSousRep, 488,
                     80, 177, 17, sansBold_);
    SendMessageW(sousRep_, BM_SETCHECK, BST_CHECKED, 0);
    const DWORD listStyle =
        LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
    list1_ = child(hwnd_, WC_LISTBOXW, "", listStyle, kIdList1, 0, 104, 793, 233, fixed_,
                   WS_EX_CLIENTEDGE);
    // List3 reaches under the status bar, as in the Form1 layout.
    list3_ = child(hwnd_, WC_LISTBOXW, "", listStyle, kIdList3, 0, 336, 793, 182, fixed_,
                   WS_EX_CLIENTEDGE);

    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusBar)),
                                 instance, nullptr);
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(sans_), TRUE);
    layoutPanels();
    // The focus order of Form1 is the controls' order among their siblings; the status bar stays
    // above List3, which slides under it.
    for (HWND control : {list1_, list3_, dir1_->hwnd(), drive1_, ok_, sousRep_, sldFreq_})
        SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
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
    auto button = [](int image, int id) {
        TBBUTTON b{};
        b.iBitmap = image;
        b.idCommand = id;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON;
        return b;
    };
    TBBUTTON separator{};
    separator.fsStyle = BTNS_SEP;
    // Positions 1 to 7 as the run numbers them; the format plan follows "Optimiser" on screen
    // without a number of its own.
    const TBBUTTON buttons[] = {
        button(kToolImageEnregistrer, kIdEnregistrer),
        button(kToolImageImprimer, kIdImprimer),
        separator,
        button(kToolImageOptimiser, kIdOptimiser),
        button(kToolImagePlan, kIdPlanFormatage),
        separator,
        button(kToolImageAide, kIdAide),
        button(kToolImageApropos, kIdApropos),
    };
    SendMessageW(toolbar_, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void Win32Form1::createMenus() {
    menu_ = CreateMenu();
    auto item = [](HMENU menu, int id, const char* caption) {
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), wide(caption).c_str());
    };
    HMENU fichier = CreatePopupMenu();
    item(fichier, kIdOuvrirImage, "&Ouvrir une image disque…\tCtrl+O");
    AppendMenuW(fichier, MF_SEPARATOR, 0, nullptr);
    item(fichier, kIdEnregistrer, "En&registrer sous\tCtrl+R");
    item(fichier, kIdImprimer, "&Imprimer\tCtrl+I");
    AppendMenuW(fichier, MF_SEPARATOR, 0, nullptr);
    item(fichier, kIdQuitter, "&Quitter");
    HMENU options = CreatePopupMenu();
    item(options, kIdOptimiser, "&Optimisation des Clusters FAT ou FAT32");
    item(options, kIdPlanFormatage, "&Plan de formatage…");
    HMENU quoi = CreatePopupMenu();
    item(quoi, kIdAide, "&Aide\tF1");
    AppendMenuW(quoi, MF_SEPARATOR, 0, nullptr);
    item(quoi, kIdApropos, "A &propos de KESP ...");
    // This build reads no disk images: the item is there, greyed.
    if (!services_.images) EnableMenuItem(fichier, kIdOuvrirImage, MF_BYCOMMAND | MF_GRAYED);
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(fichier), L"&Fichier");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(options), L"O&ptions");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(quoi), L"&?");

    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'O', kIdOuvrirImage},
        {FVIRTKEY | FCONTROL, 'R', kIdEnregistrer},
        {FVIRTKEY | FCONTROL, 'I', kIdImprimer},
        {FVIRTKEY, VK_F1, kIdAide},
    };
    accelerators_ = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

std::vector<int> panelEdges(const std::vector<int>& textWidths, int barWidth) {
    std::vector<int> edges;
    int edge = 0;
    for (std::size_t i = 0; i < 5; ++i) {
        edge += std::max(kPanelWidths[i], i < textWidths.size() ? textWidths[i] : 0);
        edges.push_back(edge);
    }
    const int rest = std::max(barWidth - edge, kPanelWidths[5] + kPanelWidths[6]);
    edges.push_back(edge + rest * kPanelWidths[5] / (kPanelWidths[5] + kPanelWidths[6]));
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
    const std::vector<int> edges = panelEdges(widths, kClientWidth);
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
            static const std::wstring tips[] = {
                wide("Enregistrer la liste de fichiers"),
                wide("Imprimer la liste de fichiers"),
                wide("Optimisation des Clusters FAT ou FAT32"),
                wide("Plan de formatage : toutes les dispositions FAT"),
                wide("Un peu d'aide ?"),
                wide("A propos ...")};
            static constexpr int ids[] = {kIdEnregistrer,   kIdImprimer, kIdOptimiser,
                                          kIdPlanFormatage, kIdAide,     kIdApropos};
            for (std::size_t i = 0; i < std::size(ids); ++i)
                if (static_cast<int>(header.idFrom) == ids[i])
                    tip.lpszText = const_cast<wchar_t*>(tips[i].c_str());
        }
        return 0;
    }
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
    case kIdOuvrirImage:
        controller_.OuvrirImage_Click();
        break;
    case kIdEnregistrer:
        controller_.Enregistrer_Click();
        break;
    case kIdImprimer:
        controller_.Imprimer_Click();
        break;
    case kIdQuitter:
        controller_.FinProgramme();
        break;
    case kIdOptimiser:
        controller_.optimiser_Click();
        break;
    case kIdPlanFormatage:
        controller_.planFormatage_Click();
        break;
    case kIdAide:
        controller_.aide_Click();
        break;
    case kIdApropos:
        controller_.Apropo_Click();
        break;
    default:
        break;
    }
}

} // namespace kesp
