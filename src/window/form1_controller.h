#pragma once
// The main window's logic without its toolkit: the shared scan state, the drive list, the
// program's folders and result files, the start-up, the drive changes, the runs, the commands of
// the tool bar and the menus, and the shutdown. A window (Qt or Win32) owns one, forwards its
// events to it and shows what it is told through WindowView.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os/pdf_writer.h"
#include "plan/balance_sheet.h"
#include "scan/scan_services.h"
#include "scan/scan_state.h"
#include "volume/gate.h"
#include "window/commands.h"
#include "window/dialog_folders.h"
#include "window/form1_layout.h"
#include "window/form1_services.h"
#include "window/open_files.h"
#include "window/window_view.h"

namespace kesp {

class Form1Controller {
public:
    // Only stores its arguments: the window calls Form_Load once its widgets exist.
    // `pdf`: see OutputServices.
    Form1Controller(Form1Services services, WindowView& view, PdfWriter* pdf);
    ~Form1Controller();
    Form1Controller(const Form1Controller&) = delete;
    Form1Controller& operator=(const Form1Controller&) = delete;

    // The start-up sequence; see WindowView for the calls it makes.
    void Form_Load();

    // Window events.
    void Drive1_Change();
    // Reads the volume list again, keeping the current entry selected (and listed, even when its
    // volume has gone: choosing it again is what reports that).
    void refreshDrives();
    void Dir1_RightButton();
    void sldFreq_Change(int seconds);

    // Commands, as the tool bar and the menus run them.
    void run(form1::Command command);
    // A tool-bar button's key (form1::kToolButtons); keys are exact and case-sensitive, and an
    // unknown or empty key (a separator) does nothing.
    void Toolbar1_ButtonClick(const std::string& key);
    void OK_Click();
    void Enregistrer_Click();
    void Imprimer_Click();
    void optimiser_Click();
    // Every FAT layout for the last scan's tree, on any drive.
    void planFormatage_Click();
    // The balance sheet of the volume the last scan went through whole, when it reads it directly.
    void bilanVolume_Click();
    void aide_Click();
    void Apropo_Click();
    void OuvrirImage_Click();
    // Adds the FAT volumes of each image to Drive1 and moves to the first one, as a drive change,
    // emptying List3 of the last scan's totals; an image that cannot be read is reported and
    // skipped.
    void openImages(const std::vector<std::string>& paths);
    // The plan's text through the print dialog, laid out as a PDF for paper and file alike, from
    // temporary files deleted at exit.
    void printPlan(const std::vector<std::string>& lines);
    // The same for the balance sheet.
    void printBalance(const std::vector<std::string>& lines);
    // Closes the result files, deletes "~qk*.tmp" in DossierTemp (except the files another
    // running instance holds) and ends the process through the injected exit.
    void FinProgramme();

    // Empties status panels 1 to 3.
    void InitBar();
    // Dir1 on a drive entry or on a folder: GateView::setFolderPath's contract.
    int setFolderPath(const std::string& pathOrDrive);

    const EtatScan& etat() const { return etat_; }
    const DriveState& driveState() const { return driveState_; }
    // The window's title: the program's name and version.
    const std::string& TitreApplication() const { return titreApplication_; }
    const std::vector<std::string>& drives() const { return drives_; }
    const std::string& DossierProgramme() const { return dossierProgramme_; }
    const std::string& CheminAide() const { return cheminAide_; }
    const std::string& DossierTemp() const { return dossierTemp_; }
    const OpenFileRegistry& openFiles() const { return openFiles_; }

private:
    class GateAdapter;
    void returnToPreviousDrive();
    void setSaveAndPrintEnabled(bool enabled);
    void printThrough(const std::string& name, const std::vector<std::string>& lines);
    // Before a run: asks the image backend to gather the balance of the folder's volume.
    void gatherBalance(const std::string& folder, const std::string& drive);
    // After it: keeps the sheet and offers it, or says why there is none.
    void offerBalance(RunEnd walkEnd);
    // Holds the result files' names against other running instances, switching to names of
    // this instance's own when another one holds them.
    void holdResultFiles();

    Form1Services services_;
    WindowView& view_;
    OpenFileRegistry openFiles_;
    DialogFolders dialogFolders_;
    ScanServices scanServices_;
    OutputServices outputServices_;
    EtatScan etat_;
    DriveState driveState_;
    std::string titreApplication_;
    std::string dossierProgramme_;
    std::string cheminAide_;
    std::string dossierTemp_;
    std::vector<std::string> drives_;      // Drive1's entries, as bytes
    std::uint64_t scannedVolumeBytes_ = 0; // the plan window's first volume size
    std::uint64_t unreadableFolders_ = 0;  // by the walk the plan is made from
    std::string balanceFolder_;            // the run's folder, and its drive entry
    std::string balanceDrive_;
    std::string balanceRefused_; // what gatherBalance answered
    std::optional<plan::BalanceSheet> balanceSheet_;
    bool resultFilesHeld_ = false;
};

} // namespace kesp
