#include "window/commands.h"

namespace kesp {
namespace {

void showProblem(MessageBoxes& boxes, const std::string& cheminAide, int error,
                 std::string description) {
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r'))
        description.pop_back();
    boxes.show("xdg-open \"" + cheminAide + "\"\r\nErreur : " + std::to_string(error) + "\r\n" +
                   description,
               "Problème ! ...", MessageIcon::None);
}

} // namespace

void aide_Click(const std::string& cheminAide, OutputServices& services) {
    MessageBoxes& boxes = services.boxes;
    const LaunchResult started = services.launcher.startWatched(
        {"xdg-open", cheminAide}, kOpenerWatchMs,
        [&boxes, cheminAide](int exitStatus, const std::string& stderrText) {
            // xdg-open's own refusal ("no method available") is a failure like any other.
            showProblem(boxes, cheminAide, exitStatus, stderrText);
        });
    if (started.error == 0) return;
    if (started.error == kErrorFileNotFound) {
        services.launcher.openWithDesktop(cheminAide);
        return;
    }
    showProblem(boxes, cheminAide, started.error, started.description);
}

} // namespace kesp
