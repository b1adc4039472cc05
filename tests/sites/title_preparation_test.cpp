#include "sites/title_preparation.h"

#include <gtest/gtest.h>

namespace {

// The sites searched end to end show their typed title's address there; these are the rest.
TEST(TitlePreparationTest, eachSiteGetsTheTitleItWants)
{
    struct Case
    {
        const char *site;
        const char *typed;
        const char *sent;
    };
    const Case cases[] = {
        {"Affiches Cinéma", "l'été meurtrier", "ete meurtrier"},
        {"Affiches Cinéma", "le la un film", "film"},
        {"Affiches Cinéma", "the the end", "end"},
        {"Affiches Cinéma", "les the x", "x"},
        {"Affiches Cinéma", "des la x", "la x"},
        {"AlloCiné", "le parrain 2", "le%20parrain%202"},
        {"AlloCiné", "amélie", "amélie"},
        {"Cinefil", "l'homme-araignée", "homme%20araignee"},
        {"Cinefil", "la vie-en rose", "la%20vie%20en%20rose"},
        {"CinEmotions", "l'été meurtrier", "l-ete-meurtrier"},
        {"CineMovies", "l'été meurtrier", "ete+meurtrier"},
        {"CineMovies", "L'été", "L'ete"},
        {"HD Covers", "l'arme-fatale 2", "l+arme+fatale+2"},
        {"Vintage Movie Poster", "Été", "Éte"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(prepareTitle(QString::fromUtf8(c.site), QString::fromUtf8(c.typed)), QString::fromUtf8(c.sent))
            << c.site << ": " << c.typed;
    }
}

} // namespace
