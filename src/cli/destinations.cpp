#include "cli/destinations.h"

#include <utility>
#include <vector>

#include "os/file_identity.h"

namespace kesp {

std::string refusedDestination(const ScanArguments& arguments, const std::string& scanned,
                               bool image) {
    std::vector<std::pair<const char*, const std::string*>> outputs;
    if (arguments.report) outputs.emplace_back("--report", &*arguments.report);
    if (arguments.table) outputs.emplace_back("--table", &*arguments.table);
    if (arguments.planTable) outputs.emplace_back("--plan-table", &*arguments.planTable);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto& [option, path] = outputs[i];
        for (std::size_t j = i + 1; j < outputs.size(); ++j)
            if (sameOutputFile(*path, *outputs[j].second))
                return std::string(option) + " et " + outputs[j].first +
                       " désignent le même fichier";
        if (image && sameOutputFile(*path, scanned))
            return std::string(option) + " désigne l'image analysée (" + scanned +
                   ") : elle serait remplacée";
        // A file written inside the tree would be part of what is measured, and could replace a
        // file of it.
        if (!image && isWithinFolder(*path, scanned))
            return std::string(option) + " : " + *path +
                   " est dans l'arborescence analysée ; choisissez un fichier ailleurs";
    }
    return {};
}

} // namespace kesp
