#include "window/apropos_logic.h"

#include <cstdio>

namespace kesp {

const std::array<std::string_view, 13> Mois = {
    "",          " Janvier ", " Février ",   " Mars ",    " Avril ",    " Mai ",     " Juin ",
    " Juillet ", " Août ",    " Septembre ", " Octobre ", " Novembre ", " Décembre "};

std::string LibelleDate(const std::tm& local) {
    const int mois = local.tm_mon + 1;
    char annee[16];
    std::snprintf(annee, sizeof annee, "%04d", local.tm_year + 1900);
    char heure[16];
    std::snprintf(heure, sizeof heure, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    const std::string_view nom = mois >= 1 && mois <= 12 ? Mois[mois] : " ";
    return std::to_string(local.tm_mday) + std::string(nom) + annee + " " + heure;
}

std::string LibelleVersion(int majeure, int mineure, int revision) {
    return "Version " + std::to_string(majeure) + "." + std::to_string(mineure) + "." +
           std::to_string(revision);
}

std::string AdresseMail() {
    return "mailto:" + std::string(kAdresseCourriel) + "?subject=" + std::string(kTitreApplication);
}

std::int16_t PositionSuivante(std::int16_t position, std::size_t longueur) {
    if (longueur == 0) return 1;
    const auto suivante = static_cast<std::int16_t>((position + 1) % static_cast<int>(longueur));
    return suivante == 0 ? std::int16_t{1} : suivante;
}

std::u32string TexteAPosition(const std::u32string& texte, std::int16_t position) {
    const std::size_t longueur = texte.size();
    if (longueur == 0 || position < 1 || static_cast<std::size_t>(position) > longueur) return {};
    const auto debut = static_cast<std::size_t>(position) - 1;
    return texte.substr(debut, longueur - 1 - debut) + texte.substr(0, debut);
}

int ImageSuivante(int numImage) {
    return (numImage + 1) % 4;
}

} // namespace kesp
