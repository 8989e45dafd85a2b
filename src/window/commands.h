#pragma once
// Save, print and help: the commands of the tool bar and the menus.
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
    PdfWriter& pdf;
    Printer& printer;
};

// Copies the report to the chosen file and the table beside it under its "excel.txt" name
// (NomCompagnon). Neither copy is put in place unless both were written whole; a failure is
// shown naming the file and the reason. Cancelling the dialog does nothing.
void Enregistrer_Click(const std::string& dossierTemp, const std::string& cheminRes1,
                       const std::string& cheminRes2, OutputServices& services);
// After the print dialog, hands the report to the printer chosen there without waiting, or
// writes it as the PDF the dialog named. The printer's failure (with its own message), or a PDF
// that cannot be written, is shown in a box titled "Impression".
void Imprimer_Click(const std::string& cheminRes1, OutputServices& services);
// Opens the help document with xdg-open, or with the desktop's opener when xdg-open is missing;
// any other failure to start, or xdg-open's own failure within kOpenerWatchMs, shows the
// "Problème ! ..." box.
void aide_Click(const std::string& cheminAide, OutputServices& services);

} // namespace kesp
