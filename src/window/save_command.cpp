#include <optional>

#include "os/folder_enum.h"
#include "os/staged_copy.h"
#include "window/commands.h"
#include "window/companion_name.h"

namespace kesp {
namespace {

void reportFailure(const CopyError& error, MessageBoxes& boxes) {
    const std::string what = error.reading ? "n'a pas pu être lu" : "n'a pas pu être enregistré";
    boxes.show("Le fichier " + error.file + " " + what + ".\r\n" + error.reason,
               "Enregistrer sous ...", MessageIcon::Critical);
}

} // namespace

std::optional<FichiersEnregistres> Enregistrer_Click(const std::string& dossierDepart,
                                                     const std::string& cheminRes1,
                                                     const std::string& cheminRes2,
                                                     OutputServices& services) {
    SaveDialogRequest request;
    request.title = "Enregistrer sous ...";
    request.fileName =
        dossierDepart +
        (dossierDepart.empty() || dossierDepart.back() == kSeparator ? ""
                                                                     : std::string(1, kSeparator)) +
        "kesp.txt";
    request.initialFolder = dossierDepart;
    request.defaultExtension = "txt";
    request.filters = {{"Fichiers texte", "*.txt"}, {"Tous les fichiers", "*"}};
    const std::optional<std::string> chemin = services.dialogs.saveFile(request);
    if (!chemin) return std::nullopt;

    // Both copies are complete before either is put in place: a failure leaves the old files,
    // and choosing one of the result files itself as the name cannot feed the other copy.
    const std::string compagnon = NomCompagnon(*chemin);
    CopyError error;
    std::optional<StagedCopy> rapport = StagedCopy::stage(cheminRes1, *chemin, error);
    if (!rapport) {
        reportFailure(error, services.boxes);
        return std::nullopt;
    }
    std::optional<StagedCopy> tableau = StagedCopy::stage(cheminRes2, compagnon, error);
    if (!tableau || !rapport->commit(error) || !tableau->commit(error)) {
        reportFailure(error, services.boxes);
        return std::nullopt;
    }
    return FichiersEnregistres{*chemin, compagnon};
}

std::string MessageEnregistrement(const FichiersEnregistres& fichiers) {
    return "Liste enregistrée : " + fichiers.rapport + " et " + fichiers.tableau;
}

} // namespace kesp
