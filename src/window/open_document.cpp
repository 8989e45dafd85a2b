#include "window/commands.h"

namespace kesp {
namespace {

// The last line an opener wrote (xdg-open lists every browser it tried before its reason).
std::string lastLine(const std::string& text) {
    std::size_t end = text.find_last_not_of("\r\n \t");
    if (end == std::string::npos) return {};
    const std::size_t start = text.find_last_of("\r\n", end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end + 1 - (start == std::string::npos ? 0 : start + 1));
}

} // namespace

std::string TexteOuvertureImpossible(const std::string& phrase, const std::string& cible, int code,
                                     const std::string& sortie) {
    std::string raison = lastLine(sortie);
    if (raison.empty()) raison = "xdg-open a échoué (code " + std::to_string(code) + ").";
    return phrase + "\r\n" + cible + "\r\n" + raison;
}

void OuvrirAvecLeBureau(const std::string& cible, const std::string& phrase,
                        const std::string& titre, MessageIcon icone, ProgramLauncher& launcher,
                        MessageBoxes& boxes) {
    const LaunchResult started = launcher.startWatched(
        {"xdg-open", cible}, kOpenerWatchMs,
        [&boxes, cible, phrase, titre, icone](int exitStatus, const std::string& stderrText) {
            // xdg-open's own refusal ("no method available") is a failure like any other.
            boxes.show(TexteOuvertureImpossible(phrase, cible, exitStatus, stderrText), titre,
                       icone);
        });
    if (started.error == 0) return;
    // Without xdg-open the desktop's own opener is tried, and its failure is not reported.
    if (started.error == kErrorFileNotFound) {
        launcher.openWithDesktop(cible);
        return;
    }
    boxes.show(TexteOuvertureImpossible(phrase, cible, started.error, started.description), titre,
               icone);
}

} // namespace kesp
