#pragma once
// Form1, the main window: the drive and folder pickers, the start/cancel button, the lists, the
// tool bar, the menus and the status bar. It is the view of the scan run and of the cluster-size
// gate, owns the shared scan state and ends the program (FinProgramme).
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "window/form1_services.h"
#include "window/open_files.h"
#include "output/commands.h"
#include "platform/qt/qt_pdf_writer.h"
#include "scan/scan_services.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"
#include "volume/gate.h"
#include "volume/gate_view.h"

class QAction;
class QCheckBox;
class QLabel;
class QListView;
class QPushButton;
class QSlider;
class QToolBar;
class Opti;
class QDialog;

namespace kesp {

class AppendListModel;
class PlanWindow;
class DriveList;
class FolderTree;
class ImageList1;
class StatusBar1;

class Form1 : public QMainWindow, public ScanView, public GateView {
    Q_OBJECT
public:
    // Runs the start-up sequence; the caller shows the window afterwards.
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // Empties status panels 1 to 3.
    void InitBar();
    // Closes the result files, deletes "~qk*.tmp" in DossierTemp (except the files another
    // running instance holds) and ends the process.
    void FinProgramme();

    // Commands, as the tool bar and the menus run them.
    void Toolbar1_ButtonClick(const QString& key);
    void OK_Click();
    void Enregistrer_Click();
    void Imprimer_Click();
    void optimiser_Click();
    // "Options > Plan de formatage…": every FAT layout for the last scan's tree, on any drive.
    void planFormatage_Click();
    void aide_Click();
    void Apropo_Click();
    void OuvrirImage_Click();
    // Adds the FAT volumes of each image to Drive1 and moves to the first one, as a drive change;
    // an image that cannot be read is reported and skipped.
    void openImages(const std::vector<std::string>& paths);

    const EtatScan& etat() const { return etat_; }
    const std::string& DossierProgramme() const { return dossierProgramme_; }
    const std::string& CheminAide() const { return cheminAide_; }
    const std::string& DossierTemp() const { return dossierTemp_; }
    const Module1& module() const { return module_; }
    Opti* optiWindow() const;
    PlanWindow* planWindow() const;
    QAction* planAction() const { return planButton_; }
    QAction* planMenuAction() const { return menuPlan_; }
    const OpenFileRegistry& openFiles() const { return openFiles_; }
    AppendListModel& list1Model() const { return *list1Model_; }
    AppendListModel& list3Model() const { return *list3Model_; }

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createToolBar();
    void createMenus();
    void Form_Load();
    void sldFreq_Change();
    void sldFreq_Scroll();
    void Drive1_Change();
    void Dir1_RightButton();
    // Reads the volume list again, keeping the current entry selected (and listed, even when its
    // volume has gone: choosing it again is what reports that).
    void refreshDrives();
    void returnToPreviousDrive();
    void setPlanEnabled(bool enabled);
    // The plan's text through the print command, from a temporary file it deletes at exit.
    void printPlan(const std::vector<std::string>& lines);
    // Holds the result files' names against other running instances, switching to names of
    // this instance's own when another one holds them.
    void holdResultFiles();

    Form1Services services_;
    OpenFileRegistry openFiles_;
    ScanServices scanServices_;
    QtPdfWriter pdfWriter_;
    OutputServices outputServices_;
    EtatScan etat_;
    Module1 module_;
    std::string dossierProgramme_;
    std::string cheminAide_;
    std::string dossierTemp_;
    std::vector<std::string> drives_; // Drive1's entries, as bytes
    bool busy_ = false;
    std::uint64_t scannedVolumeBytes_ = 0; // the plan window's first volume size
    bool resultFilesHeld_ = false;

    ImageList1* images_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    std::vector<QAction*> toolButtons_; // positions 1 to 7, separators included
    QAction* menuEnregistrer_ = nullptr;
    QAction* menuImprimer_ = nullptr;
    QAction* menuOptimiser_ = nullptr;
    QAction* menuPlan_ = nullptr;
    QAction* planButton_ = nullptr; // after "Optimiser"; not one of the run's numbered positions
    FolderTree* dir1_ = nullptr;
    DriveList* drive1_ = nullptr;
    QSlider* sldFreq_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton* ok_ = nullptr;
    QCheckBox* sousRep_ = nullptr;
    QListView* list1_ = nullptr;
    QListView* list3_ = nullptr;
    AppendListModel* list1Model_ = nullptr;
    AppendListModel* list3Model_ = nullptr;
    StatusBar1* statusBar1_ = nullptr;
    QPointer<Opti> opti_;
    QPointer<PlanWindow> plan_;
    std::unique_ptr<QDialog> apropos_; // the About window, made at its first opening
};

} // namespace kesp
