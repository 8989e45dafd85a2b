#include "output/commands.h"

namespace kesp {

void aide_Click(const std::string& cheminAide, OutputServices& services) {
    const LaunchResult first = services.launcher.start({"xdg-open", cheminAide});
    if (first.error == 0) return;
    if (first.error == kErrorFileNotFound) {
        // Without xdg-open the desktop may still know a viewer; if not, there is nothing to say.
        services.launcher.openWithDesktop(cheminAide);
        return;
    }
    const std::string commandLine = "xdg-open \"" + cheminAide + "\"";
    services.boxes.show(commandLine + "\r\nErreur : " + std::to_string(first.error) + "\r\n" +
                            first.description,
                        "Problème ! ...", MessageIcon::None);
}

} // namespace kesp
