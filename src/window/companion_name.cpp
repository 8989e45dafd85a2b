#include "window/companion_name.h"

namespace kesp {

std::string NomCompagnon(const std::string& chemin) {
    const auto debutNom = chemin.find_last_of('/');
    const std::size_t premier = debutNom == std::string::npos ? 0 : debutNom + 1;
    const auto point = chemin.find_last_of('.');
    if (point == std::string::npos || point <= premier) return chemin + "excel.txt";
    return chemin.substr(0, point) + "excel.txt";
}

} // namespace kesp
