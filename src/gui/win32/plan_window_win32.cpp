#include "gui/win32/plan_window_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/win32/chart_view_win32.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/window_owner.h"
#include "plan/plan_charts.h"
#include "plan/volume_size.h"

namespace kesp {

namespace {

constexpr const wchar_t* kClassName = L"KespPlan";
constexpr int kIdVolume = 1;
constexpr int kIdImprimer = 2;
constexpr int kIdFermer = 3;
constexpr int kMargin = 8;
constexpr int kFieldHeight = 24;
constexpr int kButtonWidth = 90;
// Room for a whole table of FAT16 and FAT32 rows beside both charts, as the Qt window asks.
constexpr SIZE kPreferredSize{1180, 700};

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

int textWidth(HDC dc, const std::string& text) {
    const std::wstring line = wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    return static_cast<int>(size.cx);
}

// The height `text` takes broken into lines `width` pixels wide, in `font`.
int wrappedHeight(HWND hwnd, HFONT font, const std::string& text, int width) {
    if (text.empty()) return 0;
    HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, font);
    std::wstring lines = wide(text);
    RECT box{0, 0, std::max(width, 1), 0};
    DrawTextW(dc, lines.data(), static_cast<int>(lines.size()), &box,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return box.bottom - box.top;
}

std::string windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return utf8(text);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

} // namespace

LRESULT CALLBACK PlanWindowWin32::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (auto* window = windowOwner<PlanWindowWin32>(hwnd, message, lParam))
        return window->handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Escape, wherever the focus is in the window, closes it as "Fermer" does.
LRESULT CALLBACK PlanWindowWin32::fieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR window) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        ShowWindow(reinterpret_cast<PlanWindowWin32*>(window)->hwnd_, SW_HIDE);
        return 0;
    }
    if (message == WM_GETDLGCODE && wParam == VK_ESCAPE) return DLGC_WANTMESSAGE;
    return DefSubclassProc(hwnd, message, wParam, lParam);
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

    // A smaller screen gets a smaller window, whose charts scroll.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = std::min<int>(kPreferredSize.cx, work.right - work.left);
    const int height = std::min<int>(kPreferredSize.cy, work.bottom - work.top);
    hwnd_ = CreateWindowExW(0, kClassName, wide("Plan de formatage").c_str(), WS_OVERLAPPEDWINDOW,
                            CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr, nullptr, instance,
                            this);
    font_ = dialogFont(false);
    boldFont_ = dialogFont(true);
    createControls(instance);
    refresh();
}

PlanWindowWin32::~PlanWindowWin32() {
    bars_.reset();
    slack_.reset();
    if (tooltip_) DestroyWindow(tooltip_);
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
    label_ = child(L"STATIC", "Taille du volume :", SS_LEFT | SS_CENTERIMAGE);
    filling_ = true;
    volume_ = child(L"EDIT", model_.volumeText(), WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                    kIdVolume);
    filling_ = false;
    volumeError_ = child(L"STATIC", "", SS_LEFT | SS_NOPREFIX);
    print_ = child(L"BUTTON", "&Imprimer", WS_TABSTOP | BS_PUSHBUTTON, 0, kIdImprimer);
    close_ = child(L"BUTTON", "&Fermer", WS_TABSTOP | BS_PUSHBUTTON, 0, kIdFermer);
    recommendation_ = child(L"STATIC", "", SS_LEFT | SS_NOPREFIX);
    if (const std::string partial = model_.partialNote(); !partial.empty())
        partial_ = child(L"STATIC", partial, SS_LEFT | SS_NOPREFIX);
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
    note_ = child(L"STATIC", plan::lostSpaceNote(), SS_LEFT | SS_NOPREFIX);
    bars_ = std::make_unique<ChartViewWin32>(
        hwnd_, font_, boldFont_, [this](int width, const plan::TextWidth& textWidth) {
            return plan::layoutBarsPicture(model_.bars(), width, textWidth);
        });
    slack_ = std::make_unique<ChartViewWin32>(
        hwnd_, font_, boldFont_, [this](int width, const plan::TextWidth& textWidth) {
            return plan::slackPicture(model_.slackRows(), model_.scannedCluster(), model_.figures(),
                                      width, textWidth);
        });
    for (HWND control : {volume_, print_, close_, table_, bars_->hwnd(), slack_->hwnd()})
        SetWindowSubclass(control, &PlanWindowWin32::fieldProc, 0,
                          reinterpret_cast<DWORD_PTR>(this));

    // How a size may be written, as the Qt field's tool tip says.
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               hwnd_, nullptr, instance, nullptr);
    std::wstring help = wide(plan::volumeSizeHelp());
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(volume_);
    tool.lpszText = help.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 480);
    layout();
}

