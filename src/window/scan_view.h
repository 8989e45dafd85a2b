#pragma once
// What the scan run and the folder listing need of the main window. Form1, kesp-scan and the
// tests' recorder implement it; every call comes on the one thread that runs the scan.
//
// Call protocol of one run (a press of OK while it reads "&Démarrer"):
//   closeOpti(); setOkEnabled(false); pump();
//   setOkCaption("&Annuler"); setDriveEnabled(false); setToolButtonEnabled(1,false);
//   setMenuEnabled(Enregistrer, false) ... setFolderEnabled(false); setBusy(true);
//   clearList1(); clearList3(); appendList3() of H, "Veuillez patienter !" and
//   "traitement en cours..."; setStatusPanel(1..3, "");
//   [files opened and head lines written] setOkEnabled(true); pump();
//   per folder: appendList1(P) and its three figure lines; setTitle(...) before each sub-folder;
//   poll() before every entry; after a file, setStatusPanel(1..3, ...) and pump() whenever the
//   refresh period has passed; after a sub-folder entry, pump() alone when it has passed;
//   setTitle(TitreApplication); clearList3(); appendList3(...) for H, "Recherche sur ...", totals
//   or the cancel message (or the lost volume's), then "N dossier(s) illisible(s)" when folders
//   could not be read; setStatusPanel(1..3) after a complete run; pump();
//   setOkEnabled(true); setDriveEnabled(true); ... setBusy(false); setOkCaption("&Démarrer").
// A second press re-enters from inside pump(): closeOpti(); setOkEnabled(false); pump();
//   setOkCaption("&Démarrer") and the cancel flag is set; the walk stops at its next test.
// A press with TailleCluster <= 0: closeOpti(); setOkEnabled(false); pump(); setOkEnabled(true);
//   showError(...) and nothing else.
// A result file that cannot be created or written: List3 gets H, "Recherche sur ..." and the
//   message instead of the totals (panels 1-3 cleared after a failed write); the controls come
//   back as after any run; then showError(message, "Problème ! ...").
#include <string>

namespace kesp {

enum class MenuItem { Enregistrer, Imprimer, optimiser };
enum class CheckState { Clear, Ticked, Grey };

class ScanView {
public:
    virtual ~ScanView() = default;

    virtual std::string okCaption() = 0;
    virtual void setOkCaption(const std::string& caption) = 0;
    virtual void setOkEnabled(bool enabled) = 0;
    virtual void setDriveEnabled(bool enabled) = 0;  // Drive1
    virtual void setFolderEnabled(bool enabled) = 0; // Dir1
    // Tool-bar buttons by position: 1 save, 2 print, 4 optimise.
    virtual void setToolButtonEnabled(int position, bool enabled) = 0;
    virtual void setMenuEnabled(MenuItem item, bool enabled) = 0;
    virtual void setBusy(bool busy) = 0; // hourglass pointer

    virtual void clearList1() = 0;
    virtual void clearList3() = 0;
    virtual void appendList1(const std::string& line) = 0;
    virtual void appendList3(const std::string& line) = 0;
    // Panels by position, 1 to 7.
    virtual void setStatusPanel(int position, const std::string& text) = 0;
    virtual void setTitle(const std::string& title) = 0;

    virtual std::string driveText() = 0;  // Drive1's current entry
    virtual std::string folderPath() = 0; // Dir1's path
    virtual CheckState subFolders() = 0;  // SousRep

    virtual void closeOpti() = 0;
    // Hands control to the event loop until pending events are processed.
    virtual void pump() = 0;
    // A cheap look for a cancel that arrives outside the event loop (a signal to kesp-scan),
    // delivered as a second press; called before every entry. Must not process events.
    virtual void poll() {}
    // A failure the run reports (a result file that cannot be written): modal, one OK button.
    virtual void showError(const std::string& text, const std::string& title) = 0;
};

} // namespace kesp
