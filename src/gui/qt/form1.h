#pragma once
// Form1, the main window: the drive and folder pickers, the start/cancel button, the lists, the
// tool bar, the menus and the status bar. Widgets and their events only: the logic, the shared
// scan state and the end of the program (FinProgramme) are its Form1Controller's.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "gui/qt/qt_pdf_writer.h"
#include "window/form1_controller.h"
#include "window/form1_layout.h"
#include "window/window_view.h"

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

class Form1 : public QMainWindow, public WindowView {
    Q_OBJECT
public:
    // Runs the start-up sequence; the caller shows the window afterwards.
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    Form1Controller& controller() { return controller_; }

    // The controller's commands, as the window's events run them.
    void InitBar() { controller_.InitBar(); }
    void FinProgramme() { controller_.FinProgramme(); }
    void Toolbar1_ButtonClick(const QString& key);
    void OK_Click() { controller_.OK_Click(); }
    void Enregistrer_Click() { controller_.Enregistrer_Click(); }
    void Imprimer_Click() { controller_.Imprimer_Click(); }
    void optimiser_Click() { controller_.optimiser_Click(); }
    void planFormatage_Click() { controller_.planFormatage_Click(); }
    void aide_Click() { controller_.aide_Click(); }
    void Apropo_Click() { controller_.Apropo_Click(); }
    void OuvrirImage_Click() { controller_.OuvrirImage_Click(); }
    void openImages(const std::vector<std::string>& paths) { controller_.openImages(paths); }
    int setFolderPath(const std::string& pathOrDrive) {
        return controller_.setFolderPath(pathOrDrive);
    }

    const EtatScan& etat() const { return controller_.etat(); }
    const std::string& DossierProgramme() const { return controller_.DossierProgramme(); }
    const std::string& CheminAide() const { return controller_.CheminAide(); }
    const std::string& DossierTemp() const { return controller_.DossierTemp(); }
    const DriveState& driveState() const { return controller_.driveState(); }
    const std::string& TitreApplication() const { return controller_.TitreApplication(); }
    const OpenFileRegistry& openFiles() const { return controller_.openFiles(); }
    Opti* optiWindow() const;
    PlanWindow* planWindow() const;
    QAction* planAction() const { return planButton_; }
    QAction* planMenuAction() const { return menuItem(form1::Command::PlanFormatage); }
    AppendListModel& list1Model() const { return *list1Model_; }
    AppendListModel& list3Model() const { return *list3Model_; }

    // WindowView.
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
    void showAbout() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* menuItem(form1::Command command) const {
        return menuItems_[static_cast<std::size_t>(command)];
    }
    void createControls();
    void createToolBar();
    void createMenus();

    MessageBoxes& boxes_;
    ProgramEnvironment& environment_;
    ProgramLauncher& launcher_;
    QtPdfWriter pdfWriter_;
    Form1Controller controller_;
    std::vector<std::string> drives_; // Drive1's entries, as bytes
    bool busy_ = false;

    ImageList1* images_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    std::vector<QAction*> toolButtons_; // positions 1 to 7, separators included
    std::array<QAction*, form1::kCommandCount> menuItems_{}; // by command
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
