#pragma once
// What Form1Controller needs of a main window, whatever its toolkit: the scan's view (ScanView),
// the rest of what the cluster-size gate asks of a window, and the few operations that only the
// window's own commands use. The window holds widgets and nothing else; every decision is the
// controller's. All calls come on the window's one thread.
//
// Call protocol:
//   Construction: the window builds its widgets (OK reads "&Démarrer", SousRep ticked, sldFreq at
//   1, Drive1 empty), then calls Form_Load(), which runs, in order:
//     setToolButtonEnabled(1, false); setMenuEnabled(Enregistrer, false); the same for 2 and
//     Imprimer, 4 and optimiser; setPlanEnabled(false); setTitle(title); setStatusPanel(1..3, "");
//     refreshSeconds(); setRefreshLabel("1 seconde");
//     setDriveEntries(volumes, the current folder's drive or -1): reports no change;
//     setDriveText(start-up drive): when Drive1's selection moves, the window calls
//       Drive1_Change() before setDriveText returns, which points Dir1 (showFolders) and runs the
//       gate (clearList1, appendList1, setStatusPanel(1..5), setOkEnabled, then, for a refused
//       volume, appendList1 of what to choose instead);
//     showFolders(root, start-up folder, nullptr); the gate again.
//   Events: the window forwards each one and decides nothing:
//     Drive1's selection changed (by the user or by setDriveText)  -> Drive1_Change()
//     Drive1 about to open its list                                -> refreshDrives()
//     right button on Dir1                                         -> Dir1_RightButton()
//     OK pressed (also while a run is under way, from inside pump) -> OK_Click()
//     sldFreq moved                                                -> sldFreq_Change(value)
//     a tool-bar button with a key (separators have none)          -> Toolbar1_ButtonClick(key)
//     a menu item                                                  -> Enregistrer_Click() ...
//     the window asked to close, "Quitter"                         -> FinProgramme()
//     the plan window's print button                               -> printPlan(lines)
//   A press of OK that starts a run: setPlanEnabled(false); closePlan(); then the run as ScanView
//   tells; after a run that went through the whole tree (or was cancelled), setPlanEnabled(true);
//   after one whose result files failed, showError then save and print disabled (1, Enregistrer,
//   2, Imprimer). When the chosen drive has gone meanwhile, no run: Drive1_Change's handling.
//   Shutdown: FinProgramme() calls nothing here; it ends through the injected exit (which returns
//   only in tests).
#include <string>
#include <vector>

#include "os/folder_enum.h"
#include "os/message_box.h"
#include "plan/plan_window_model.h"
#include "volume/opti_table.h"
#include "window/scan_view.h"

namespace kesp {

class WindowView : public ScanView {
public:
    // Drive1's list, as bytes, with `selected` (-1: none) chosen. Reports no change.
    virtual void setDriveEntries(const std::vector<std::string>& entries, int selected) = 0;
    // Selects `entry` when Drive1 lists it; when the selection moves, Drive1 reports the change
    // (Drive1_Change runs, nested) before this returns. An entry not listed changes nothing.
    virtual void setDriveText(const std::string& entry) = 0;
    // Dir1 shows the folders under `root` (a drive's root, ending with the separator) and selects
    // `folder`, which lies below it or is it. With `folders`, the volume is read through that
    // enumeration (a disk image the host cannot see) instead of the host file system; Dir1's path
    // (folderPath()) is `folder` afterwards.
    virtual void showFolders(const std::string& root, const std::string& folder,
                             FolderEnumerator* folders) = 0;

    virtual void setPlanEnabled(bool enabled) = 0; // the plan's tool-bar button and menu item
    virtual int refreshSeconds() = 0;              // sldFreq's value, 1 to 10
    virtual void setRefreshLabel(const std::string& text) = 0; // Label1

    virtual void beep() = 0;
    // Modal, one OK button; the error boxes of the window's commands come here too.
    virtual void messageBox(const std::string& text, const std::string& title,
                            MessageIcon icon) = 0;

    // Opens Opti, modeless, with `table` and the title `title`; when it is open, brings it to
    // the front as it is. closeOpti() (ScanView) closes it: the next opening gets a new table.
    virtual void showOpti(const TableOpti& table, const std::string& title) = 0;
    // Opens the plan window, modeless, over `model`; when it is open, brings it to the front as
    // it is (the model is then dropped). Its print button calls Form1Controller::printPlan.
    virtual void showPlan(plan::PlanWindowModel model) = 0;
    virtual void closePlan() = 0;
    // The About window, modal: returns when it is closed.
    virtual void showAbout() = 0;
};

} // namespace kesp
