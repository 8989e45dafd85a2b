#pragma once
// Save, print and help: the commands of the tool bar and the menus.
#include <optional>
#include <string>

#include "os/dialogs.h"
#include "os/launcher.h"
#include "os/message_box.h"
#include "os/pdf_writer.h"
#include "os/printer.h"

namespace kesp {

// The services outlive every command: a printer's refusal is reported to `boxes` after the
// command has returned.
struct OutputServices {
    FileDialogs& dialogs;
    MessageBoxes& boxes;
    ProgramLauncher& launcher;
    // Null where the system has none (Windows): its print dialog never names a file, and its
    // printer lays a text out in pages itself.
    PdfWriter* pdf;
    Printer& printer;
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
// After the print dialog, hands the report to the printer chosen there without waiting, or
// writes it as the PDF the dialog named. The printer's failure (with its own message), or a PDF
// that cannot be written, is shown in a box titled "Impression".
void Imprimer_Click(const std::string& cheminRes1, OutputServices& services);
// The same dialog for a text laid out for paper: the PDF writer lays it out once (the page
// turned when its lines need it, pages numbered), into the PDF the dialog named, or into
// `pdfIntermediaire` which the printer then prints as it is, so paper and PDF file read alike.
// Without a PDF writer the printer gets the text itself.
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
