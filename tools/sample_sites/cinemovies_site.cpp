// CineMovies: a search page listing films, poster pages of four posters each
// ("num" is the rank of the first), small posters named "P_" and full ones "G_".

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kPostersPerPage = 4;

struct Film
{
    const char *filmId;
    int number;                        // "idFilm"
    const char *title;                 // UTF-8, as the site shows it
    const char *people;                // the line under the title
    std::vector<const char *> captions; // one per poster, UTF-8
};

const std::vector<Film> &films()
{
    static const std::vector<Film> table = {
        {"alien", 1102, "Alien, le huitième passager", "de Ridley Scott<br>avec Sigourney Weaver, Tom Skerritt",
         {"Affiche française", "Affiche américaine"}},
        {"amelie", 2187, "Le Fabuleux destin d'Amélie Poulain", "de Jean-Pierre Jeunet<br>avec Audrey Tautou, Mathieu Kassovitz",
         {"Affiche française", "Affiche teaser", "Affiche japonaise", "Affiche allemande", "Affiche italienne"}},
        {"ete-meurtrier", 1733, "L'Été meurtrier", "de Jean Becker<br>avec Isabelle Adjani, Alain Souchon",
         {"Affiche française"}},
        {"matrix", 1245, "Matrix", "de Andy Wachowski, Larry Wachowski<br>avec Keanu Reeves, Laurence Fishburne",
         {"Affiche française", "Affiche américaine", "Affiche teaser"}},
        {"matrix-reloaded", 2210, "Matrix Reloaded", "de Andy Wachowski, Larry Wachowski<br>avec Keanu Reeves, Carrie-Anne Moss",
         {"Affiche française", "Affiche américaine", "Affiche teaser", "Affiche japonaise", "Affiche allemande"}},
        {"parrain", 1021, "Le Parrain", "de Francis Ford Coppola<br>avec Marlon Brando, Al Pacino",
         {"Affiche française", "Affiche américaine", "Affiche ressortie 1997"}},
        {"parrain-2", 1022, "Le Parrain, 2e partie", "de Francis Ford Coppola<br>avec Al Pacino, Robert De Niro",
         {"Affiche française", "Affiche américaine"}},
        {"star-wars", 1077, "La Guerre des étoiles", "de George Lucas<br>avec Mark Hamill, Harrison Ford",
         {"Affiche française", "Affiche américaine", "Affiche ressortie 1997", "Affiche japonaise"}},
    };
    return table;
}

constexpr char kPageHead[] = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>CineMovies - %1</title>
<link href="style.css" rel="stylesheet" type="text/css">
</head>
<body bgcolor="#FFFFFF">
<table width="780" border="0" cellspacing="0" cellpadding="0" align="center">
<tr><td><a href="index.php"><img src="images/logo_cinemovies.gif" alt="CineMovies" width="250" height="70" border="0"></a></td></tr>
</table>
<table width="780" border="0" cellspacing="0" cellpadding="3" align="center" class="menu">
<tr><td><a href="index.php">Accueil</a></td><td><a href="sorties.php">Sorties de la semaine</a></td>
<td><a href="affiches.php">Affiches</a></td><td><a href="contact.php">Contact</a></td></tr>
</table>
)";

constexpr char kPageFoot[] = R"(<p align="center" class="petit">CineMovies &copy; 2002-2006 - Toutes les affiches sont la propri&eacute;t&eacute; de leurs ayants droit</p>
</body>
</html>
)";

QString page(const QString &title, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title.toHtmlEscaped()) + body + QString::fromLatin1(kPageFoot);
}

const SampleFilm *sampleOf(const Film &film)
{
    return SampleFilms::byId(QString::fromLatin1(film.filmId));
}

int yearOf(const Film &film)
{
    const SampleFilm *sample = sampleOf(film);
    return sample ? sample->year : 0;
}

const Film *filmByNumber(int number)
{
    for (const Film &film : films())
        if (film.number == number)
            return &film;
    return nullptr;
}

// Poster k of a film has the number film * 10 + k + 1.
int posterNumber(const Film &film, int k)
{
    return film.number * 10 + k + 1;
}

QString posterSeed(const Film &film, int k)
{
    const SampleFilm *sample = sampleOf(film);
    const QString title = sample ? SampleFilms::pictureSeed(*sample) : QString::fromUtf8(film.title);
    return k == 0 ? title : title + QStringLiteral(" - ") + QString::fromUtf8(film.captions[size_t(k)]);
}

class CineMoviesSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-CineMovies"), QStringLiteral("/cinemovies")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression search(QStringLiteral("^/search-1-(.*)-0\\.html$"));
        static const QRegularExpression picture(QStringLiteral("^/images/data/affiches/(\\d+)/([PG])_(\\d+)\\.jpg$"));

        if (request.path == u"/" || request.path == u"/index.php")
            return html(page(QStringLiteral("Accueil"), QStringLiteral("<h1>Les affiches du cin&eacute;ma</h1>\n")));
        if (const auto match = search.match(request.path); match.hasMatch())
            return html(searchPage(match.captured(1).replace(u'+', u' ')));
        if (request.path == u"/fiche_affiches.php")
            return html(posterPage(request.value(QStringLiteral("IDfilm")).toInt(), request.value(QStringLiteral("num")).toInt()));
        if (const auto match = picture.match(request.path); match.hasMatch())
            return pictureReply(match.captured(1).toInt(), match.captured(2) == u"G", match.captured(3).toInt());
        return notFound();
    }

