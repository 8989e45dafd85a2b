#pragma once
// The print commands on Windows: the print dialog, then the report, or the format plan, in plain
// text on the printer chosen there, through GDI.
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/message_box.h"

namespace kesp {

void imprimerRapport(const std::string& cheminRes1, FileDialogs& dialogs, MessageBoxes& boxes);
void imprimerPlan(const std::vector<std::string>& lines, FileDialogs& dialogs, MessageBoxes& boxes);

} // namespace kesp
