#include "mainwindow/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <filesystem>

#include "mainwindow/append_list_model.h"
#include "mainwindow/display_text.h"
#include "mainwindow/drive_list.h"
#include "mainwindow/folder_tree.h"
#include "window/program_paths.h"
#include "mainwindow/status_bar.h"
#include "scan/init_bar.h"
#include "scan/result_lines.h"
#include "volume/opti_window.h"

namespace kesp {

namespace {

// The platform's error number for a folder that does not exist.
constexpr int kErrorPathNotFound = 76;

// Every start begins on drive "c:", folder "c:\"; here, the volume that holds "/" and "/" itself.
#ifdef _WIN32
constexpr const char* kDossierDemarrage = "c:\\";
#else
constexpr const char* kDossierDemarrage = "/";
#endif

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)),
      openFiles_(services_.files), scanServices_{services_.folders, services_.ticks, openFiles_,
                                                 services_.chars},
      outputServices_{services_.dialogs, services_.boxes, services_.launcher, pdfWriter_} {
    createControls();
    connect(ok_, &QPushButton::clicked, this, &Form1::OK_Click);
    connect(sldFreq_, &QSlider::valueChanged, this, [this] {
        sldFreq_Change();
        sldFreq_Scroll();
    });
    connect(dir1_, &FolderTree::rightButtonPressed, this, &Form1::Dir1_RightButton);
    connect(drive1_, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(drive1_, &DriveList::aboutToShowPopup, this, &Form1::refreshDrives);
    Form_Load();
}

Form1::~Form1() {
    delete opti_;
    openFiles_.releaseAll();
}

void Form1::Form_Load() {
    dossierProgramme_ = DossierDuProgramme(services_.environment.programFile());
    etat_.TitreApplication =
        kesp::TitreApplication(KESP_VERSION_MAJOR, KESP_VERSION_MINOR, KESP_VERSION_PATCH);
    openFiles_.closeAll();
    cheminAide_ =
        kesp::CheminAide(dossierProgramme_, KESP_HELP_FROM_PROGRAM, services_.environment);

    // From here on a step that fails is skipped: none of them throws, and the folder and drive
    // changes report their errors as numbers that start-up does not look at.
    setToolButtonEnabled(1, false);
    setMenuEnabled(MenuItem::Enregistrer, false);
    setToolButtonEnabled(2, false);
    setMenuEnabled(MenuItem::Imprimer, false);
    setToolButtonEnabled(4, false);
    setMenuEnabled(MenuItem::optimiser, false);
    setPlanEnabled(false);
    setWindowTitle(displayText(etat_.TitreApplication));
    etat_.EnteteDetail = "    Nom du fichier      Octets perdus  Taille utile du fichier";
    InitBar();
    sldFreq_Change();
    sldFreq_Scroll();

    refreshDrives();
    module_.LecteurDemarrage = services_.volumes.driveOf(kDossierDemarrage);
    {
        // Drive1 starts on the drive of the current folder, as a drive list does; moving it to
        // the start-up drive is a drive change of its own.
        const QSignalBlocker blocker(drive1_);
        std::error_code error;
        const std::string cwd = std::filesystem::current_path(error).string();
        const std::string current = cwd.empty() ? std::string() : services_.volumes.driveOf(cwd);
        for (std::size_t i = 0; i < drives_.size(); ++i)
            if (drives_[i] == current) drive1_->setCurrentIndex(static_cast<int>(i));
    }
    setDriveText(module_.LecteurDemarrage);
    setFolderPath(kDossierDemarrage);
    kesp::CalculCluster(etat_, *this, services_.volumes);
    etat_.FormatNombre = "#,###,###,##0";
    dossierTemp_ = DossierTemporaire(services_.environment);
    etat_.CheminRes1 = CheminResultat1(dossierTemp_);
    etat_.CheminRes2 = CheminResultat2(dossierTemp_);
}

void Form1::refreshDrives() {
    const std::string current = driveText();
    const QSignalBlocker blocker(drive1_);
    drives_ = services_.volumes.drives();
    if (!current.empty() && std::find(drives_.begin(), drives_.end(), current) == drives_.end())
        drives_.push_back(current);
    drive1_->clear();
    for (const std::string& entry : drives_)
        drive1_->addItem(displayText(entry));
    const auto it = std::find(drives_.begin(), drives_.end(), current);
    drive1_->setCurrentIndex(it == drives_.end() ? -1 : static_cast<int>(it - drives_.begin()));
}

void Form1::openImages(const std::vector<std::string>& paths) {
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

void Form1::InitBar() {
    kesp::InitBar(*this);
}

void Form1::Drive1_Change() {
    const int error = kesp::Drive1_Change(etat_, module_, *this, services_.volumes);
    if (error == 0) return;
    services_.boxes.show("Erreur : " + std::to_string(error) + "\r\n" + "Le lecteur " +
                             driveText() + " est inaccessible.",
                         etat_.TitreApplication, MessageIcon::Critical);
    // The handling stopped before CalculCluster: left here, Drive1 would name a drive that the
    // folder tree, the status bar and the gate do not describe.
    returnToPreviousDrive();
}

void Form1::returnToPreviousDrive() {
    const std::string& back = LecteurDeRetour(etat_, module_);
    if (!back.empty() && back != driveText()) setDriveText(back);
}

void Form1::Dir1_RightButton() {
    AfficherInfosPartition(driveText(), module_, *this, services_.volumes);
}

Opti* Form1::optiWindow() const {
    return opti_.data();
}

// --- ScanView and GateView ---

std::string Form1::okCaption() {
    return ok_->text().toStdString();
}
void Form1::setOkCaption(const std::string& caption) {
    ok_->setText(QString::fromStdString(caption));
}
void Form1::setOkEnabled(bool enabled) {
    ok_->setEnabled(enabled);
}
void Form1::setDriveEnabled(bool enabled) {
    drive1_->setEnabled(enabled);
}
void Form1::setFolderEnabled(bool enabled) {
    dir1_->setEnabled(enabled);
}

void Form1::setToolButtonEnabled(int position, bool enabled) {
    if (position < 1 || position > static_cast<int>(toolButtons_.size())) return;
    toolButtons_[static_cast<std::size_t>(position - 1)]->setEnabled(enabled);
}

void Form1::setMenuEnabled(MenuItem item, bool enabled) {
    switch (item) {
    case MenuItem::Enregistrer:
        menuEnregistrer_->setEnabled(enabled);
        break;
    case MenuItem::Imprimer:
        menuImprimer_->setEnabled(enabled);
        break;
    case MenuItem::optimiser:
        menuOptimiser_->setEnabled(enabled);
        break;
    }
}

void Form1::setBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void Form1::clearList1() {
    list1Model_->clear();
}
void Form1::clearList3() {
    list3Model_->clear();
}
void Form1::appendList1(const std::string& line) {
    list1Model_->append(line);
}
void Form1::appendList3(const std::string& line) {
    list3Model_->append(line);
}

void Form1::setStatusPanel(int position, const std::string& text) {
    statusBar1_->setPanelText(position, displayText(text));
}

void Form1::setTitle(const std::string& title) {
    setWindowTitle(displayText(title));
}

std::string Form1::driveText() {
    const int index = drive1_->currentIndex();
    if (index < 0 || index >= static_cast<int>(drives_.size())) return {};
    return drives_[static_cast<std::size_t>(index)];
}

std::string Form1::folderPath() {
    return dir1_->path();
}

CheckState Form1::subFolders() {
    switch (sousRep_->checkState()) {
    case Qt::Checked:
        return CheckState::Ticked;
    case Qt::PartiallyChecked:
        return CheckState::Grey;
    case Qt::Unchecked:
        break;
    }
    return CheckState::Clear;
}

void Form1::closeOpti() {
    if (!opti_) return;
    opti_->close();
    // Rebuilt at its next opening from the scan that follows.
    opti_->deleteLater();
    opti_ = nullptr;
}

void Form1::pump() {
    list1Model_->flush();
    list3Model_->flush();
    // A view resets, lays out and repaints in separate passes of the event loop (zero timers,
    // then a posted update request); one pass would leave the rest to the next pump, a whole
    // refresh period later.
    for (int pass = 0; pass < 3; ++pass)
        QCoreApplication::processEvents();
}

void Form1::showError(const std::string& text, const std::string& title) {
    services_.boxes.show(text, title, MessageIcon::Critical);
}

void Form1::setDriveText(const std::string& entry) {
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        // Drive1 reports the change, which runs the drive-change handling before this returns.
        if (drives_[i] == entry) drive1_->setCurrentIndex(static_cast<int>(i));
    }
}

int Form1::setFolderPath(const std::string& pathOrDrive) {
    bool isDrive = false;
    for (const std::string& entry : drives_)
        isDrive = isDrive || entry == pathOrDrive;
    const std::string drive = isDrive ? pathOrDrive : services_.volumes.driveOf(pathOrDrive);
    const auto root = services_.volumes.rootPath(drive);
    if (!root) return isDrive ? kErrorDeviceUnavailable : kErrorPathNotFound;
    if (const int error = services_.volumes.readiness(*root); error != 0) return error;
    const std::string folder = isDrive ? *root : pathOrDrive;
    if (services_.images && services_.images->holds(*root)) {
        // A volume the host cannot see (a disk image): read through the scan's own enumeration.
        if (services_.folders.open(folder)->failure()) return kErrorPathNotFound;
        dir1_->showDrive(*root, folder, &services_.folders);
        return 0;
    }
    if (!isFolder(folder)) return kErrorPathNotFound;
    dir1_->showDrive(*root, folder);
    return 0;
}

void Form1::beep() {
    services_.boxes.beep();
}

void Form1::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    services_.boxes.show(text, title, icon);
}

} // namespace kesp
