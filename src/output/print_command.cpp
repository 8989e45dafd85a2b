#include "output/commands.h"
#include "platform/own_file.h"

namespace kesp {
namespace {

std::string withoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

void Imprimer_Click(const std::string& cheminRes1, OutputServices& services) {
    if (!services.dialogs.printDialog("Impression")) return;

    // lp reads the file itself and would follow a link planted under its name.
    MessageBoxes& boxes = services.boxes;
    if (const std::string refusal = ownFileRefusal(cheminRes1); !refusal.empty()) {
        boxes.show("Le fichier " + cheminRes1 + " n'a pas pu être lu.\r\n" + refusal, "Impression",
                   MessageIcon::Exclamation);
        return;
    }
    // lp queues the job and exits; its refusal (no printer, no scheduler) arrives later. "--"
    // keeps a temporary folder that starts with "-" from being read as options.
    const LaunchResult started = services.launcher.start(
        {"lp", "--", cheminRes1},
        [&boxes, cheminRes1](int exitStatus, const std::string& stderrText) {
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
