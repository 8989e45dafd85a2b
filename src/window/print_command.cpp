#include "os/own_file.h"
#include "window/commands.h"

namespace kesp {
namespace {

std::string withoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

void Imprimer_Click(const std::string& cheminRes1, OutputServices& services) {
    const std::optional<PrintChoice> choice = services.dialogs.printDialog("Impression");
    if (!choice) return;
    MessageBoxes& boxes = services.boxes;
    // lp and the PDF writer read the file themselves and would follow a link planted under its
    // name.
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

    // lp queues the job and exits; its refusal (no printer, no scheduler) arrives later. "--"
    // keeps a temporary folder that starts with "-" from being read as options.
    std::vector<std::string> argv{"lp"};
    if (!choice->printer.empty()) argv.insert(argv.end(), {"-d", choice->printer});
    if (choice->copies > 1) argv.insert(argv.end(), {"-n", std::to_string(choice->copies)});
    argv.insert(argv.end(), {"--", cheminRes1});
    const LaunchResult started = services.launcher.start(
        argv, [&boxes, cheminRes1](int exitStatus, const std::string& stderrText) {
            if (exitStatus == 0) return;
            boxes.show("L'impression de " + cheminRes1 + " a été refusée (code de sortie " +
                           std::to_string(exitStatus) + ").\r\n" +
                           withoutTrailingNewlines(stderrText),
                       "Impression", MessageIcon::Exclamation);
        });
    if (started.error == 0) return;
    std::string text = "Impossible de lancer l'impression : lp " + cheminRes1 +
                       "\r\nErreur : " + std::to_string(started.error) + "\r\n" +
                       started.description;
    if (started.error == kErrorFileNotFound)
        text += "\r\nLa commande lp (CUPS) n'est pas installée.";
    boxes.show(text, "Impression", MessageIcon::Exclamation);
}

} // namespace kesp
