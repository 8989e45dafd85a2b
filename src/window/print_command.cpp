#include "os/own_file.h"
#include "window/commands.h"

namespace kesp {

void Imprimer_Click(const std::string& cheminRes1, OutputServices& services) {
    const std::optional<PrintChoice> choice = services.dialogs.printDialog("Impression");
    if (!choice) return;
    MessageBoxes& boxes = services.boxes;
    // The printer and the PDF writer read the file themselves and would follow a link planted
    // under its name.
    if (const std::string refusal = ownFileRefusal(cheminRes1); !refusal.empty()) {
        boxes.show("Le fichier " + cheminRes1 + " n'a pas pu être lu.\r\n" + refusal, "Impression",
                   MessageIcon::Exclamation);
        return;
    }

    if (!choice->pdfFile.empty()) {
        const std::string why = services.pdf.writeTextAsPdf(cheminRes1, choice->pdfFile);
        if (!why.empty())
            boxes.show("L'impression dans le fichier " + choice->pdfFile + " a échoué.\r\n" + why,
                       "Impression", MessageIcon::Exclamation);
        return;
    }
    services.printer.print(cheminRes1, *choice, [&boxes](const std::string& message) {
        boxes.show(message, "Impression", MessageIcon::Exclamation);
    });
}

} // namespace kesp
