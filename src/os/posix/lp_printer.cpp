#include "os/posix/lp_printer.h"

#include "os/error_codes.h"

namespace kesp {
namespace {

std::string withoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

void LpPrinter::print(const std::string& textFile, const PrintChoice& choice,
                      std::function<void(const std::string& message)> failed) {
    // "--" keeps a temporary folder that starts with "-" from being read as options.
    std::vector<std::string> argv{"lp"};
    if (!choice.printer.empty()) argv.insert(argv.end(), {"-d", choice.printer});
    if (choice.copies > 1) argv.insert(argv.end(), {"-n", std::to_string(choice.copies)});
    argv.insert(argv.end(), {"--", textFile});
    const LaunchResult started =
        launcher_.start(argv, [failed, textFile](int exitStatus, const std::string& stderrText) {
            if (exitStatus == 0) return;
            failed("L'impression de " + textFile + " a été refusée (code de sortie " +
                   std::to_string(exitStatus) + ").\r\n" + withoutTrailingNewlines(stderrText));
        });
    if (started.error == 0) return;
    std::string text = "Impossible de lancer l'impression : lp " + textFile +
                       "\r\nErreur : " + std::to_string(started.error) + "\r\n" +
                       started.description;
    if (started.error == kErrorFileNotFound)
        text += "\r\nLa commande lp (CUPS) n'est pas installée.";
    failed(text);
}

} // namespace kesp
