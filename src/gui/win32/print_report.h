#pragma once
// The print command on Windows: the print dialog, then the report in plain text on the printer
// chosen there, through GDI.
#include <string>

#include "os/dialogs.h"
#include "os/message_box.h"

namespace kesp {

void imprimerRapport(const std::string& cheminRes1, FileDialogs& dialogs, MessageBoxes& boxes);

} // namespace kesp
