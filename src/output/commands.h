#pragma once
// Save, print and help: the commands of the tool bar and the menus.
#include <string>

#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/message_box.h"

namespace kesp {

struct OutputServices {
    FileDialogs& dialogs;
    MessageBoxes& boxes;
    ProgramLauncher& launcher;
};

// Copies the report to the chosen file and the table beside it under its "excel.txt" name.
void Enregistrer_Click(const std::string& dossierTemp, const std::string& cheminRes1,
                       const std::string& cheminRes2, OutputServices& services);
// Prints the report through lp.
void Imprimer_Click(const std::string& cheminRes1, OutputServices& services);
// Opens the help document in the desktop's viewer.
void aide_Click(const std::string& cheminAide, OutputServices& services);

} // namespace kesp
