#include "output/commands.h"

namespace kesp {

void aide_Click(const std::string& cheminAide, OutputServices& services) {
    const LaunchResult first = openDocument(services.launcher, cheminAide);
    if (first.error == 0) return;
    const std::string commandLine = "xdg-open \"" + cheminAide + "\"";
    services.boxes.show(commandLine + "\r\nErreur : " + std::to_string(first.error) + "\r\n" +
                            first.description,
                        "Problème ! ...", MessageIcon::None);
}

} // namespace kesp
