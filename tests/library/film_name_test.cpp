#include "library/film_name.h"

#include <gtest/gtest.h>

namespace {

TEST(FilmNameTest, readsTitleAndYearAsMediaManagersDo)
{
    struct Case
    {
        const char *name;
        const char *title;
        int year;
    };
    const Case cases[] = {
        {"The Matrix (1999)", "The Matrix", 1999},
        {"The.Matrix.1999.1080p.BluRay.x264-GROUP", "The Matrix", 1999},
        {"Matrix, The (1999)", "The Matrix", 1999},
        {"Le Parrain [1972]", "Le Parrain", 1972},
        {"Parrain, Le (1972)", "Le Parrain", 1972},
        {"Homme qui aimait les femmes, L' (1977)", "L'Homme qui aimait les femmes", 1977},
        {"Beautiful Mind, A (2001)", "A Beautiful Mind", 2001},
        {"Alien - Director's Cut (1979)", "Alien", 1979},
        {"Apocalypse Now - Redux (1979)", "Apocalypse Now - Redux", 1979},
        {"Brazil (1985) (Director's Cut)", "Brazil", 1985},
        {"Terminator.2.Judgment.Day.1991.Extended.Cut.1080p", "Terminator 2 Judgment Day", 1991},
        {"Aliens, Special Edition (1986)", "Aliens", 1986},
        {"Gladiator.EXTENDED.2000.1080p.BluRay", "Gladiator", 2000},
        {"1984 (1984)", "1984", 1984},
        {"1917.2019.1080p", "1917", 2019},
        {"1984", "1984", 0},
        {"2012.1080p.BluRay", "2012", 0},
        {"2001.A.Space.Odyssey.1968.REMASTERED.1080p.BluRay.x264", "2001 A Space Odyssey", 1968},
        {"Blade.Runner.2049.2017.2160p.UHD.BluRay.x265-TERMiNAL", "Blade Runner 2049", 2017},
        {"Blade Runner 2049", "Blade Runner 2049", 0},
        {"Avatar.Fire.and.Ash.2026.1080p", "Avatar Fire and Ash", 2026},
        {"Tron.2027.1080p", "Tron 2027", 0},
        {"Cinderella 1899", "Cinderella 1899", 0},
        {"Metropolis (1927)", "Metropolis", 1927},
        {"Jaws 1975 Spielberg", "Jaws 1975 Spielberg", 0},
        {"Amelie.2001.FRENCH.720p.BluRay.DTS.x264", "Amelie", 2001},
        {"Inception_2010_720p_BRRip_XviD_AC3", "Inception", 2010},
        {"Mad.Max.Fury.Road.2015.1080p.WEB-DL.DD5.1.H264-FGT", "Mad Max Fury Road", 2015},
        {"Heat.1995.REMASTERED.1080p.BluRay.DTS-HD.MA.5.1.x264", "Heat", 1995},
        {"Dune.Part.Two.2024.2160p.WEB-DL.DDP5.1.Atmos.HDR.H.265-FLUX", "Dune Part Two", 2024},
        {"Casablanca.1942.1080p.BluRay.FLAC.2.0.x264", "Casablanca", 1942},
        {"Toy Story 3 2010 720p BRRip x264 AAC-ETRG", "Toy Story 3", 2010},
        {"Ghost.in.the.Shell.2.0.2008.720p", "Ghost in the Shell 2.0", 2008},
        {"The Dark Knight (2008) [1080p]", "The Dark Knight", 2008},
        {"Oppenheimer (2023) [1080p BluRay]", "Oppenheimer", 2023},
        {"Ocean's Eleven [2001] MULTi VFF 1080p", "Ocean's Eleven", 2001},
        {"Intouchables.2011.TRUEFRENCH.DVDRip.XviD", "Intouchables", 2011},
        {"Amour.2012.DVDRIP.FRENCH-GROUP", "Amour", 2012},
        {"La.Haine.1995.VOSTFR.HDRip", "La Haine", 1995},
        {"Les Misérables (2012)", "Les Misérables", 2012},
        {"Spider-Man (2002)", "Spider-Man", 2002},
        {"Spider-Man", "Spider-Man", 0},
        {"Charlotte's Web (1973)", "Charlotte's Web", 1973},
        {"The.Godfather.Part.II.1974", "The Godfather Part II", 1974},
        {"Apollo 13 (1995)", "Apollo 13", 1995},
        {"  Up   (2009) ", "Up", 2009},
        {"Her", "Her", 0},
        {"The.Matrix.1080p.BluRay.x264-GROUP", "The Matrix", 0},
    };
    for (const Case &c : cases) {
        const FilmName film = readFilmName(QString::fromUtf8(c.name), 2025);
        EXPECT_EQ(film.title, QString::fromUtf8(c.title)) << c.name;
        EXPECT_EQ(film.year, c.year) << c.name;
    }
}

} // namespace
