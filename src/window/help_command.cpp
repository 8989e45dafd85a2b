#include "window/commands.h"

namespace kesp {

void aide_Click(const std::string& cheminAide, OutputServices& services) {
    OuvrirAvecLeBureau(cheminAide, "Aucune application ne peut ouvrir l'aide.", "Problème ! ...",
                       MessageIcon::None, services.launcher, services.boxes);
}

} // namespace kesp
