#pragma once
// Save, print and help: the commands of the tool bar and the menus.
#include <optional>
#include <string>

#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/pdf_writer.h"

namespace kesp {

// The services outlive every command: lp's refusal is reported to `boxes` after the command
// has returned.
struct OutputServices {
    FileDialogs& dialogs;
    MessageBoxes& boxes;
    ProgramLauncher& launcher;
    PdfWriter& pdf;
};

// The two files a save wrote.
struct FichiersEnregistres {
    std::string rapport;
    std::string tableau; // beside it, under its "excel.txt" name
};

// The dialog opens in `dossierDepart` on "kesp.txt"; copies the report to the chosen file and
// the table beside it under its "excel.txt" name (NomCompagnon). Neither copy is put in place
// unless both were written whole; a failure is shown naming the file and the reason. Cancelling
// the dialog does nothing. The files written, when both were.
std::optional<FichiersEnregistres> Enregistrer_Click(const std::string& dossierDepart,
                                                     const std::string& cheminRes1,
                                                     const std::string& cheminRes2,
                                                     OutputServices& services);
// The line that tells the user where both went.
std::string MessageEnregistrement(const FichiersEnregistres& fichiers);
// After the print dialog, starts "lp -d PRINTER -n COPIES -- cheminRes1" without waiting, or
// writes the report as the PDF the dialog named. A failure to start lp, its refusal (with its own
// message), or a PDF that cannot be written is shown in a box titled "Impression".
void Imprimer_Click(const std::string& cheminRes1, OutputServices& services);
// The same dialog for a text laid out for paper: the PDF writer lays it out once (the page
// turned when its lines need it, pages numbered), into the PDF the dialog named, or into
// `pdfIntermediaire` which lp then prints as it is, so paper and PDF file read alike.
void ImprimerMisEnPage(const std::string& texte, const std::string& pdfIntermediaire,
                       OutputServices& services);
// Hands `cible` (a document's path or an address) to xdg-open, or to the desktop's own opener
// when xdg-open is missing (its failure then goes unreported). When no application takes it
// (xdg-open failing within kOpenerWatchMs, or not starting), shows under `titre` the French
// `phrase`, the target whole, so the user can open it by hand, and the opener's reason.
void OuvrirAvecLeBureau(const std::string& cible, const std::string& phrase,
                        const std::string& titre, MessageIcon icone, ProgramLauncher& launcher,
                        MessageBoxes& boxes);
// That box's text: three lines, the reason being the last line the opener wrote (or its exit
// status when it wrote none).
std::string TexteOuvertureImpossible(const std::string& phrase, const std::string& cible, int code,
                                     const std::string& sortie);

// Opens the help document; "Aucune application ne peut ouvrir l'aide." under "Problème ! ...".
void aide_Click(const std::string& cheminAide, OutputServices& services);

} // namespace kesp
