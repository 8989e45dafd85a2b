#pragma once
// Form1 as a native Win32 window: the same controls at the same places as the Qt window, the same
// engine calls, the same texts. The scan and the gate drive it through ScanView and GateView.
#include <windows.h>

#include <commctrl.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/form1_services.h"
#include "mainwindow/open_files.h"
#include "scan/scan_services.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"
#include "volume/gate.h"
#include "volume/gate_view.h"
#include "win32ui/folder_tree_win32.h"

namespace kesp {

class AboutWindow;
class OptiWindow;

// Command identifiers of the menus, the tool bar and the controls.
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
    kIdOuvrirImage = 200,
    kIdEnregistrer,
    kIdImprimer,
    kIdQuitter,
    kIdOptimiser,
    kIdAide,
    kIdApropos,
};

// The status panels' right edges for the widths their texts need (panels 1 to 5) in a bar
// `barWidth` wide; the last reaches the end (-1).
std::vector<int> panelEdges(const std::vector<int>& textWidths, int barWidth);

class Win32Form1 final : public ScanView, public GateView {
public:
    // The Windows print path: the report on the printer the dialog names.
    using PrintReport = std::function<void(const std::string& report)>;

    Win32Form1(HINSTANCE instance, Form1Services services, PrintReport printReport);
    ~Win32Form1() override;
    Win32Form1(const Win32Form1&) = delete;
    Win32Form1& operator=(const Win32Form1&) = delete;

    HWND hwnd() const { return hwnd_; }
    HACCEL accelerators() const { return accelerators_; }
    const EtatScan& etat() const { return etat_; }
    HWND control(CommandId id) const;
    HWND optiHwnd() const;

    void OK_Click();
    void Enregistrer_Click();
    void Imprimer_Click();
    void optimiser_Click();
    void aide_Click();
    void Apropo_Click();
    void OuvrirImage_Click();
    void openImages(const std::vector<std::string>& paths);
    void FinProgramme();

    // ScanView and GateView.
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
    void setDriveText(const std::string& entry) override;
    int setFolderPath(const std::string& pathOrDrive) override;
    void beep() override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int notification);
    void createControls(HINSTANCE instance);
    void createToolBar(HINSTANCE instance);
    void createMenus();
    void updateClock();
    void layoutPanels();
    void Form_Load();
    void sldFreq_Change();
    void Drive1_Change();
    void refreshDrives();
    void returnToPreviousDrive();
    void holdResultFiles();
    void appendTo(HWND list, int& widest, const std::string& line);

    Form1Services services_;
    PrintReport printReport_;
    OpenFileRegistry openFiles_;
    ScanServices scanServices_;
    EtatScan etat_;
    Module1 module_;
    std::string dossierProgramme_;
    std::string cheminAide_;
    std::string dossierTemp_;
    std::vector<std::string> drives_;
    bool busy_ = false;
    bool resultFilesHeld_ = false;
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
    std::unique_ptr<FolderTreeWin32> dir1_;
    std::unique_ptr<OptiWindow> opti_;
    std::unique_ptr<AboutWindow> about_;
};

} // namespace kesp
