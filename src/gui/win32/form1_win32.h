#pragma once
// Form1 as a native Win32 window: the same controls at the same places as the Qt window. Every
// decision is Form1Controller's; the window shows what it is told and forwards its events.
#include <windows.h>

#include <commctrl.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/win32/folder_tree_win32.h"
#include "window/form1_controller.h"
#include "window/form1_layout.h"
#include "window/window_view.h"

namespace kesp {

class AboutWindow;
class OptiWindow;
class PlanWindowWin32;

// The identifier of a command of the menus and the tool bar.
constexpr int commandId(form1::Command command) {
    return 200 + static_cast<int>(command);
}
// The command an identifier stands for; none for a control's.
inline std::optional<form1::Command> commandOfId(int id) {
    if (id < commandId(form1::Command{}) ||
        id >= commandId(form1::Command{}) + form1::kCommandCount)
        return std::nullopt;
    return static_cast<form1::Command>(id - commandId(form1::Command{}));
}

// Identifiers of the controls and the commands.
enum CommandId : int {
    kIdOk = 100,
    kIdDrive1,
    kIdSousRep,
    kIdDir1,
    kIdSldFreq,
    kIdList1,
    kIdList3,
    kIdToolbar,
    kIdStatusBar,
    kIdOuvrirImage = commandId(form1::Command::OuvrirImage),
    kIdEnregistrer = commandId(form1::Command::Enregistrer),
    kIdImprimer = commandId(form1::Command::Imprimer),
    kIdQuitter = commandId(form1::Command::Quitter),
    kIdOptimiser = commandId(form1::Command::Optimiser),
    kIdPlanFormatage = commandId(form1::Command::PlanFormatage),
    kIdAide = commandId(form1::Command::Aide),
    kIdApropos = commandId(form1::Command::Apropos),
    kIdBilanVolume = commandId(form1::Command::BilanVolume),
};

// Why "Bilan du volume…" stays greyed in this window.
inline constexpr const char* kBalanceNotHere =
    "Le bilan du volume n'a pas encore de fenêtre sous Windows : « kesp-scan --balance » "
    "l'écrit pour une image disque ou un périphérique.";

// The status panels' right edges for the widths their texts need (panels 1 to 5) in a bar
// `barWidth` wide; the last reaches the end (-1).
std::vector<int> panelEdges(const std::vector<int>& textWidths, int barWidth);

class Win32Form1 final : public WindowView {
public:
    // Builds the controls and runs the start-up; the caller shows the window.
    Win32Form1(HINSTANCE instance, Form1Services services);
    ~Win32Form1() override;
    Win32Form1(const Win32Form1&) = delete;
    Win32Form1& operator=(const Win32Form1&) = delete;

    HWND hwnd() const { return hwnd_; }
    HACCEL accelerators() const { return accelerators_; }
    Form1Controller& controller() { return controller_; }
    HWND control(CommandId id) const;
    HWND optiHwnd() const;
    HWND planHwnd() const;

    // ScanView.
    std::string okCaption() override;
    void setOkCaption(const std::string& caption) override;
    void setOkEnabled(bool enabled) override;
    void setDriveEnabled(bool enabled) override;
    void setFolderEnabled(bool enabled) override;
    void setToolButtonEnabled(int position, bool enabled) override;
    void setMenuEnabled(MenuItem item, bool enabled) override;
    void setBusy(bool busy) override;
    void clearList1() override;
    void clearList3() override;
    void appendList1(const std::string& line) override;
    void appendList3(const std::string& line) override;
    void setStatusPanel(int position, const std::string& text) override;
    void setTitle(const std::string& title) override;
    std::string driveText() override;
    std::string folderPath() override;
    CheckState subFolders() override;
    void closeOpti() override;
    void pump() override;
    void showError(const std::string& text, const std::string& title) override;

    // WindowView.
    void setDriveEntries(const std::vector<std::string>& entries, int selected) override;
    void setDriveText(const std::string& entry) override;
    void showFolders(const std::string& root, const std::string& folder,
                     FolderEnumerator* folders) override;
    void setPlanEnabled(bool enabled) override;
    int refreshSeconds() override;
    void setRefreshLabel(const std::string& text) override;
    void beep() override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    void showOpti(const TableOpti& table, const std::string& title) override;
    void showPlan(plan::PlanWindowModel model) override;
    void closePlan() override;
    void setBalanceEnabled(bool enabled, const std::string& tip) override;
    void showBalance(plan::BalanceWindowModel model) override;
    void closeBalance() override;
    void showAbout() override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int notification);
    void createControls(HINSTANCE instance);
    void createToolBar(HINSTANCE instance);
    void createMenus();
    HFONT fontOf(form1::Font font) const;
    HWND hwndOf(form1::Control control) const;
    // A child control at its place, with its caption and font; `height` replaces the place's.
    HWND child(const wchar_t* cls, form1::Control control, DWORD style, int id, DWORD exStyle = 0,
               int height = 0);
    void updateClock();
    void layoutPanels();
    void appendTo(HWND list, int& widest, const std::string& line);
    // A menu item highlighted (WM_MENUSELECT): the greyed balance item shows why beside it.
    void menuSelected(int id, HMENU menu);
    void hideMenuTip();

    Form1Services services_;
    Form1Controller controller_;
    std::vector<std::string> drives_; // Drive1's entries, as bytes
    bool busy_ = false;
    int list1Widest_ = 0;
    int list3Widest_ = 0;

    HWND hwnd_ = nullptr;
    HWND toolbar_ = nullptr;
    HWND statusBar_ = nullptr;
    HWND drive1_ = nullptr;
    HWND sldFreq_ = nullptr;
    HWND label1_ = nullptr;
    HWND ok_ = nullptr;
    HWND sousRep_ = nullptr;
    HWND list1_ = nullptr;
    HWND list3_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HFONT sansBold_ = nullptr;
    HFONT sans_ = nullptr;
    HFONT fixed_ = nullptr;
    HIMAGELIST images_ = nullptr;
    std::wstring tipText_; // the tool bar's tip being shown
    HWND menuTip_ = nullptr;
    std::wstring menuTipText_;
    std::unique_ptr<FolderTreeWin32> dir1_;
    std::unique_ptr<OptiWindow> opti_;
    std::unique_ptr<PlanWindowWin32> plan_;
    std::unique_ptr<AboutWindow> about_;
};

} // namespace kesp
