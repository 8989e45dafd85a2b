#pragma once
// What the About window shows and how it moves, as plain functions.
#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace kesp {

inline constexpr std::string_view kTitreApplication = "Kesp 2005";
inline constexpr std::string_view kAdresseWeb = "https://kesp.example.org";
inline constexpr std::string_view kAdresseCourriel = "kesp@example.org";
// The leading blank and the three trailing blanks part the end from the start while it scrolls.
inline constexpr std::string_view kTexteDefile =
    " Kesp 2005 mesure l'espace perdu par les clusters des partitions FAT et FAT32 - "
    "kesp.example.org   ";

// Mois[1] to Mois[12], a blank on each side; Mois[0] is unused.
extern const std::array<std::string_view, 13> Mois;

// Day, month name, four-digit year, a blank and hh:mm:ss: "7 Février 2005 22:06:17".
std::string LibelleDate(const std::tm& local);
std::string LibelleVersion(int majeure, int mineure, int revision);
// "mailto:" address "?subject=" title, nothing encoded.
std::string AdresseMail();

// One tick of the scroll: the next position (from 1; never 0) in a text of `longueur`
// characters.
std::int16_t PositionSuivante(std::int16_t position, std::size_t longueur);
// The text as shown from `position` (from 1): the characters from there to the one before the
// last, then those before `position`. The last character is never shown.
std::u32string TexteAPosition(const std::u32string& texte, std::int16_t position);

// One tick of the animation: the next NumImage (0 to 3); the frame shown is NumImage + 1.
int ImageSuivante(int numImage);

} // namespace kesp
