#include "output/commands.h"
#include "platform/own_file.h"

namespace kesp {
namespace {

std::string withoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// lp for `file`, with the printer and the copies of the dialog.
void startLp(const PrintChoice& choice, const std::string& file, OutputServices& services) {
    MessageBoxes& boxes = services.boxes;
    // lp queues the job and exits; its refusal (no printer, no scheduler) arrives later. "--"
    // keeps a temporary folder that starts with "-" from being read as options.
    std::vector<std::string> argv{"lp"};
    if (!choice.printer.empty()) argv.insert(argv.end(), {"-d", choice.printer});
    if (choice.copies > 1) argv.insert(argv.end(), {"-n", std::to_string(choice.copies)});
    argv.insert(argv.end(), {"--", file});
    const LaunchResult started = services.launcher.start(
        argv, [&boxes, file](int exitStatus, const std::string& stderrText) {
            if (exitStatus == 0) return;
            boxes.show("L'impression de " + file + " a été refusée (code de sortie " +
                           std::to_string(exitStatus) + ").\r\n" +
                           withoutTrailingNewlines(stderrText),
                       "Impression", MessageIcon::Exclamation);
        });
    if (started.error == 0) return;
    std::string text = "Impossible de lancer l'impression : lp " + file +
                       "\r\nErreur : " + std::to_string(started.error) + "\r\n" +
                       started.description;
    if (started.error == kErrorFileNotFound)
        text += "\r\nLa commande lp (CUPS) n'est pas installée.";
    boxes.show(text, "Impression", MessageIcon::Exclamation);
}

// lp and the PDF writer read the file themselves and would follow a link planted under its name.
bool readableAsOwn(const std::string& file, MessageBoxes& boxes) {
    const std::string refusal = ownFileRefusal(file);
    if (refusal.empty()) return true;
    boxes.show("Le fichier " + file + " n'a pas pu être lu.\r\n" + refusal, "Impression",
               MessageIcon::Exclamation);
    return false;
}

bool writePdf(const std::string& textFile, const std::string& pdfFile, MessageBoxes& boxes,
              PdfWriter& pdf) {
    const std::string why = pdf.writeTextAsPdf(textFile, pdfFile);
    if (why.empty()) return true;
    boxes.show("L'impression dans le fichier " + pdfFile + " a échoué.\r\n" + why, "Impression",
               MessageIcon::Exclamation);
    return false;
}

} // namespace

void Imprimer_Click(const std::string& cheminRes1, OutputServices& services) {
    const std::optional<PrintChoice> choice = services.dialogs.printDialog("Impression");
    if (!choice) return;
    if (!readableAsOwn(cheminRes1, services.boxes)) return;
    if (!choice->pdfFile.empty()) {
        writePdf(cheminRes1, choice->pdfFile, services.boxes, services.pdf);
        return;
    }
    startLp(*choice, cheminRes1, services);
}

void ImprimerMisEnPage(const std::string& texte, const std::string& pdfIntermediaire,
                       OutputServices& services) {
    const std::optional<PrintChoice> choice = services.dialogs.printDialog("Impression");
    if (!choice) return;
    if (!readableAsOwn(texte, services.boxes)) return;
    const std::string& pdf = choice->pdfFile.empty() ? pdfIntermediaire : choice->pdfFile;
    if (!writePdf(texte, pdf, services.boxes, services.pdf) || !choice->pdfFile.empty()) return;
    if (readableAsOwn(pdfIntermediaire, services.boxes))
        startLp(*choice, pdfIntermediaire, services);
}

} // namespace kesp