void PlanWindowWin32::layout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;
    const int inner = std::max(0, width - 2 * kMargin);

    // The field row: label, field (24 figures wide), why a size is refused, the two buttons.
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = SelectObject(dc, font_);
    const int labelWidth = textWidth(dc, "Taille du volume :") + 8;
    const int fieldWidth = textWidth(dc, "0") * 24 + 8;
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    int y = kMargin;
    int x = kMargin;
    MoveWindow(label_, x, y, labelWidth, kFieldHeight, TRUE);
    x += labelWidth;
    MoveWindow(volume_, x, y, fieldWidth, kFieldHeight, TRUE);
    x += fieldWidth + kMargin;
    const int buttons = width - kMargin - 2 * kButtonWidth - kMargin;
    MoveWindow(volumeError_, x, y, std::max(0, buttons - kMargin - x), kFieldHeight + 16, TRUE);
    MoveWindow(print_, buttons, y - 1, kButtonWidth, kFieldHeight + 2, TRUE);
    MoveWindow(close_, buttons + kButtonWidth + kMargin, y - 1, kButtonWidth, kFieldHeight + 2,
               TRUE);
    y += kFieldHeight + 16 + kMargin / 2;

    const int recommendation =
        wrappedHeight(hwnd_, font_, joined(model_.recommendationLines()), inner);
    MoveWindow(recommendation_, kMargin, y, inner, recommendation, TRUE);
    y += recommendation + kMargin;
    if (partial_) {
        const int partial = wrappedHeight(hwnd_, font_, model_.partialNote(), inner);
        MoveWindow(partial_, kMargin, y, inner, partial, TRUE);
        y += partial + kMargin / 2;
    }
    // The table and the charts share the rest evenly, as the Qt window's splitter does at first.
    const int note = wrappedHeight(hwnd_, font_, plan::lostSpaceNote(), inner);
    const int rest = std::max(0, height - y - note - 3 * kMargin);
    const int tableHeight = rest / 2;
    MoveWindow(table_, kMargin, y, inner, tableHeight, TRUE);
    y += tableHeight + kMargin / 2;
    MoveWindow(note_, kMargin, y, inner, note, TRUE);
    y += note + kMargin;
    const int chartsWidth = std::max(0, width - 3 * kMargin);
    const int barsWidth = chartsWidth * 3 / 5;
    const int chartsHeight = std::max(0, height - y - kMargin);
    MoveWindow(bars_->hwnd(), kMargin, y, barsWidth, chartsHeight, TRUE);
    MoveWindow(slack_->hwnd(), 2 * kMargin + barsWidth, y, chartsWidth - barsWidth, chartsHeight,
               TRUE);
}

void PlanWindowWin32::refresh() {
    // A refused size leaves the last plan in grey, the reason beside the field.
    const bool current = model_.volumeError().empty();
    SetWindowTextW(volumeError_, wide(model_.volumeError()).c_str());
    for (HWND part : {table_, recommendation_, bars_->hwnd(), slack_->hwnd(), print_})
        EnableWindow(part, current);

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
    // Each column as wide as its widest text in bold, the recommended rows' font, head included.
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

    SetWindowTextW(recommendation_, wide(joined(model_.recommendationLines())).c_str());
    layout();
    bars_->update();
    slack_->update();
}

LRESULT PlanWindowWin32::drawTableItem(LPARAM lParam) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const plan::FormatPlan& plan = model_.plan();
        const bool recommended = plan.recommended == draw->nmcd.dwItemSpec;
        if (!recommended && plan.recommendedExfat != draw->nmcd.dwItemSpec) return CDRF_DODEFAULT;
        draw->clrTextBk = colourRef(recommended ? plan::recommendedRowColour()
                                                : plan::recommendedExfatRowColour());
        draw->clrText = RGB(0, 0, 0);
        SelectObject(draw->nmcd.hdc, boldFont_);
        return CDRF_NEWFONT;
    }
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
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) ShowWindow(hwnd_, SW_HIDE);
        return 0;
    case WM_SIZE:
        if (bars_) layout();
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {640, 480};
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdVolume && HIWORD(wParam) == EN_CHANGE && !filling_) {
            model_.setVolumeText(windowText(volume_));
            refresh();
        }
        if (LOWORD(wParam) == kIdImprimer && HIWORD(wParam) == BN_CLICKED && printLines_)
            printLines_(model_.printLines());
        if (LOWORD(wParam) == kIdFermer && HIWORD(wParam) == BN_CLICKED) ShowWindow(hwnd_, SW_HIDE);
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == table_ && header->code == NM_CUSTOMDRAW)
            return drawTableItem(lParam);
        break;
    }
    case WM_CTLCOLORSTATIC: {
        const auto control = reinterpret_cast<HWND>(lParam);
        if (control != volumeError_ && control != partial_) break;
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, colourRef(plan::warningColour()));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
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
