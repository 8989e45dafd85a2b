// Form1's commands: save, print, optimise, help, about, images, the press of OK and the shutdown.
#include <cstdlib>

#include "mainwindow/program_paths.h"
#include "output/companion_name.h"
#include "platform/private_folder.h"
#include "platform/temp_cleanup.h"
#include "platform/win32gui/wide_text.h"
#include "scan/result_lines.h"
#include "scan/scan_run.h"
#include "win32ui/about_window.h"
#include "win32ui/form1_win32.h"
#include "win32ui/opti_window_win32.h"

namespace kesp {

void Win32Form1::OK_Click() {
    const bool starting = okCaption() == kCaptionStart;
    if (starting) {
        // A drive gone since it was chosen goes through the drive change, which refuses it.
        const auto root = services_.volumes.rootPath(driveText());
        if (!root || services_.volumes.readiness(*root) != 0) {
            if (etat_.LecteurPrecedent == driveText()) etat_.LecteurPrecedent.clear();
            Drive1_Change();
            return;
        }
        etat_.TailleDisqueMo = services_.volumes.totalMegabytes(*root);
        holdResultFiles();
    }
    // A press during a run re-enters here from inside pump(); the engine only flags the cancel.
    const RunOutcome outcome = kesp::OK_Click(etat_, *this, scanServices_);
    if (outcome.end == RunEnd::FilesFailed) {
        // Whatever stands under the result files' names is not this run's.
        setToolButtonEnabled(1, false);
        setMenuEnabled(MenuItem::Enregistrer, false);
        setToolButtonEnabled(2, false);
        setMenuEnabled(MenuItem::Imprimer, false);
    }
}

void Win32Form1::holdResultFiles() {
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

void Win32Form1::OuvrirImage_Click() {
    if (!services_.images) return;
    OpenDialogRequest request;
    request.title = "Ouvrir une image disque";
    request.filters = {{"Images disque", "*.img *.ima *.bin *.raw *.vhd *.hdd *.dd"},
                       {"Tous les fichiers", "*"}};
    if (const auto chosen = services_.dialogs.openFile(request)) openImages({*chosen});
}

void Win32Form1::Enregistrer_Click() {
    SaveDialogRequest request;
    request.title = "Enregistrer sous ...";
    request.fileName = dossierTemp_ + "\\kesp.txt";
    request.initialFolder = dossierTemp_;
    request.defaultExtension = "txt";
    request.filters = {{"Fichiers texte", "*.txt"}, {"Tous les fichiers", "*"}};
    const std::optional<std::string> chemin = services_.dialogs.saveFile(request);
    if (!chemin) return;
    const std::pair<std::string, std::string> copies[] = {
        {etat_.CheminRes1, *chemin}, {etat_.CheminRes2, NomCompagnon(*chemin)}};
    for (const auto& [from, to] : copies) {
        if (CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE)) continue;
        services_.boxes.show("Le fichier " + to + " n'a pas pu être enregistré.",
                             "Enregistrer sous ...", MessageIcon::Critical);
        return;
    }
}

void Win32Form1::Imprimer_Click() {
    printReport_(etat_.CheminRes1);
}

void Win32Form1::optimiser_Click() {
    if (!opti_) opti_ = std::make_unique<OptiWindow>(GetModuleHandleW(nullptr), etat_);
    opti_->show();
}

void Win32Form1::aide_Click() {
    if (services_.launcher.openWithDesktop(cheminAide_)) return;
    services_.boxes.show("\"" + cheminAide_ +
                             "\"\r\nErreur : " + std::to_string(kErrorFileNotFound),
                         "Problème ! ...", MessageIcon::None);
}

void Win32Form1::Apropo_Click() {
    if (!about_)
        about_ = std::make_unique<AboutWindow>(GetModuleHandleW(nullptr), services_.environment,
                                               services_.launcher, services_.boxes);
    about_->showModal(hwnd_);
}

void Win32Form1::FinProgramme() {
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
