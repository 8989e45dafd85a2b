#include "gui/win32/form1_win32.h"

#include <algorithm>

#include "gui/win32/about_window.h"
#include "gui/win32/opti_window_win32.h"
#include "gui/win32/plan_window_win32.h"
#include "gui/win32/wide_text.h"

namespace kesp {

namespace {

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

} // namespace

Win32Form1::Win32Form1(HINSTANCE instance, Form1Services services)
    : services_(std::move(services)), controller_(services_, *this, nullptr) {
    createControls(instance);
    controller_.Form_Load();
}

Win32Form1::~Win32Form1() {
    opti_.reset();
    plan_.reset();
    about_.reset();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    if (images_) ImageList_Destroy(images_);
    for (HFONT font : {sansBold_, sans_, fixed_})
        if (font) DeleteObject(font);
}

HWND Win32Form1::optiHwnd() const {
    return opti_ ? opti_->hwnd() : nullptr;
}

HWND Win32Form1::planHwnd() const {
    return plan_ ? plan_->hwnd() : nullptr;
}

// --- ScanView ---

std::string Win32Form1::okCaption() {
    return utf8(windowText(ok_));
}
void Win32Form1::setOkCaption(const std::string& caption) {
    SetWindowTextW(ok_, wide(caption).c_str());
}
void Win32Form1::setOkEnabled(bool enabled) {
    EnableWindow(ok_, enabled);
}
void Win32Form1::setDriveEnabled(bool enabled) {
    EnableWindow(drive1_, enabled);
}
void Win32Form1::setFolderEnabled(bool enabled) {
    EnableWindow(dir1_->hwnd(), enabled);
}

void Win32Form1::setToolButtonEnabled(int position, bool enabled) {
    const form1::ToolButton* button = form1::toolButtonAt(position);
    if (!button || !button->command) return;
    SendMessageW(toolbar_, TB_ENABLEBUTTON, commandId(*button->command), MAKELPARAM(enabled, 0));
}

void Win32Form1::setMenuEnabled(MenuItem item, bool enabled) {
    int id = kIdEnregistrer;
    if (item == MenuItem::Imprimer) id = kIdImprimer;
    if (item == MenuItem::optimiser) id = kIdOptimiser;
    EnableMenuItem(menu_, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Win32Form1::setBusy(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Form1::clearList1() {
    SendMessageW(list1_, LB_RESETCONTENT, 0, 0);
    list1Widest_ = 0;
    SendMessageW(list1_, LB_SETHORIZONTALEXTENT, 0, 0);
}
void Win32Form1::clearList3() {
    SendMessageW(list3_, LB_RESETCONTENT, 0, 0);
    list3Widest_ = 0;
    SendMessageW(list3_, LB_SETHORIZONTALEXTENT, 0, 0);
}

void Win32Form1::appendTo(HWND list, int& widest, const std::string& line) {
    const std::wstring text = wide(line);
    const auto index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // The horizontal scroll bar follows the widest line: a list box does not measure its lines.
    HDC dc = GetDC(list);
    const HGDIOBJ previous = SelectObject(dc, fixed_);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    if (size.cx + 4 > widest) {
        widest = size.cx + 4;
        SendMessageW(list, LB_SETHORIZONTALEXTENT, widest, 0);
    }
    SendMessageW(list, LB_SETTOPINDEX, index, 0);
}

void Win32Form1::appendList1(const std::string& line) {
    appendTo(list1_, list1Widest_, line);
}
void Win32Form1::appendList3(const std::string& line) {
    appendTo(list3_, list3Widest_, line);
}

void Win32Form1::setStatusPanel(int position, const std::string& text) {
    if (position < 1 || position > 7) return;
    SendMessageW(statusBar_, SB_SETTEXTW, position - 1,
                 reinterpret_cast<LPARAM>(wide(text).c_str()));
    if (position <= 5) layoutPanels();
}

void Win32Form1::setTitle(const std::string& title) {
    SetWindowTextW(hwnd_, wide(title).c_str());
}

std::string Win32Form1::driveText() {
    const auto index = SendMessageW(drive1_, CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(drives_.size())) return {};
    return drives_[static_cast<std::size_t>(index)];
}

std::string Win32Form1::folderPath() {
    return dir1_->path();
}

CheckState Win32Form1::subFolders() {
    switch (SendMessageW(sousRep_, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
        return CheckState::Ticked;
    case BST_INDETERMINATE:
        return CheckState::Grey;
    default:
        return CheckState::Clear;
    }
}

void Win32Form1::closeOpti() {
    opti_.reset();
}

void Win32Form1::pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the main loop, once the run has unwound.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (TranslateAcceleratorW(hwnd_, accelerators_, &message)) continue;
        if (IsDialogMessageW(hwnd_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Form1::showError(const std::string& text, const std::string& title) {
    services_.boxes.show(text, title, MessageIcon::Critical);
}

// --- WindowView ---

void Win32Form1::setDriveEntries(const std::vector<std::string>& entries, int selected) {
    drives_ = entries;
    SendMessageW(drive1_, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : drives_)
        SendMessageW(drive1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry).c_str()));
    SendMessageW(drive1_, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void Win32Form1::setDriveText(const std::string& entry) {
    const auto it = std::find(drives_.begin(), drives_.end(), entry);
    if (it == drives_.end()) return;
    const auto index = it - drives_.begin();
    if (SendMessageW(drive1_, CB_GETCURSEL, 0, 0) == index) return;
    SendMessageW(drive1_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // A combo box reports only the user's changes; the program's are reported here.
    controller_.Drive1_Change();
}

void Win32Form1::showFolders(const std::string& root, const std::string& folder,
                             FolderEnumerator* folders) {
    dir1_->showDrive(root, folder, folders ? *folders : services_.folders);
}

void Win32Form1::setPlanEnabled(bool enabled) {
    SendMessageW(toolbar_, TB_ENABLEBUTTON, kIdPlanFormatage, MAKELPARAM(enabled, 0));
    EnableMenuItem(menu_, kIdPlanFormatage, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

int Win32Form1::refreshSeconds() {
    return static_cast<int>(SendMessageW(sldFreq_, TBM_GETPOS, 0, 0));
}

void Win32Form1::setRefreshLabel(const std::string& text) {
    SetWindowTextW(label1_, wide(text).c_str());
}

void Win32Form1::beep() {
    services_.boxes.beep();
}

void Win32Form1::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    services_.boxes.show(text, title, icon);
}

void Win32Form1::showOpti(const TableOpti& table, const std::string& title) {
    if (!opti_) opti_ = std::make_unique<OptiWindow>(GetModuleHandleW(nullptr), table, title);
    opti_->show();
}

void Win32Form1::showPlan(plan::PlanWindowModel model) {
    if (!plan_)
        plan_ = std::make_unique<PlanWindowWin32>(
            GetModuleHandleW(nullptr), std::move(model),
            [this](const std::vector<std::string>& lines) { controller_.printPlan(lines); });
    plan_->show();
}

void Win32Form1::closePlan() {
    plan_.reset();
}

void Win32Form1::setBalanceEnabled(bool, const std::string&) {
    EnableMenuItem(menu_, kIdBilanVolume, MF_BYCOMMAND | MF_GRAYED);
}

void Win32Form1::showBalance(plan::BalanceWindowModel) {
    services_.boxes.show(kBalanceNotHere, "Bilan du volume", MessageIcon::Information);
}

void Win32Form1::closeBalance() {}

// Menus have no tips of their own: a tracking tooltip stands beside the highlighted item.
void Win32Form1::menuSelected(int id, HMENU menu) {
    if (id != kIdBilanVolume || !menu) {
        hideMenuTip();
        return;
    }
    int position = -1;
    for (int i = 0, count = GetMenuItemCount(menu); i < count && position < 0; ++i)
        if (GetMenuItemID(menu, i) == static_cast<UINT>(id)) position = i;
    RECT item{};
    if (position < 0 || !GetMenuItemRect(hwnd_, menu, static_cast<UINT>(position), &item)) return;
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = hwnd_;
    info.uId = static_cast<UINT_PTR>(id);
    if (!menuTip_) {
        menuTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd_,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        menuTipText_ = wide(kBalanceNotHere);
        info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        info.lpszText = menuTipText_.data();
        SendMessageW(menuTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        SendMessageW(menuTip_, TTM_SETMAXTIPWIDTH, 0, 360);
    }
    SendMessageW(menuTip_, TTM_TRACKPOSITION, 0, MAKELPARAM(item.right + 4, item.top));
    SendMessageW(menuTip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

void Win32Form1::hideMenuTip() {
    if (!menuTip_) return;
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = hwnd_;
    info.uId = kIdBilanVolume;
    SendMessageW(menuTip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

void Win32Form1::showAbout() {
    if (!about_)
        about_ = std::make_unique<AboutWindow>(GetModuleHandleW(nullptr), services_.environment,
                                               services_.launcher, services_.boxes);
    about_->showModal(hwnd_);
}

} // namespace kesp
