#include <gtest/gtest.h>

#include "window/apropos_logic.h"

namespace kesp {
namespace {

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(AproposDate, GoesThroughTheMonthTable) {
    const char* noms[] = {"Janvier", "Février", "Mars",      "Avril",   "Mai",      "Juin",
                          "Juillet", "Août",    "Septembre", "Octobre", "Novembre", "Décembre"};
    for (int mois = 1; mois <= 12; ++mois)
        EXPECT_EQ(LibelleDate(at(2005, mois, mois + 19, 22, 6, 17)),
                  std::to_string(mois + 19) + " " + noms[mois - 1] + " 2005 22:06:17");
    EXPECT_EQ(LibelleDate(at(2005, 8, 1, 0, 15, 2)), "1 Août 2005 00:15:02");
    // Exactly midnight still shows a time.
    EXPECT_EQ(LibelleDate(at(2026, 1, 10, 0, 0, 0)), "10 Janvier 2026 00:00:00");
}

TEST(AproposTexts, VersionMailAndCreditLine) {
    EXPECT_EQ(LibelleVersion(2, 0, 5), "Version 2.0.5");
    EXPECT_EQ(LibelleVersion(10, 11, 120), "Version 10.11.120");
    EXPECT_EQ(AdresseMail(), "mailto:kesp@example.org?subject=Kesp 2005");
    EXPECT_EQ(kTexteDefile.front(), ' ');
    EXPECT_NE(kTexteDefile[1], ' ');
    EXPECT_EQ(kTexteDefile.substr(kTexteDefile.size() - 3), "   ");
    EXPECT_NE(kTexteDefile[kTexteDefile.size() - 4], ' ');
}

TEST(AproposScroll, TurnsOneCharacterLeftPerTickNeverShowsTheLastAndSkipsZero) {
    const std::u32string texte = U"abcd!";
    std::int16_t position = 0;
    std::vector<std::u32string> vus;
    for (int tick = 0; tick < 5; ++tick) {
        position = PositionSuivante(position, texte.size());
        vus.push_back(TexteAPosition(texte, position));
    }
    EXPECT_EQ(vus, (std::vector<std::u32string>{U"abcd", U"bcda", U"cdab", U"dabc", U"abcd"}));
}

TEST(AproposScroll, APositionKeptFromALongerTextStillWraps) {
    EXPECT_EQ(PositionSuivante(32767, 10), 8);
    EXPECT_EQ(PositionSuivante(9, 10), 1);
    EXPECT_EQ(TexteAPosition(U"", 1), U"");
    EXPECT_EQ(PositionSuivante(5, 0), 1);
}

} // namespace
} // namespace kesp
