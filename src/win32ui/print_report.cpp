#include "win32ui/print_report.h"

#include "platform/own_file.h"
#include "platform/win32gui/text_printer.h"

namespace kesp {

void imprimerRapport(const std::string& cheminRes1, FileDialogs& dialogs, MessageBoxes& boxes) {
    const std::optional<PrintChoice> choice = dialogs.printDialog("Impression");
    if (!choice) return;
    if (const std::string refusal = ownFileRefusal(cheminRes1); !refusal.empty()) {
        boxes.show("Le fichier " + cheminRes1 + " n'a pas pu être lu.\r\n" + refusal, "Impression",
                   MessageIcon::Exclamation);
        return;
    }
    const std::string why = printTextFile(cheminRes1, choice->printer, choice->copies);
    if (!why.empty())
        boxes.show("L'impression de " + cheminRes1 + " a échoué.\r\n" + why, "Impression",
                   MessageIcon::Exclamation);
}

void imprimerPlan(const std::vector<std::string>& lines, FileDialogs& dialogs,
                  MessageBoxes& boxes) {
    const std::optional<PrintChoice> choice = dialogs.printDialog("Impression");
    if (!choice) return;
    const std::string why =
        printTextLines(lines, "Plan de formatage", choice->printer, choice->copies);
    if (!why.empty())
        boxes.show("L'impression du plan de formatage a échoué.\r\n" + why, "Impression",
                   MessageIcon::Exclamation);
}

} // namespace kesp
