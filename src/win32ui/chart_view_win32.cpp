#include "win32ui/chart_view_win32.h"

#include <algorithm>

#include "platform/win32gui/wide_text.h"

namespace kesp {
namespace {

constexpr const wchar_t* kClassName = L"KespGraphique";
constexpr int kLineStep = 20;

COLORREF colourRef(plan::Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

int clientHeight(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return client.bottom - client.top;
}

} // namespace

void paintChart(HDC dc, const RECT& area, const plan::ChartPicture& picture, int scrollY,
                HFONT font, HFONT boldFont) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    const int top = area.top - scrollY;
    for (const plan::ChartBox& box : picture.boxes) {
        const RECT r{area.left + box.x, top + box.y, area.left + box.x + box.width,
                     top + box.y + box.height};
        HBRUSH brush = CreateSolidBrush(colourRef(box.fill));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    for (const plan::ChartFrame& frame : picture.frames) {
        HPEN pen = CreatePen(PS_SOLID, frame.pen, colourRef(frame.colour));
        const HGDIOBJ oldPen = SelectObject(dc, pen);
        const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        // GDI's right and bottom edges are exclusive, Qt's drawRect inclusive.
        Rectangle(dc, area.left + frame.x, top + frame.y, area.left + frame.x + frame.width + 1,
                  top + frame.y + frame.height + 1);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const HGDIOBJ oldFont = SelectObject(dc, font);
    for (const plan::ChartText& text : picture.texts) {
        SelectObject(dc, text.bold ? boldFont : font);
        RECT r{area.left + text.x, top + text.y, area.left + text.x + text.width,
               top + text.y + text.height};
        std::wstring line = wide(text.text);
        DrawTextW(dc, line.data(), static_cast<int>(line.size()), &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                      (text.alignRight ? DT_RIGHT : DT_LEFT));
    }
    SelectObject(dc, oldFont);
}

ChartViewWin32::ChartViewWin32(HWND parent, HFONT font, HFONT boldFont, Draw draw)
    : font_(font), boldFont_(boldFont), draw_(std::move(draw)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &ChartViewWin32::windowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = kClassName;
    RegisterClassExW(&cls);
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                            0, 0, 100, 100, parent, nullptr, instance, this);
}

ChartViewWin32::~ChartViewWin32() {
    if (hwnd_) DestroyWindow(hwnd_);
}

plan::ChartPicture ChartViewWin32::picture() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = SelectObject(dc, font_);
    plan::ChartPicture picture = draw_(client.right - client.left, [dc](std::string_view text) {
        const std::wstring line = wide(std::string(text));
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        return static_cast<int>(size.cx);
    });
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return picture;
}

void ChartViewWin32::update() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(0, picture().height - 1);
    info.nPage = static_cast<UINT>(std::max(0, clientHeight(hwnd_)));
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
    scrollTo(scrollY_);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ChartViewWin32::scrollTo(int y) {
    const int most = std::max(0, picture().height - clientHeight(hwnd_));
    scrollY_ = std::clamp(y, 0, most);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = scrollY_;
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CALLBACK ChartViewWin32::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* view = reinterpret_cast<ChartViewWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Messages sent during CreateWindowEx come before hwnd_ is set.
    if (view && view->hwnd_ == hwnd) return view->handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT ChartViewWin32::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        update();
        return 0;
    case WM_ERASEBKGND:
        return 1; // painted whole, through a bitmap: no flicker
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client{};
        GetClientRect(hwnd_, &client);
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<int>(client.right, 1),
                                                std::max<int>(client.bottom, 1));
        const HGDIOBJ old = SelectObject(memory, bitmap);
        paintChart(memory, client, picture(), scrollY_, font_, boldFont_);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(hwnd_, &client);
        paintChart(reinterpret_cast<HDC>(wParam), client, picture(), scrollY_, font_, boldFont_);
        return 0;
    }
    case WM_VSCROLL: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(hwnd_, SB_VERT, &info);
        int y = scrollY_;
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            y -= kLineStep;
            break;
        case SB_LINEDOWN:
            y += kLineStep;
            break;
        case SB_PAGEUP:
            y -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            y += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            y = info.nTrackPos;
            break;
        case SB_TOP:
            y = 0;
            break;
        case SB_BOTTOM:
            y = info.nMax;
            break;
        default:
            break;
        }
        scrollTo(y);
        return 0;
    }
    case WM_MOUSEWHEEL:
        scrollTo(scrollY_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3 * kLineStep);
        return 0;
    default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

} // namespace kesp
