// Form1's commands: the tool-bar dispatch, the menu items, the slider and the shutdown.
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QSlider>
#include <cstdlib>

#include "about/apropos.h"
#include "mainwindow/form1.h"
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
    else if (key == QLatin1String("Aide"))
        aide_Click();
    else if (key == QLatin1String("propos"))
        Apropo_Click();
}

void Form1::OK_Click() {
    if (okCaption() == kCaptionStart) {
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
    }
    // A press during a run re-enters here from inside pump(); the engine only flags the cancel.
    kesp::OK_Click(etat_, *this, scanServices_);
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
