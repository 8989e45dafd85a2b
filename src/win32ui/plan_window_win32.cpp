#include "win32ui/plan_window_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "plan/plan_charts.h"
#include "platform/win32gui/wide_text.h"
#include "win32ui/chart_view_win32.h"

namespace kesp {

namespace {

constexpr const wchar_t* kClassName = L"KespPlan";
constexpr int kIdVolume = 1;
constexpr int kIdImprimer = 2;
constexpr int kMargin = 8;
constexpr int kFieldHeight = 24;
constexpr int kRecommendationLines = 5;

COLORREF colourRef(plan::Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

// The system's dialog font, as the Qt window takes the desktop's.
HFONT dialogFont(bool bold) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    if (bold) font.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&font);
}

int lineHeight(HWND hwnd, HFONT font) {
    HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

int textWidth(HDC dc, const std::string& text) {
    const std::wstring line = wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    return static_cast<int>(size.cx);
}

std::string windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return utf8(text);
}

} // namespace

LRESULT CALLBACK PlanWindowWin32::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<PlanWindowWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window && window->hwnd_ == hwnd) return window->handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

PlanWindowWin32::PlanWindowWin32(HINSTANCE instance, plan::PlanWindowModel model, PrintLines print)
    : model_(std::move(model)), printLines_(std::move(print)) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &PlanWindowWin32::windowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClassName;
    RegisterClassExW(&cls);

    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, 1100, 780};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    hwnd_ = CreateWindowExW(0, kClassName, wide("Plan de formatage").c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance, this);
    font_ = dialogFont(false);
    boldFont_ = dialogFont(true);
    createControls(instance);
    layout();
    refresh();
}

PlanWindowWin32::~PlanWindowWin32() {
    bars_.reset();
    slack_.reset();
    if (hwnd_) DestroyWindow(hwnd_);
    if (font_) DeleteObject(font_);
    if (boldFont_) DeleteObject(boldFont_);
}