private:
    static QString searchPage(const QString &typed)
    {
        QList<const Film *> hits;
        for (const Film &film : films()) {
            QStringList titles{QString::fromUtf8(film.title)};
            if (const SampleFilm *sample = sampleOf(film))
                titles << sample->title << sample->frenchTitle;
            if (SampleFilms::matches(typed, titles))
                hits << &film;
        }

        QString body = QStringLiteral("<h1>R&eacute;sultats de la recherche &laquo;&nbsp;%1&nbsp;&raquo;</h1>\n").arg(typed.toHtmlEscaped());
        if (hits.isEmpty())
            return page(QStringLiteral("Recherche"),
                        body + QStringLiteral("<p class=\"info\">Aucun film ne correspond &agrave; votre recherche.</p>\n"));
        body += QStringLiteral("<p class=\"info\">%1 film(s) trouv&eacute;(s)</p>\n"
                               "<table width=\"780\" border=\"0\" cellspacing=\"4\" cellpadding=\"0\" align=\"center\" class=\"resultats\">\n<tr>\n")
                    .arg(hits.size());
        for (const Film *film : std::as_const(hits)) {
            body += QStringLiteral("<td valign=\"top\" class=\"film\">\n"
                                   "<a href=\"fiche_film.php?idFilm=%1\" class=\"titrefilm\"><b>%2</b></a><br>\n"
                                   "<span class=\"petit\">%3</span>\n"
                                   "<P ALIGN=\"center\"><B>%4</B></P>\n</td>\n")
                        .arg(film->number)
                        .arg(QString::fromUtf8(film->title).toHtmlEscaped(), QString::fromUtf8(film->people))
                        .arg(yearOf(*film));
        }
        body += QStringLiteral("</tr>\n</table>\n");
        return page(QStringLiteral("Recherche"), body);
    }

    static QString posterPage(int number, int num)
    {
        const Film *film = filmByNumber(number);
        const int total = film ? int(film->captions.size()) : 0;
        if (!film || num < 0 || num >= total)
            return page(QStringLiteral("Affiches"), QStringLiteral("<h1>Affiches</h1>\n<p class=\"info\">Aucune affiche pour ce film.</p>\n"));

        const QString title = QString::fromUtf8(film->title).toHtmlEscaped();
        const int last = std::min(total, num + kPostersPerPage);
        QString body = QStringLiteral("<h1><font color=\"#000066\">%1</font></h1>\n"
                                      "<p class=\"nav\">Affiches %2 &agrave; %3 sur %4</p>\n"
                                      "<table class=\"affiches\" border=\"0\" cellspacing=\"6\" cellpadding=\"0\" align=\"center\"><tr>\n")
                           .arg(title)
                           .arg(num + 1)
                           .arg(last)
                           .arg(total);
        for (int k = num; k < last; ++k) {
            const int poster = posterNumber(*film, k);
            body += QStringLiteral("<td align=\"center\" valign=\"top\" width=\"25%\"><a href=\"#\" onclick=\"window.open('popaff.php?IDaffiche=%1','affiche','width=540,height=780,scrollbars=yes'); return false;\">"
                                   "<img src=\"images/data/affiches/%2/P_%1.jpg\" width=\"110\" height=\"150\" border=\"0\" alt=\"%3\"></a><br>\n"
                                   "<font face=\"Verdana, Arial\" size=\"1\" color=\"#990000\">%4</font></td>\n")
                        .arg(poster)
                        .arg(yearOf(*film))
                        .arg(title, QString::fromUtf8(film->captions[size_t(k)]).toHtmlEscaped());
        }
        body += QStringLiteral("</tr></table>\n");
        if (last < total)
            body += QStringLiteral("<p class=\"nav\"><a href=\"fiche_affiches.php?IDfilm=%1&amp;num=%2\">Suivantes &gt;</a></p>\n")
                        .arg(film->number)
                        .arg(last);
        return page(QStringLiteral("Affiches de ") + QString::fromUtf8(film->title), body);
    }

    static FixtureServer::Reply pictureReply(int year, bool full, int poster)
    {
        const Film *film = filmByNumber(poster / 10);
        const int k = poster % 10 - 1;
        if (!film || k < 0 || k >= int(film->captions.size()) || year != yearOf(*film))
            return notFound();
        return jpeg(PictureMaker::posterJpeg(posterSeed(*film, k), full ? PictureMaker::kPosterSize : PictureMaker::kThumbnailSize));
    }
};

} // namespace

std::unique_ptr<SampleSite> makeCineMoviesSite()
{
    return std::make_unique<CineMoviesSite>();
}
