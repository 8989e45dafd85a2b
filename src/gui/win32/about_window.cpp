#include "gui/win32/about_window.h"

#include <ctime>

#include "gui/win32/tool_images.h"
#include "gui/win32/wide_text.h"
#include "window/apropos_logic.h"

namespace kesp {

namespace {

constexpr const wchar_t* kClassName = L"KespApropos";
constexpr UINT_PTR kTimer1 = 1;
constexpr int kIdCommand1 = IDOK;
constexpr int kIdLabel3 = 103;
constexpr int kIdLabel4 = 104;

std::string utf8Of(const std::u32string& text) {
    std::wstring utf16;
    for (const char32_t c : text) {
        if (c >= 0x10000) {
            utf16 += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            utf16 += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            utf16 += static_cast<wchar_t>(c);
        }
    }
    return utf8(utf16);
}

std::u32string utf32Of(std::string_view text) {
    const std::wstring utf16 = wide(text);
    std::u32string result;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char32_t c = utf16[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size())
            result += 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        else
            result += c;
    }
    return result;
}

// Design positions in twips, 15 to a pixel.
HWND label(HWND parent, int id, int left, int top, int width, int height, HFONT font,
           DWORD style = SS_LEFT) {
    HWND hwnd = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | style, left / 15, top / 15, width / 15,
        height / 15, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return hwnd;
}

HFONT font(const wchar_t* face, bool bold, bool italic, bool underline) {
    return CreateFontW(-11, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, face);
}

} // namespace

AboutWindow::AboutWindow(HINSTANCE instance, ProgramEnvironment& environment,
                         ProgramLauncher& launcher, MessageBoxes& boxes)
    : environment_(environment), launcher_(launcher), boxes_(boxes) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &AboutWindow::windowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClassName;
    RegisterClassExW(&cls);

    police_ = font(L"MS Sans Serif", false, false, false);
    gras_ = font(L"MS Sans Serif", true, false, false);
    lien_ = font(L"Arial", true, true, true);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, 4665 / 15, 1575 / 15};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, L"", style,
                            CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    label1_ = label(hwnd_, 0, 0, 0, 4455, 195, gras_);
    picture1_ = label(hwnd_, 0, 240, 240, 495, 495, police_, SS_OWNERDRAW);
    label6_ = label(hwnd_, 0, 720, 240, 3735, 195, police_);
    label5_ = label(hwnd_, 0, 840, 480, 3615, 195, police_);
    label2_ = label(hwnd_, 0, 1380, 720, 3240, 195, police_);
    label4_ = label(hwnd_, kIdLabel4, 120, 960, 2355, 195, lien_, SS_LEFT | SS_NOTIFY);
    label3_ = label(hwnd_, kIdLabel3, 120, 1200, 3375, 195, lien_, SS_LEFT | SS_NOTIFY);
    SetWindowTextW(label4_, wide(kAdresseCourriel).c_str());
    SetWindowTextW(label3_, wide(kAdresseWeb).c_str());
    command1_ = CreateWindowExW(
        0, L"BUTTON", L"&OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 3600 / 15,
        1080 / 15, 975 / 15, 375 / 15, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdCommand1)), instance, nullptr);
    SendMessageW(command1_, WM_SETFONT, reinterpret_cast<WPARAM>(police_), TRUE);
}

AboutWindow::~AboutWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    for (HFONT f : {police_, gras_, lien_})
        if (f) DeleteObject(f);
}

void AboutWindow::Form_Load() {
    SetWindowTextW(hwnd_, wide(kTitreApplication).c_str());
    numImage_ = 1;
    image_ = 1;
    posDefile_ = 1;
    SetWindowTextW(label1_, wide(" " + std::string(kTitreApplication)).c_str());
    std::tm date{};
    SetWindowTextW(label6_, environment_.lastModified(environment_.programFile(), date)
                                ? wide(LibelleDate(date)).c_str()
                                : L"");
    SetWindowTextW(
        label5_,
        wide(LibelleVersion(KESP_VERSION_MAJOR, KESP_VERSION_MINOR, KESP_VERSION_PATCH)).c_str());
    texteDefile_ = utf32Of(kTexteDefile);
    SetWindowTextW(label2_, wide(kTexteDefile).c_str());
    InvalidateRect(picture1_, nullptr, TRUE);
}

void AboutWindow::showModal(HWND owner) {
    Form_Load();
    // Owned by the main window and centred on it.
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    RECT outer{}, own{};
    GetWindowRect(owner, &outer);
    GetWindowRect(hwnd_, &own);
    SetWindowPos(
        hwnd_, HWND_TOP, outer.left + (outer.right - outer.left - (own.right - own.left)) / 2,
        outer.top + (outer.bottom - outer.top - (own.bottom - own.top)) / 2, 0, 0, SWP_NOSIZE);
    EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetFocus(command1_);
    SetTimer(hwnd_, kTimer1, 120, nullptr);
    open_ = true;
    MSG message;
    while (open_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (message.message == WM_QUIT) PostQuitMessage(static_cast<int>(message.wParam));
    KillTimer(hwnd_, kTimer1);
    EnableWindow(owner, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
    SetForegroundWindow(owner);
}

void AboutWindow::Timer1_Timer() {
    posDefile_ = PositionSuivante(posDefile_, texteDefile_.size());
    SetWindowTextW(label2_, wide(utf8Of(TexteAPosition(texteDefile_, posDefile_))).c_str());
    numImage_ = ImageSuivante(numImage_);
    image_ = numImage_ + 1;
    InvalidateRect(picture1_, nullptr, TRUE);
}

void AboutWindow::openLink(const std::string& address) {
    const LaunchResult resultat = openDocument(launcher_, address);
    if (resultat.error != 0)
        boxes_.show("Erreur : " + std::to_string(resultat.error) + "\r\n" + resultat.description,
                    "Problème Start Http", MessageIcon::Exclamation);
}

LRESULT CALLBACK AboutWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* about = reinterpret_cast<AboutWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!about) return DefWindowProcW(hwnd, message, wParam, lParam);
    return about->handle(message, wParam, lParam);
}

LRESULT AboutWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimer1) Timer1_Timer();
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        drawFace(item.hDC, 0, 0, image_);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        const auto control = reinterpret_cast<HWND>(lParam);
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        if (control == label3_ || control == label4_) SetTextColor(dc, RGB(0, 0, 255));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == label3_ ||
            reinterpret_cast<HWND>(wParam) == label4_) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            open_ = false;
            return 0;
        case kIdLabel3:
            if (HIWORD(wParam) == STN_CLICKED) openLink(std::string(kAdresseWeb));
            return 0;
        case kIdLabel4:
            if (HIWORD(wParam) == STN_CLICKED) openLink(AdresseMail());
            return 0;
        default:
            break;
        }
        break;
    case WM_CLOSE:
        open_ = false;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace kesp
