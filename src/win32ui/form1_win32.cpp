#include "win32ui/form1_win32.h"

#include <algorithm>
#include <filesystem>

#include "mainwindow/program_paths.h"
#include "platform/win32gui/wide_text.h"
#include "scan/init_bar.h"
#include "scan/result_lines.h"
#include "win32ui/about_window.h"
#include "win32ui/opti_window_win32.h"

namespace kesp {

namespace {

constexpr int kErrorPathNotFound = 76;
constexpr const char* kDossierDemarrage = "c:\\";

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

} // namespace

Win32Form1::Win32Form1(HINSTANCE instance, Form1Services services, PrintReport printReport)
    : services_(std::move(services)), printReport_(std::move(printReport)),
      openFiles_(services_.files), scanServices_{services_.folders, services_.ticks, openFiles_,
                                                 services_.chars} {
    createControls(instance);
    Form_Load();
}

Win32Form1::~Win32Form1() {
    openFiles_.releaseAll();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    if (images_) ImageList_Destroy(images_);
    for (HFONT font : {sansBold_, sans_, fixed_})
        if (font) DeleteObject(font);
}

void Win32Form1::Form_Load() {
    dossierProgramme_ = DossierDuProgramme(services_.environment.programFile());
    etat_.TitreApplication =
        kesp::TitreApplication(KESP_VERSION_MAJOR, KESP_VERSION_MINOR, KESP_VERSION_PATCH);
    openFiles_.closeAll();
    cheminAide_ =
        kesp::CheminAide(dossierProgramme_, KESP_HELP_FROM_PROGRAM, services_.environment);

    setToolButtonEnabled(1, false);
    setMenuEnabled(MenuItem::Enregistrer, false);
    setToolButtonEnabled(2, false);
    setMenuEnabled(MenuItem::Imprimer, false);
    setToolButtonEnabled(4, false);
    setMenuEnabled(MenuItem::optimiser, false);
    setTitle(etat_.TitreApplication);
    InitBar(*this);
    sldFreq_Change();

    refreshDrives();
    module_.LecteurDemarrage = services_.volumes.driveOf(kDossierDemarrage);
    {
        // Drive1 starts on the drive of the current folder; moving it to the start-up drive is a
        // drive change of its own. CB_SETCURSEL reports nothing, so no handling runs here.
        std::error_code error;
        const std::string cwd = std::filesystem::current_path(error).string();
        const std::string current = cwd.empty() ? std::string() : services_.volumes.driveOf(cwd);
        for (std::size_t i = 0; i < drives_.size(); ++i)
            if (drives_[i] == current) SendMessageW(drive1_, CB_SETCURSEL, i, 0);
    }
    setDriveText(module_.LecteurDemarrage);
    setFolderPath(kDossierDemarrage);
    CalculCluster(etat_, *this, services_.volumes);
    etat_.FormatNombre = "#,###,###,##0";
    dossierTemp_ = DossierTemporaire(services_.environment);
    etat_.CheminRes1 = CheminResultat1(dossierTemp_);
    etat_.CheminRes2 = CheminResultat2(dossierTemp_);
}

void Win32Form1::refreshDrives() {
    const std::string current = driveText();
    drives_ = services_.volumes.drives();
    if (!current.empty() && std::find(drives_.begin(), drives_.end(), current) == drives_.end())
        drives_.push_back(current);
    SendMessageW(drive1_, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : drives_)
        SendMessageW(drive1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry).c_str()));
    const auto it = std::find(drives_.begin(), drives_.end(), current);
    SendMessageW(drive1_, CB_SETCURSEL, it == drives_.end() ? WPARAM(-1) : it - drives_.begin(), 0);
}

void Win32Form1::openImages(const std::vector<std::string>& paths) {
    if (!services_.images) return;
    std::string first;
    for (const std::string& path : paths) {
        const OpenedImage opened = services_.images->openImage(path);
        if (!opened.error.empty()) {
            services_.boxes.show(opened.error, std::string(kErrorTitle), MessageIcon::Critical);
            continue;
        }
        if (first.empty() && !opened.drives.empty()) first = opened.drives.front();
    }
    if (first.empty()) return;
    refreshDrives();
    setDriveText(first);
}

void Win32Form1::Drive1_Change() {
    const int error = kesp::Drive1_Change(etat_, module_, *this, services_.volumes);
    if (error == 0) return;
    services_.boxes.show("Erreur : " + std::to_string(error) + "\r\n" + "Le lecteur " +
                             driveText() + " est inaccessible.",
                         etat_.TitreApplication, MessageIcon::Critical);
    returnToPreviousDrive();
}

void Win32Form1::returnToPreviousDrive() {
    const std::string& back = LecteurDeRetour(etat_, module_);
    if (!back.empty() && back != driveText()) setDriveText(back);
}

void Win32Form1::sldFreq_Change() {
    const int n = static_cast<int>(SendMessageW(sldFreq_, TBM_GETPOS, 0, 0));
    etat_.PeriodeRafraichissement = n * 1000;
    SetWindowTextW(label1_, wide(std::to_string(n) + " seconde" + (n > 1 ? "s" : "")).c_str());
}

HWND Win32Form1::optiHwnd() const {
    return opti_ ? opti_->hwnd() : nullptr;
}

// --- ScanView and GateView ---

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
    // The tool bar's command identifiers of positions 1 to 7; 0 for the separators.
    static constexpr int kIds[7] = {kIdEnregistrer, kIdImprimer, 0, kIdOptimiser, 0,
                                    kIdAide,        kIdApropos};
    if (position < 1 || position > 7 || kIds[position - 1] == 0) return;
    SendMessageW(toolbar_, TB_ENABLEBUTTON, kIds[position - 1], MAKELPARAM(enabled, 0));
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
    // The horizontal scroll bar follows the widest line, as the list box cannot measure itself.
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
    // Rebuilt at its next opening from the scan that follows.
    opti_.reset();
}

void Win32Form1::pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The main loop ends on it once the run has unwound.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (TranslateAcceleratorW(hwnd_, accelerators_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Form1::showError(const std::string& text, const std::string& title) {
    services_.boxes.show(text, title, MessageIcon::Critical);
}

void Win32Form1::setDriveText(const std::string& entry) {
    const std::string before = driveText();
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        if (drives_[i] != entry) continue;
        SendMessageW(drive1_, CB_SETCURSEL, i, 0);
        // A combo box reports only the user's changes; the program's run the handling here.
        if (entry != before) Drive1_Change();
        return;
    }
}

int Win32Form1::setFolderPath(const std::string& pathOrDrive) {
    const bool isDrive = std::find(drives_.begin(), drives_.end(), pathOrDrive) != drives_.end();
    const std::string drive = isDrive ? pathOrDrive : services_.volumes.driveOf(pathOrDrive);
    const auto root = services_.volumes.rootPath(drive);
    if (!root) return isDrive ? kErrorDeviceUnavailable : kErrorPathNotFound;
    if (const int error = services_.volumes.readiness(*root); error != 0) return error;
    const std::string folder = isDrive ? *root : pathOrDrive;
    if (services_.folders.open(withSeparator(folder))->failure()) return kErrorPathNotFound;
    dir1_->showDrive(*root, folder);
    return 0;
}

void Win32Form1::beep() {
    services_.boxes.beep();
}

void Win32Form1::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    services_.boxes.show(text, title, icon);
}

} // namespace kesp
