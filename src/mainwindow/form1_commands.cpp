// Form1's commands: the tool-bar dispatch, the menu items, the slider and the shutdown.
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QSlider>
#include <algorithm>
#include <cstdlib>

#include "about/apropos.h"
#include "mainwindow/form1.h"
#include "window/program_paths.h"
#include "planwindow/plan_window.h"
#include "platform/private_folder.h"
#include "platform/temp_cleanup.h"
#include "scan/result_lines.h"
#include "scan/scan_run.h"
#include "volume/opti_window.h"

namespace kesp {

void Form1::Toolbar1_ButtonClick(const QString& key) {
    // Exact, case-sensitive keys; the separators carry none and do nothing.
    if (key == QLatin1String("Enregistrer"))
        Enregistrer_Click();
    else if (key == QLatin1String("Imprimer"))
        Imprimer_Click();
    else if (key == QLatin1String("Optimiser"))
        optimiser_Click();
    else if (key == QLatin1String("PlanFormatage"))
        planFormatage_Click();
    else if (key == QLatin1String("Aide"))
        aide_Click();
    else if (key == QLatin1String("propos"))
        Apropo_Click();
}

void Form1::OK_Click() {
    const bool starting = okCaption() == kCaptionStart;
    if (starting) {
        // A drive unmounted since it was chosen would scan the folder left at its place, with
        // zeros and no size: it goes through the drive change instead, which refuses it.
        const auto root = services_.volumes.rootPath(driveText());
        if (!root || services_.volumes.readiness(*root) != 0) {
            // Returning to itself would be no return: the start-up drive takes its place.
            if (etat_.LecteurPrecedent == driveText()) etat_.LecteurPrecedent.clear();
            Drive1_Change();
            return;
        }
        // The drive header line carries the volume's size, as kesp-scan writes it.
        etat_.TailleDisqueMo = services_.volumes.totalMegabytes(*root);
        holdResultFiles();
        // The plan shown was made from the previous tree; the next is for this volume's size,
        // whatever drive is chosen meanwhile.
        setPlanEnabled(false);
        scannedVolumeBytes_ = services_.volumes.totalBytes(*root);
        if (plan_) plan_->close();
    }
    // A press during a run re-enters here from inside pump(); the engine only flags the cancel.
    const RunOutcome outcome = kesp::OK_Click(etat_, *this, scanServices_);
    // Once a walk has gone through the whole tree, on any drive: a cancelled one is part of it.
    if (starting && outcome.end == RunEnd::Completed) setPlanEnabled(true);
    if (outcome.end == RunEnd::FilesFailed) {
        // Whatever stands under the result files' names is not this run's: nothing to save or
        // print.
        setToolButtonEnabled(1, false);
        setMenuEnabled(MenuItem::Enregistrer, false);
        setToolButtonEnabled(2, false);
        setMenuEnabled(MenuItem::Imprimer, false);
    }
}

void Form1::setPlanEnabled(bool enabled) {
    planButton_->setEnabled(enabled);
    menuPlan_->setEnabled(enabled);
}

void Form1::planFormatage_Click() {
    if (!plan_) {
        plan::PlanWindowModel model(etat_.Tally, scannedVolumeBytes_,
                                    static_cast<std::uint32_t>(std::max(etat_.TailleCluster, 0)));
        plan_ = new PlanWindow(std::move(model),
                               [this](const std::vector<std::string>& lines) { printPlan(lines); });
        plan_->setAttribute(Qt::WA_DeleteOnClose);
        plan_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    plan_->show();
    plan_->raise();
    plan_->activateWindow();
}

PlanWindow* Form1::planWindow() const {
    return plan_;
}

void Form1::printPlan(const std::vector<std::string>& lines) {
    const std::string path = dossierTemp_ + kSeparator + "~qkplan.tmp";
    std::string error;
    std::unique_ptr<LineSink> sink = services_.files.create(path, error);
    bool written = sink != nullptr;
    for (std::size_t i = 0; written && i < lines.size(); ++i)
        written = sink->writeLine(lines[i]);
    if (sink && (!sink->close() || !sink->commit())) written = false;
    if (!written) {
        services_.boxes.show("Impossible d'écrire " + path + " : " + (sink ? sink->error() : error),
                             "Impression", MessageIcon::Exclamation);
        return;
    }
    kesp::Imprimer_Click(path, outputServices_);
}

void Form1::holdResultFiles() {
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

void Form1::OuvrirImage_Click() {
    OpenDialogRequest request;
    request.title = "Ouvrir une image disque";
    request.filters = {{"Images disque", "*.img *.ima *.bin *.raw *.vhd *.hdd *.dd"},
                       {"Tous les fichiers", "*"}};
    if (const auto chosen = services_.dialogs.openFile(request)) openImages({*chosen});
}

void Form1::Enregistrer_Click() {
    kesp::Enregistrer_Click(dossierTemp_, etat_.CheminRes1, etat_.CheminRes2, outputServices_);
}

void Form1::Imprimer_Click() {
    kesp::Imprimer_Click(etat_.CheminRes1, outputServices_);
}

void Form1::optimiser_Click() {
    if (!opti_) {
        // Without a parent: a window of its own beside Form1, modeless.
        opti_ = new Opti(etat_);
        opti_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    opti_->show();
    opti_->raise();
    opti_->activateWindow();
}

void Form1::aide_Click() {
    kesp::aide_Click(cheminAide_, outputServices_);
}

void Form1::Apropo_Click() {
    if (!apropos_)
        apropos_ =
            std::make_unique<apropos>(services_.environment, services_.launcher, services_.boxes);
    apropos_->exec();
}

void Form1::sldFreq_Change() {
    etat_.PeriodeRafraichissement = sldFreq_->value() * 1000;
}

void Form1::sldFreq_Scroll() {
    const int n = sldFreq_->value();
    label1_->setText(QString::number(n) + QStringLiteral(" seconde") +
                     (n > 1 ? QStringLiteral("s") : QString()));
}

void Form1::FinProgramme() {
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

void Form1::closeEvent(QCloseEvent* event) {
    FinProgramme();
    event->accept();
}

} // namespace kesp