void PlanWindowWin32::createControls(HINSTANCE instance) {
    const auto child = [this, instance](const wchar_t* cls, const std::string& text, DWORD style,
                                        DWORD exStyle = 0, int id = 0) {
        HWND hwnd = CreateWindowExW(
            exStyle, cls, wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return hwnd;
    };
    label_ = child(L"STATIC", "Taille du volume (octets) :", SS_LEFT | SS_CENTERIMAGE);
    filling_ = true;
    volume_ = child(L"EDIT", model_.volumeText(), WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                    kIdVolume);
    filling_ = false;
    print_ = child(L"BUTTON", "&Imprimer", WS_TABSTOP | BS_PUSHBUTTON, 0, kIdImprimer);
    recommendation_ = child(L"STATIC", "", SS_LEFT | SS_NOPREFIX);
    table_ = child(WC_LISTVIEWW, "",
                   WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                   WS_EX_CLIENTEDGE);
    SendMessageW(table_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const auto& heads = plan::planColumnHeads();
    for (std::size_t c = 0; c < heads.size(); ++c) {
        const std::wstring head = wide(heads[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.fmt = plan::figureColumn(c) ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = 80;
        column.pszText = const_cast<wchar_t*>(head.c_str());
        SendMessageW(table_, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    bars_ = std::make_unique<ChartViewWin32>(
        hwnd_, font_, boldFont_, [this](int width, const plan::TextWidth& textWidth) {
            return plan::layoutBarsPicture(model_.bars(), width, textWidth);
        });
    slack_ = std::make_unique<ChartViewWin32>(
        hwnd_, font_, boldFont_, [this](int width, const plan::TextWidth&) {
            return plan::slackPicture(model_.slackRows(), model_.scannedCluster(), width);
        });
}

void PlanWindowWin32::layout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;
    const int labelWidth = 180;
    const int buttonWidth = 100;
    int y = kMargin;
    MoveWindow(label_, kMargin, y, labelWidth, kFieldHeight, TRUE);
    MoveWindow(volume_, kMargin + labelWidth, y,
               std::max(60, width - labelWidth - buttonWidth - 4 * kMargin), kFieldHeight, TRUE);
    MoveWindow(print_, width - kMargin - buttonWidth, y - 1, buttonWidth, kFieldHeight + 2, TRUE);
    y += kFieldHeight + kMargin;
    const int textHeight = kRecommendationLines * lineHeight(hwnd_, font_);
    MoveWindow(recommendation_, kMargin, y, width - 2 * kMargin, textHeight, TRUE);
    y += textHeight + kMargin;
    // The table and the charts share the rest as the Qt window's splitter does at first.
    const int rest = std::max(0, height - y - 2 * kMargin);
    const int tableHeight = rest * 330 / 800;
    MoveWindow(table_, kMargin, y, width - 2 * kMargin, tableHeight, TRUE);
    y += tableHeight + kMargin;
    const int chartsWidth = width - 3 * kMargin;
    const int barsWidth = chartsWidth * 3 / 5;
    const int chartsHeight = std::max(0, height - y - kMargin);
    MoveWindow(bars_->hwnd(), kMargin, y, barsWidth, chartsHeight, TRUE);
    MoveWindow(slack_->hwnd(), 2 * kMargin + barsWidth, y, chartsWidth - barsWidth, chartsHeight,
               TRUE);
}

void PlanWindowWin32::refresh() {
    const auto rows = model_.tableRows();
    SendMessageW(table_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(table_, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const std::wstring cell = wide(rows[r][c]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = const_cast<wchar_t*>(cell.c_str());
            SendMessageW(table_, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, r,
                         reinterpret_cast<LPARAM>(&item));
        }
    }
    // Each column as wide as its widest text in bold, the recommended row's font, head included.
    HDC dc = GetDC(table_);
    const HGDIOBJ old = SelectObject(dc, boldFont_);
    const auto& heads = plan::planColumnHeads();
    for (std::size_t c = 0; c < plan::kPlanColumns; ++c) {
        int widest = textWidth(dc, heads[c]);
        for (const auto& row : rows)
            widest = std::max(widest, textWidth(dc, row[c]));
        SendMessageW(table_, LVM_SETCOLUMNWIDTH, c, widest + 16);
    }
    SelectObject(dc, old);
    ReleaseDC(table_, dc);
    SendMessageW(table_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(table_, nullptr, TRUE);

    std::string text;
    for (const std::string& line : model_.recommendationLines())
        text += (text.empty() ? "" : "\r\n") + line;
    SetWindowTextW(recommendation_, wide(text).c_str());
    bars_->update();
    slack_->update();
}

void PlanWindowWin32::volumeEdited() {
    // An unreadable size leaves the last plan shown, the field marked.
    sizeRead_ = model_.setVolumeText(windowText(volume_));
    InvalidateRect(volume_, nullptr, TRUE);
    if (sizeRead_) refresh();
}

LRESULT PlanWindowWin32::drawTableItem(LPARAM lParam) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        if (model_.plan().recommended == draw->nmcd.dwItemSpec) {
            draw->clrTextBk = colourRef(plan::recommendedRowColour());
            draw->clrText = RGB(0, 0, 0);
            SelectObject(draw->nmcd.hdc, boldFont_);
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT PlanWindowWin32::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // Closing only hides it: the main window drops it when a new scan starts.
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    case WM_SIZE:
        if (bars_) layout();
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {640, 480};
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdVolume && HIWORD(wParam) == EN_CHANGE && !filling_) volumeEdited();
        if (LOWORD(wParam) == kIdImprimer && HIWORD(wParam) == BN_CLICKED && printLines_)
            printLines_(model_.printLines());
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == table_ && header->code == NM_CUSTOMDRAW)
            return drawTableItem(lParam);
        break;
    }
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(lParam) == volume_ && !sizeRead_) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, colourRef(plan::unreadableSizeColour()));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void PlanWindowWin32::show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

} // namespace kesp
