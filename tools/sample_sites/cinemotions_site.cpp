// CinEmotions: a search page listing films by their status-bar texts, a page
// of poster thumbnails per film, and a page per poster showing it full size.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>
#include <vector>

namespace {

struct Film
{
    const char *filmId;
    int number;
    const char *slug;
    const char *title;    // UTF-8, as the site shows it
    const char *director;
    std::vector<const char *> countries; // one per poster
};

const std::vector<Film> &films()
{
    static const std::vector<Film> table = {
        {"alien", 1180, "alien-le-huitieme-passager", "Alien, le huitième passager", "Ridley Scott", {"France", "Etats-Unis"}},
        {"amelie", 2745, "le-fabuleux-destin-d-amelie-poulain", "Le Fabuleux destin d'Amélie Poulain", "Jean-Pierre Jeunet",
         {"France", "Etats-Unis", "Japon"}},
        {"ete-meurtrier", 2960, "l-ete-meurtrier", "L'Été meurtrier", "Jean Becker", {"France"}},
        {"matrix", 1421, "matrix", "Matrix", "Andy Wachowski", {"France", "Etats-Unis", "Japon"}},
        {"matrix-reloaded", 1987, "matrix-reloaded", "Matrix Reloaded", "Andy Wachowski", {"France", "Etats-Unis"}},
        {"parrain", 1013, "le-parrain", "Le Parrain", "Francis Ford Coppola", {"France", "Etats-Unis", "Italie"}},
        {"parrain-2", 1014, "le-parrain-2e-partie", "Le Parrain, 2e partie", "Francis Ford Coppola", {"France"}},
        {"star-wars", 1077, "la-guerre-des-etoiles", "La Guerre des étoiles", "George Lucas", {"France", "Etats-Unis"}},
    };
    return table;
}

constexpr char kPageHead[] = R"(<HTML>
<HEAD>
<TITLE>CinEmotions : %1</TITLE>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=iso-8859-1">
<LINK REL="stylesheet" HREF="/styles/cinemotions.css" TYPE="text/css">
</HEAD>
<BODY BGCOLOR=#FFFFFF TOPMARGIN=0 LEFTMARGIN=0>
<TABLE WIDTH=770 BORDER=0 CELLPADDING=0 CELLSPACING=0 ALIGN=center>
<TR><TD><A HREF="/"><IMG SRC="/images/logo.gif" WIDTH=220 HEIGHT=60 BORDER=0 ALT="CinEmotions"></A></TD></TR>
</TABLE>
<TABLE WIDTH=770 BORDER=0 CELLPADDING=3 CELLSPACING=0 ALIGN=center CLASS=menu>
<TR><TD><A HREF="/" class=link2>Accueil</A></TD><TD><A HREF="/cinema-tv-dvd/sorties.html" class=link2>Sorties</A></TD>
<TD><A HREF="/forum/" class=link2>Forum</A></TD></TR>
</TABLE>
)";

constexpr char kPageFoot[] = R"(<P ALIGN=center CLASS=petit>CinEmotions &copy; 2000-2006 - Tous droits r&eacute;serv&eacute;s</P>
</BODY>
</HTML>
)";

QString page(const QString &title, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title.toHtmlEscaped()) + body + QString::fromLatin1(kPageFoot);
}

const SampleFilm *sampleOf(const Film &film)
{
    return SampleFilms::byId(QString::fromLatin1(film.filmId));
}

QString titleOf(const Film &film)
{
    return QString::fromUtf8(film.title);
}

// The film's pages live below this path.
QString filmPath(const Film &film)
{
    return QStringLiteral("/film/%1/%2").arg(film.number).arg(QLatin1StringView(film.slug));
}

const Film *filmAt(int number, QStringView slug)
{
    for (const Film &film : films())
        if (film.number == number && slug == QLatin1StringView(film.slug))
            return &film;
    return nullptr;
}

// Poster k of a film has the number film * 10 + k + 1.
const Film *filmOfPoster(int number, int poster, int &k)
{
    for (const Film &film : films()) {
        k = poster - film.number * 10 - 1;
        if (film.number == number && k >= 0 && k < int(film.countries.size()))
            return &film;
    }
    return nullptr;
}

QString posterSeed(const Film &film, int k)
{
    const SampleFilm *sample = sampleOf(film);
    const QString title = sample ? SampleFilms::pictureSeed(*sample) : titleOf(film);
    return k == 0 ? title : title + QStringLiteral(" - ") + QLatin1StringView(film.countries[size_t(k)]);
}

// Titles as the search compares them: apostrophes and hyphens are blanks.
QString searchable(QString title)
{
    return title.replace(u'\'', u' ').replace(u'-', u' ');
}

class CinEmotionsSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-CinEmotions"), QStringLiteral("/cinemotions")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression search(QStringLiteral("^/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/([^/]+)$"));
        static const QRegularExpression filmPage(QStringLiteral("^/film/(\\d+)/([^/]+)/(affiches|affiche-(\\d+))\\.html$"));
        static const QRegularExpression picture(QStringLiteral("^/data/films/(\\d+)/(vignettes|affiches)/(\\d+)\\.jpg$"));

        if (request.path == u"/")
            return html(page(QStringLiteral("Cin\u00e9ma, t\u00e9l\u00e9 et DVD"), QStringLiteral("<H1>CinEmotions</H1>\n")));
        if (const auto match = search.match(request.path); match.hasMatch())
            return html(searchPage(match.captured(1)));
        if (const auto match = filmPage.match(request.path); match.hasMatch()) {
            const Film *film = filmAt(match.captured(1).toInt(), match.captured(2));
            if (!film)
                return notFound();
            if (match.captured(3) == u"affiches")
                return html(postersPage(*film));
            int k = 0;
            return filmOfPoster(film->number, match.captured(4).toInt(), k) ? html(posterPage(*film, k)) : notFound();
        }
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            int k = 0;
            const Film *film = filmOfPoster(match.captured(1).toInt(), match.captured(3).toInt(), k);
            if (!film)
                return notFound();
            const bool full = match.captured(2) == u"affiches";
            return jpeg(PictureMaker::posterJpeg(posterSeed(*film, k), full ? PictureMaker::kPosterSize : PictureMaker::kThumbnailSize));
        }
        return notFound();
    }

private:
    static QString searchPage(const QString &typed)
    {
        QString body = QStringLiteral("<TABLE WIDTH=770 BORDER=0 CELLPADDING=2 CELLSPACING=0 ALIGN=center>\n"
                                      "<TR><TD CLASS=titre2>R&eacute;sultats pour &laquo; %1 &raquo;</TD></TR>\n")
                           .arg(typed.toHtmlEscaped());
        QString rows;
        for (const Film &film : films()) {
            QStringList titles{searchable(titleOf(film))};
            if (const SampleFilm *sample = sampleOf(film))
                titles << searchable(sample->title) << searchable(sample->frenchTitle);
            if (!SampleFilms::matches(searchable(typed), titles))
                continue;
            // The status text is a script string inside the attribute.
            const QString status = titleOf(film).replace(u'\'', QStringLiteral("\\'")).toHtmlEscaped();
            rows += QStringLiteral("<TR><TD><A HREF=\"%1.html\" class=link4 onMouseOver=\"window.status='%2';return true;\" "
                                   "onMouseOut=\"window.status='';return true;\">%3</A> <SPAN CLASS=petit>(%4) de %5</SPAN></TD></TR>\n")
                        .arg(filmPath(film), status, titleOf(film).toHtmlEscaped())
                        .arg(sampleOf(film) ? sampleOf(film)->year : 0)
                        .arg(QString::fromUtf8(film.director));
        }
        if (rows.isEmpty())
            body += QStringLiteral("<TR><TD>Aucun r&eacute;sultat ne correspond &agrave; votre recherche.</TD></TR>\n");
        else
            body += QStringLiteral("<TR><TD CLASS=titre3>Films et s&eacute;ries</TD></TR>\n") + rows;
        return page(QStringLiteral("Recherche - ") + typed, body + QStringLiteral("</TABLE>\n"));
    }

    static QString heading(const Film &film)
    {
        return QStringLiteral("<TABLE WIDTH=770 BORDER=0 CELLPADDING=2 CELLSPACING=0 ALIGN=center>\n"
                              "<TR><TD ROWSPAN=2 WIDTH=100><A HREF=\"%1.html\"><IMG SRC=\"/data/films/%2/photo.jpg\" WIDTH=90 HEIGHT=120 BORDER=0></A></TD>\n"
                              "<TD CLASS=titre2>Affiches de %3</TD></TR>\n")
            .arg(filmPath(film))
            .arg(film.number)
            .arg(titleOf(film).toHtmlEscaped());
    }

    static QString postersPage(const Film &film)
    {
        QString body = heading(film)
                       + QStringLiteral("<TR><TD><A HREF=\"%1.html\" class=link3>Fiche</A> | <B>Affiches</B></TD></TR>\n</TABLE>\n"
                                        "<TABLE BORDER=0 CELLPADDING=4 CELLSPACING=0 ALIGN=center><TR>\n")
                             .arg(filmPath(film));
        for (int k = 0; k < int(film.countries.size()); ++k) {
            const int poster = film.number * 10 + k + 1;
            body += QStringLiteral("<TD ALIGN=center VALIGN=top><A HREF=\"%1/affiche-%2.html\"><IMG SRC=\"/data/films/%3/vignettes/%2.jpg\" border=1></A>"
                                   "<BR><SPAN CLASS=petit>%4</SPAN></TD>\n")
                        .arg(filmPath(film))
                        .arg(poster)
                        .arg(film.number)
                        .arg(QLatin1StringView(film.countries[size_t(k)]));
        }
        return page(titleOf(film) + QStringLiteral(" - affiches"), body + QStringLiteral("</TR></TABLE>\n"));
    }

    static QString posterPage(const Film &film, int k)
    {
        const int poster = film.number * 10 + k + 1;
        const QString body = heading(film)
                             + QStringLiteral("<TR><TD CLASS=petit>Affiche %1</TD></TR>\n</TABLE>\n"
                                              "<P ALIGN=center><IMG SRC=\"/data/films/%2/affiches/%3.jpg\" WIDTH=500 HEIGHT=750 BORDER=0></P>\n"
                                              "<P ALIGN=center><A HREF=\"%4/affiches.html\" class=link3>&lt; Toutes les affiches</A></P>\n")
                                   .arg(QLatin1StringView(film.countries[size_t(k)]))
                                   .arg(film.number)
                                   .arg(poster)
                                   .arg(filmPath(film));
        return page(titleOf(film) + QStringLiteral(" - affiche"), body);
    }
};

} // namespace

std::unique_ptr<SampleSite> makeCinEmotionsSite()
{
    return std::make_unique<CinEmotionsSite>();
}
