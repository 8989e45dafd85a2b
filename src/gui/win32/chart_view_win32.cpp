#include "gui/win32/chart_view_win32.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "gui/win32/wide_text.h"
#include "gui/win32/window_owner.h"

namespace kesp {
namespace {

constexpr const wchar_t* kClassName = L"KespGraphique";
constexpr int kLineStep = 20;
constexpr int kFadedPercent = 35; // as much of each colour as Qt's opacity of a disabled chart

COLORREF colourRef(plan::Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

COLORREF shown(COLORREF colour, COLORREF base, bool faded) {
    if (!faded) return colour;
    const auto mix = [](int over, int under) {
        return static_cast<BYTE>((over * kFadedPercent + under * (100 - kFadedPercent)) / 100);
    };
    return RGB(mix(GetRValue(colour), GetRValue(base)), mix(GetGValue(colour), GetGValue(base)),
               mix(GetBValue(colour), GetBValue(base)));
}

SIZE clientSize(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return {client.right - client.left, client.bottom - client.top};
}

} // namespace

void paintChart(HDC dc, const RECT& area, const plan::ChartPicture& picture, POINT scroll,
                HFONT font, HFONT boldFont, bool faded) {
    const COLORREF base = GetSysColor(COLOR_WINDOW);
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    const int left = area.left - scroll.x;
    const int top = area.top - scroll.y;
    for (const plan::ChartBox& box : picture.boxes) {
        const RECT r{left + box.x, top + box.y, left + box.x + box.width, top + box.y + box.height};
        HBRUSH brush = CreateSolidBrush(shown(colourRef(box.fill), base, faded));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    for (const plan::ChartFrame& frame : picture.frames) {
        HPEN pen = CreatePen(PS_SOLID, frame.pen, shown(colourRef(frame.colour), base, faded));
        const HGDIOBJ oldPen = SelectObject(dc, pen);
        const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        // GDI's right and bottom edges are exclusive, Qt's drawRect inclusive.
        Rectangle(dc, left + frame.x, top + frame.y, left + frame.x + frame.width + 1,
                  top + frame.y + frame.height + 1);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, shown(GetSysColor(COLOR_WINDOWTEXT), base, faded));
    const HGDIOBJ oldFont = SelectObject(dc, font);
    for (const plan::ChartText& text : picture.texts) {
        SelectObject(dc, text.bold ? boldFont : font);
        RECT r{left + text.x, top + text.y, left + text.x + text.width, top + text.y + text.height};
        std::wstring line = wide(text.text);
        DrawTextW(dc, line.data(), static_cast<int>(line.size()), &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP |
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
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 100, 100, parent,
                            nullptr, instance, this);
}

ChartViewWin32::~ChartViewWin32() {
    if (hwnd_) DestroyWindow(hwnd_);
}

plan::ChartPicture ChartViewWin32::picture() const {
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = SelectObject(dc, font_);
    const plan::TextWidth measure = [dc](std::string_view text) {
        const std::wstring line = wide(text);
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        return static_cast<int>(size.cx);
    };
    const int width = clientSize(hwnd_).cx;
    plan::ChartPicture shapes = draw_(width, measure);
    if (shapes.minimumWidth > width) shapes = draw_(shapes.minimumWidth, measure);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return shapes;
}

void ChartViewWin32::update() {
    const plan::ChartPicture shapes = picture();
    const SIZE client = clientSize(hwnd_);
    for (const auto& [bar, extent, page] :
         {std::tuple{SB_VERT, shapes.height, client.cy},
          std::tuple{SB_HORZ, std::max<int>(shapes.minimumWidth, client.cx), client.cx}}) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = 0;
        info.nMax = std::max(0, extent - 1);
        info.nPage = static_cast<UINT>(std::max<int>(0, page));
        SetScrollInfo(hwnd_, bar, &info, TRUE);
    }
    scrollTo(scroll_);
}

void ChartViewWin32::scrollTo(POINT position) {
    const plan::ChartPicture shapes = picture();
    const SIZE client = clientSize(hwnd_);
    scroll_.x = std::clamp<int>(position.x, 0, std::max<int>(0, shapes.minimumWidth - client.cx));
    scroll_.y = std::clamp<int>(position.y, 0, std::max<int>(0, shapes.height - client.cy));
    for (const auto& [bar, at] : {std::pair{SB_HORZ, scroll_.x}, std::pair{SB_VERT, scroll_.y}}) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        info.nPos = at;
        SetScrollInfo(hwnd_, bar, &info, TRUE);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ChartViewWin32::scrolled(int bar, WPARAM request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &info);
    int at = info.nPos;
    switch (LOWORD(request)) {
    case SB_LINEUP:
        at -= kLineStep;
        break;
    case SB_LINEDOWN:
        at += kLineStep;
        break;
    case SB_PAGEUP:
        at -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        at += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        at = info.nTrackPos;
        break;
    case SB_TOP:
        at = 0;
        break;
    case SB_BOTTOM:
        at = info.nMax;
        break;
    default:
        break;
    }
    scrollTo(bar == SB_VERT ? POINT{scroll_.x, at} : POINT{at, scroll_.y});
}

LRESULT CALLBACK ChartViewWin32::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* view = windowOwner<ChartViewWin32>(hwnd, message, lParam))
        return view->handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT ChartViewWin32::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        update();
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd_, nullptr, FALSE);
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
        paintChart(memory, client, picture(), scroll_, font_, boldFont_, !IsWindowEnabled(hwnd_));
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
        paintChart(reinterpret_cast<HDC>(wParam), client, picture(), scroll_, font_, boldFont_,
                   !IsWindowEnabled(hwnd_));
        return 0;
    }
    case WM_VSCROLL:
        scrolled(SB_VERT, wParam);
        return 0;
    case WM_HSCROLL:
        scrolled(SB_HORZ, wParam);
        return 0;
    case WM_MOUSEWHEEL:
        scrollTo(
            {scroll_.x, scroll_.y - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3 * kLineStep});
        return 0;
    default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

} // namespace kesp
