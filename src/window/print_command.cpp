#include "os/own_file.h"
#include "window/commands.h"

namespace kesp {
namespace {

// The printer and the PDF writer read the file themselves and would follow a link planted under
// its name.
bool readableAsOwn(const std::string& file, MessageBoxes& boxes) {
    const std::string refusal = ownFileRefusal(file);
    if (refusal.empty()) return true;
    boxes.show("Le fichier " + file + " n'a pas pu être lu.\r\n" + refusal, "Impression",
               MessageIcon::Exclamation);
    return false;
}

bool writePdf(const std::string& textFile, const std::string& pdfFile, MessageBoxes& boxes,
              PdfWriter* pdf) {
    const std::string why =
        pdf ? pdf->writeTextAsPdf(textFile, pdfFile)
            : "L'impression dans un fichier PDF n'est pas disponible sur ce système.";
    if (why.empty()) return true;
    boxes.show("L'impression dans le fichier " + pdfFile + " a échoué.\r\n" + why, "Impression",
               MessageIcon::Exclamation);
    return false;
}

// The printer chosen in the dialog, for `file`; its failure in a box, now or later.
void print(const PrintChoice& choice, const std::string& file, OutputServices& services) {
    MessageBoxes& boxes = services.boxes;
    services.printer.print(file, choice, [&boxes](const std::string& message) {
        boxes.show(message, "Impression", MessageIcon::Exclamation);
    });
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
    print(*choice, cheminRes1, services);
}

void ImprimerMisEnPage(const std::string& texte, const std::string& pdfIntermediaire,
                       OutputServices& services) {
    const std::optional<PrintChoice> choice = services.dialogs.printDialog("Impression");
    if (!choice) return;
    if (!readableAsOwn(texte, services.boxes)) return;
    if (!services.pdf && choice->pdfFile.empty()) {
        print(*choice, texte, services);
        return;
    }
    const std::string& pdf = choice->pdfFile.empty() ? pdfIntermediaire : choice->pdfFile;
    if (!writePdf(texte, pdf, services.boxes, services.pdf) || !choice->pdfFile.empty()) return;
    if (readableAsOwn(pdfIntermediaire, services.boxes)) print(*choice, pdfIntermediaire, services);
}

} // namespace kesp
