#include "window/form1_controller.h"

#include <algorithm>
#include <cstdlib>

#include "os/error_codes.h"
#include "os/host_folder.h"
#include "os/private_folder.h"
#include "os/temp_cleanup.h"
#include "scan/init_bar.h"
#include "scan/result_lines.h"
#include "volume/opti_table.h"
#include "window/program_paths.h"
#include "window/scan_press.h"

namespace kesp {

namespace {

// Every start begins on drive "c:", folder "c:\"; here, the volume that holds "/" and "/" itself.
#ifdef _WIN32
constexpr const char* kDossierDemarrage = "c:\\";
#else
constexpr const char* kDossierDemarrage = "/";
#endif

int indexOf(const std::vector<std::string>& entries, const std::string& entry) {
    const auto it = std::find(entries.begin(), entries.end(), entry);
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

} // namespace

// The gate's view: the window, except that pointing Dir1 somewhere is decided here.
class Form1Controller::GateAdapter : public GateView {
public:
    explicit GateAdapter(Form1Controller& owner) : owner_(owner), view_(owner.view_) {}

    void clearList1() override { view_.clearList1(); }
    void appendList1(const std::string& line) override { view_.appendList1(line); }
    void setStatusPanel(int position, const std::string& text) override {
        view_.setStatusPanel(position, text);
    }
    // The gate's verdict, its last call: a refused volume is followed by what to do instead.
    void setOkEnabled(bool enabled) override {
        view_.setOkEnabled(enabled);
        if (!enabled)
            view_.appendList1(
                owner_.services_.images
                    ? "Choisissez un volume FAT ou exFAT, ou ouvrez une image disque (Ctrl+O)."
                    : "Choisissez un volume FAT ou exFAT.");
    }
    std::string driveText() override { return view_.driveText(); }
    void setDriveText(const std::string& entry) override { view_.setDriveText(entry); }
    std::string folderPath() override { return view_.folderPath(); }
    int setFolderPath(const std::string& pathOrDrive) override {
        return owner_.setFolderPath(pathOrDrive);
    }
    void beep() override { view_.beep(); }
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
        view_.messageBox(text, title, icon);
    }

private:
    Form1Controller& owner_;
    WindowView& view_;
};

Form1Controller::Form1Controller(Form1Services services, WindowView& view, PdfWriter* pdf)
    : services_(std::move(services)), view_(view), openFiles_(services_.files),
      dialogFolders_(services_.environment), scanServices_{services_.folders, services_.ticks,
                                                           openFiles_, services_.chars},
      outputServices_{services_.dialogs, services_.boxes, services_.launcher, pdf,
                      services_.printer} {}

Form1Controller::~Form1Controller() {
    openFiles_.releaseAll();
}

void Form1Controller::Form_Load() {
    dossierProgramme_ = DossierDuProgramme(services_.environment.programFile());
    titreApplication_ =
        kesp::TitreApplication(KESP_VERSION_MAJOR, KESP_VERSION_MINOR, KESP_VERSION_PATCH);
    openFiles_.closeAll();
    cheminAide_ =
        kesp::CheminAide(dossierProgramme_, KESP_HELP_FROM_PROGRAM, services_.environment);

    // From here on a step that fails is skipped: none of them throws, and the folder and drive
    // changes report their errors as numbers that start-up does not look at.
    setSaveAndPrintEnabled(false);
    view_.setToolButtonEnabled(4, false);
    view_.setMenuEnabled(MenuItem::optimiser, false);
    view_.setPlanEnabled(false);
    view_.setBalanceEnabled(false, plan::kBalanceNeedsScan);
    view_.setTitle(titreApplication_);
    etat_.EnteteDetail = "    Nom du fichier      Octets perdus  Taille utile du fichier";
    InitBar();
    sldFreq_Change(view_.refreshSeconds());

    // Drive1 starts on the drive of the current folder, as a drive list does; moving it to the
    // start-up drive is a drive change of its own.
    drives_ = services_.volumes.drives();
    driveState_.LecteurDemarrage = services_.volumes.driveOf(kDossierDemarrage);
    const std::string cwd = currentHostFolder();
    view_.setDriveEntries(drives_,
                          cwd.empty() ? -1 : indexOf(drives_, services_.volumes.driveOf(cwd)));
    view_.setDriveText(driveState_.LecteurDemarrage);
    setFolderPath(kDossierDemarrage);
    GateAdapter gate(*this);
    kesp::CalculCluster(etat_, gate, services_.volumes);
    etat_.FormatNombre = "#,###,###,##0";
    dossierTemp_ = DossierTemporaire(services_.environment);
    etat_.CheminRes1 = CheminResultat1(dossierTemp_);
    etat_.CheminRes2 = CheminResultat2(dossierTemp_);
}

void Form1Controller::refreshDrives() {
    const std::string current = view_.driveText();
    drives_ = services_.volumes.drives();
    if (!current.empty() && indexOf(drives_, current) < 0) drives_.push_back(current);
    view_.setDriveEntries(drives_, indexOf(drives_, current));
}

void Form1Controller::openImages(const std::vector<std::string>& paths) {
    if (!services_.images) return;
    std::string first;
    for (const std::string& path : paths) {
        const OpenedImage opened = services_.images->openImage(path);
        if (!opened.error.empty()) {
            view_.messageBox(opened.error, std::string(kErrorTitle), MessageIcon::Critical);
            continue;
        }
        dialogFolders_.imageOpened(path);
        if (first.empty() && !opened.drives.empty()) first = opened.drives.front();
    }
    if (first.empty()) return;
    refreshDrives();
    // The totals below are another volume's.
    view_.clearList3();
    view_.setDriveText(first);
}

void Form1Controller::InitBar() {
    kesp::InitBar(view_);
}

void Form1Controller::Drive1_Change() {
    GateAdapter gate(*this);
    const int error = kesp::Drive1_Change(etat_, driveState_, gate, services_.volumes);
    if (error == 0) return;
    view_.messageBox("Erreur : " + std::to_string(error) + "\r\n" + "Le lecteur " +
                         view_.driveText() + " est inaccessible.",
                     titreApplication_, MessageIcon::Critical);
    // The handling stopped before CalculCluster: left here, Drive1 would name a drive that the
    // folder tree, the status bar and the gate do not describe.
    returnToPreviousDrive();
}

void Form1Controller::returnToPreviousDrive() {
    const std::string& back = LecteurDeRetour(driveState_);
    if (!back.empty() && back != view_.driveText()) view_.setDriveText(back);
}

void Form1Controller::Dir1_RightButton() {
    GateAdapter gate(*this);
    AfficherInfosPartition(view_.driveText(), driveState_, gate, services_.volumes);
}

int Form1Controller::setFolderPath(const std::string& pathOrDrive) {
    const bool isDrive = indexOf(drives_, pathOrDrive) >= 0;
    const std::string drive = isDrive ? pathOrDrive : services_.volumes.driveOf(pathOrDrive);
    const auto root = services_.volumes.rootPath(drive);
    if (!root) return isDrive ? kErrorDeviceUnavailable : kErrorPathNotFound;
    if (const int error = services_.volumes.readiness(*root); error != 0) return error;
    const std::string folder = isDrive ? *root : pathOrDrive;
    if (services_.images && services_.images->holds(*root)) {
        // A volume the host cannot see (a disk image): read through the scan's own enumeration.
        if (services_.folders.open(folder)->failure()) return kErrorPathNotFound;
        view_.showFolders(*root, folder, &services_.folders);
        return 0;
    }
    if (!isHostFolder(folder)) return kErrorPathNotFound;
    view_.showFolders(*root, folder, nullptr);
    return 0;
}

void Form1Controller::sldFreq_Change(int seconds) {
    etat_.PeriodeRafraichissement = seconds * 1000;
    view_.setRefreshLabel(std::to_string(seconds) + " seconde" + (seconds > 1 ? "s" : ""));
}

void Form1Controller::run(form1::Command command) {
    using form1::Command;
    switch (command) {
    case Command::OuvrirImage:
        OuvrirImage_Click();
        break;
    case Command::Enregistrer:
        Enregistrer_Click();
        break;
    case Command::Imprimer:
        Imprimer_Click();
        break;
    case Command::Quitter:
        FinProgramme();
        break;
    case Command::Optimiser:
        optimiser_Click();
        break;
    case Command::PlanFormatage:
        planFormatage_Click();
        break;
    case Command::Aide:
        aide_Click();
        break;
    case Command::Apropos:
        Apropo_Click();
        break;
    case Command::BilanVolume:
        bilanVolume_Click();
        break;
    }
}

void Form1Controller::Toolbar1_ButtonClick(const std::string& key) {
    if (const auto command = form1::commandOfKey(key)) run(*command);
}

void Form1Controller::OK_Click() {
    const bool starting = view_.okCaption() == kCaptionStart;
    if (starting) {
        // A drive unmounted since it was chosen would scan the folder left at its place, with
        // zeros and no size: it goes through the drive change instead, which refuses it.
        const auto root = services_.volumes.rootPath(view_.driveText());
        if (!root || services_.volumes.readiness(*root) != 0) {
            // Returning to itself would be no return: the start-up drive takes its place.
            if (driveState_.LecteurPrecedent == view_.driveText())
                driveState_.LecteurPrecedent.clear();
            Drive1_Change();
            return;
        }
        // The drive header line carries the volume's size, as kesp-scan writes it.
        etat_.TailleDisqueMo = services_.volumes.totalMegabytes(*root);
        holdResultFiles();
        // The plan shown was made from the previous tree; the next is for this volume's size,
        // whatever drive is chosen meanwhile.
        view_.setPlanEnabled(false);
        scannedVolumeBytes_ = services_.volumes.totalBytes(*root);
        view_.closePlan();
        gatherBalance(view_.folderPath(), view_.driveText());
    }
    // A press during a run re-enters here from inside pump(); the engine only flags the cancel.
    const RunOutcome outcome = kesp::OK_Click(etat_, titreApplication_, view_, scanServices_);
    // Once a walk has gone through the whole tree, on any drive: a cancelled one is part of it.
    if (starting && outcome.end == RunEnd::Completed) {
        unreadableFolders_ = outcome.problems.unreadable.size();
        view_.setPlanEnabled(true);
    }
    if (starting) offerBalance(outcome.walkEnd);
    // Whatever stands under the result files' names is not this run's: nothing to save or print.
    if (outcome.end == RunEnd::FilesFailed) setSaveAndPrintEnabled(false);
}

void Form1Controller::setSaveAndPrintEnabled(bool enabled) {
    view_.setToolButtonEnabled(1, enabled);
    view_.setMenuEnabled(MenuItem::Enregistrer, enabled);
    view_.setToolButtonEnabled(2, enabled);
    view_.setMenuEnabled(MenuItem::Imprimer, enabled);
}

void Form1Controller::holdResultFiles() {
    if (resultFilesHeld_) return;
    auto holdBoth = [this] {
        std::string reason; // a refusal is reported by the run, which meets it again
        const HoldResult report = openFiles_.hold(etat_.CheminRes1, reason);
        const HoldResult table = openFiles_.hold(etat_.CheminRes2, reason);
        if (report == HoldResult::HeldByOther || table == HoldResult::HeldByOther)
            return HoldResult::HeldByOther;
        return report == HoldResult::Held && table == HoldResult::Held ? HoldResult::Held
                                                                       : HoldResult::Refused;
    };
    HoldResult held = holdBoth();
    if (held == HoldResult::HeldByOther) {
        openFiles_.releaseAll();
        const std::string instance = "-" + processTag();
        etat_.CheminRes1 = CheminResultat1(dossierTemp_, instance);
        etat_.CheminRes2 = CheminResultat2(dossierTemp_, instance);
        held = holdBoth();
    }
    resultFilesHeld_ = held == HoldResult::Held;
}

void Form1Controller::planFormatage_Click() {
    plan::PlanWindowModel model(etat_.Tally, scannedVolumeBytes_,
                                static_cast<std::uint32_t>(std::max(etat_.TailleCluster, 0)),
                                services_.chars);
    model.setUnreadableFolders(unreadableFolders_);
    view_.showPlan(std::move(model));
}

void Form1Controller::gatherBalance(const std::string& folder, const std::string& drive) {
    view_.setBalanceEnabled(false, plan::kBalanceNeedsScan);
    view_.closeBalance();
    balanceSheet_.reset();
    balanceFolder_ = folder;
    balanceDrive_ = drive;
    // Only a volume read directly has its chains to follow; a host's mount hides them.
    balanceRefused_ =
        services_.images && services_.images->holds(folder)
            ? services_.images->gatherBalance(folder)
            : drive + " n'est pas lu directement ; ouvrez son image disque ou son périphérique "
                      "par « Fichier > Ouvrir une image disque… »";
}

void Form1Controller::offerBalance(RunEnd walkEnd) {
    std::optional<fat::BalanceFacts> facts;
    // The FAT is read for a walk that went through, not for one stopped half-way.
    if (balanceRefused_.empty() && walkEnd == RunEnd::Completed)
        facts = services_.images->balance(balanceFolder_);
    const std::string refusal =
        plan::balanceRefusal({balanceRefused_, walkEnd, facts ? &*facts : nullptr});
    if (!refusal.empty()) {
        view_.setBalanceEnabled(false, refusal);
        return;
    }
    balanceSheet_ = plan::makeBalanceSheet(*facts);
    view_.setBalanceEnabled(true, "Chaque cluster de " + balanceDrive_ +
                                      " compté, jusqu'à la taille du volume");
}

void Form1Controller::bilanVolume_Click() {
    if (balanceSheet_)
        view_.showBalance(plan::BalanceWindowModel(*balanceSheet_, balanceDrive_, services_.chars));
}

void Form1Controller::printPlan(const std::vector<std::string>& lines) {
    printThrough("~qkplan", lines);
}

void Form1Controller::printBalance(const std::vector<std::string>& lines) {
    printThrough("~qkbilan", lines);
}

void Form1Controller::printThrough(const std::string& stem, const std::vector<std::string>& lines) {
    const std::string path = dossierTemp_ + kSeparator + stem + ".tmp";
    std::string error;
    std::unique_ptr<LineSink> sink = services_.files.create(path, error);
    bool written = sink != nullptr;
    for (std::size_t i = 0; written && i < lines.size(); ++i)
        written = sink->writeLine(lines[i]);
    if (sink && (!sink->close() || !sink->commit())) written = false;
    if (!written) {
        view_.messageBox("Impossible d'écrire " + path + " : " + (sink ? sink->error() : error),
                         "Impression", MessageIcon::Exclamation);
        return;
    }
    kesp::ImprimerMisEnPage(path, dossierTemp_ + kSeparator + stem + "pdf.tmp", outputServices_);
}

void Form1Controller::OuvrirImage_Click() {
    OpenDialogRequest request;
    request.title = "Ouvrir une image disque";
    request.initialFolder = dialogFolders_.imageFolder();
    request.filters = {{"Images disque", "*.img *.ima *.bin *.raw *.vhd *.hdd *.dd"},
                       {"Tous les fichiers", "*"}};
    if (const auto chosen = services_.dialogs.openFile(request)) openImages({*chosen});
}

void Form1Controller::Enregistrer_Click() {
    const auto written = kesp::Enregistrer_Click(dialogFolders_.saveFolder(), etat_.CheminRes1,
                                                 etat_.CheminRes2, outputServices_);
    if (!written) return;
    dialogFolders_.saved(written->rapport);
    view_.appendList3(MessageEnregistrement(*written));
}

void Form1Controller::Imprimer_Click() {
    kesp::Imprimer_Click(etat_.CheminRes1, outputServices_);
}

void Form1Controller::optimiser_Click() {
    view_.showOpti(ConstruireTableOpti(etat_), TitreOpti(titreApplication_, etat_));
}

void Form1Controller::aide_Click() {
    kesp::aide_Click(cheminAide_, outputServices_);
}

void Form1Controller::Apropo_Click() {
    view_.showAbout();
}

void Form1Controller::FinProgramme() {
    // A run still writing its result files may be further up the stack: close them first.
    openFiles_.closeAll();
    // Our own names are let go first, or the clean-up would take them for another instance's.
    openFiles_.releaseAll();
    SupprimerFichiersTemporaires(dossierTemp_);
    if (services_.exitProcess)
        services_.exitProcess(0);
    else
        std::_Exit(0);
}

} // namespace kesp
