// AlloCiné: a search page of film links, a page per film whose poster cell
// shows the thumbnail, a gallery of the film's pictures and a page per picture.
// Pictures live in a folder per film; the folder's size subfolders hold the
// smaller copies, so every copy of a picture starts with the same address.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>

namespace {

struct Film
{
    const char *filmId;
    int number;         // the site's film number
    const char *folder; // the poster's picture folder
    int poster;         // the poster's picture number
    const char *title;  // UTF-8, as the site shows it
    const char *original;
};

constexpr Film kFilms[] = {
    {"alien", 62, "18/35/00/69", 18359574, "Alien, le huitième passager", "Alien"},
    {"amelie", 27063, "18/62/48/25", 18686482, "Le Fabuleux destin d'Amélie Poulain", "Le Fabuleux destin d'Amélie Poulain"},
    {"dune-2021", 133392, "18/87/55/06", 18877316, "Dune", "Dune"},
    {"ete-meurtrier", 3457, "18/65/07/05", 18656312, "L'Été meurtrier", "L'Été meurtrier"},
    {"matrix", 19776, "18/35/13/82", 18361283, "Matrix", "The Matrix"},
    {"matrix-reloaded", 36578, "18/35/14/08", 18370114, "Matrix Reloaded", "The Matrix Reloaded"},
    {"parrain", 1628, "18/35/07/15", 18360241, "Le Parrain", "The Godfather"},
    {"parrain-2", 1629, "18/35/07/16", 18360242, "Le Parrain, 2e partie", "The Godfather: Part II"},
    {"solaris-1972", 2460, "18/36/02/44", 18362716, "Solaris", "Solaris"},
    {"star-wars", 25848, "18/35/30/56", 18363752, "La Guerre des étoiles", "Star Wars"},
};

// Stills of the film, listed in the gallery before the poster, in a folder of their own.
constexpr int kStills = 2;
constexpr int kFirstStill = 19000000;

constexpr char kPageHead[] = R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1" />
<title>%1 - AlloCin&eacute;</title>
<link rel="stylesheet" type="text/css" href="/css/allocine.css" />
</head>
<body>
<div id="header"><a href="/">AlloCin&eacute;</a>
<form action="/recherche/" method="get"><input type="text" name="motcle" /><input type="hidden" name="rub" value="1" /><input type="submit" value="OK" /></form>
</div>
<div id="menu"><a href="/film/">Films</a> | <a href="/seance/">S&eacute;ances</a> | <a href="/video/">Vid&eacute;os</a> | <a href="/star/">Stars</a></div>
<div id="contenu">
)";

constexpr char kPageFoot[] = R"(</div>
<div id="footer">AlloCin&eacute; &copy; 2007 - <a href="/service/mentions.html">Mentions l&eacute;gales</a></div>
</body>
</html>
)";

QString page(const QString &title, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title.toHtmlEscaped()) + body + QString::fromLatin1(kPageFoot);
}

const SampleFilm *filmOf(const Film &film)
{
    return SampleFilms::byId(QString::fromLatin1(film.filmId));
}

const Film *filmByNumber(int number)
{
    for (const Film &film : kFilms)
        if (film.number == number)
            return &film;
    return nullptr;
}

QString titleOf(const Film &film)
{
    return QString::fromUtf8(film.title);
}

QString posterSeed(const Film &film)
{
    const SampleFilm *sample = filmOf(film);
    return sample ? SampleFilms::pictureSeed(*sample) : titleOf(film);
}

// The stills' folder: the poster's with another first level.
QString stillFolder(const Film &film)
{
    return QStringLiteral("19") + QString::fromLatin1(film.folder).mid(2);
}

QString pictureFolder(const QString &base, const QString &folder)
{
    return base + QStringLiteral("/medias/nmedia/") + folder;
}

// The search words in bold, as the site shows them.
QString withTypedInBold(const QString &title, const QString &typed)
{
    const qsizetype at = typed.isEmpty() ? -1 : title.indexOf(typed, 0, Qt::CaseInsensitive);
    if (at < 0)
        return title.toHtmlEscaped();
    return title.left(at).toHtmlEscaped() + QStringLiteral("<b>") + title.mid(at, typed.size()).toHtmlEscaped()
           + QStringLiteral("</b>") + title.mid(at + typed.size()).toHtmlEscaped();
}

class AlloCineSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-AlloCine"), QStringLiteral("/allocine")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression filmPage(QStringLiteral("^/film/fichefilm_gen_cfilm=(\\d+)\\.html$"));
        static const QRegularExpression galleryPage(QStringLiteral("^/film/galerievignette_gen_cfilm=(\\d+)\\.html$"));
        static const QRegularExpression picturePage(
            QStringLiteral("^/film/fichevignette_gen_cfilm=(\\d+)&cmediafichier=(\\d+)\\.html$"));
        static const QRegularExpression picture(
            QStringLiteral("^/medias/nmedia/(\\d\\d/\\d\\d/\\d\\d/\\d\\d)/(?:rsz/([a-z]+)/[0-9a-z]+/)?(\\d+)\\.jpg$"));

        if (request.path == u"/")
            return html(page(QStringLiteral("Cinéma"), QStringLiteral("<h2>Bienvenue sur AlloCin&eacute;</h2>\n")));
        if (request.path == u"/recherche/")
            return html(searchPage(request.value(QStringLiteral("motcle"))));
        if (const auto match = filmPage.match(request.path); match.hasMatch())
            return withFilm(match.captured(1), [&](const Film &film) { return html(filmPageOf(film, request.base)); });
        if (const auto match = galleryPage.match(request.path); match.hasMatch())
            return withFilm(match.captured(1), [&](const Film &film) { return html(galleryOf(film, request.base)); });
        if (const auto match = picturePage.match(request.path); match.hasMatch())
            return withFilm(match.captured(1), [&](const Film &film) {
                return html(picturePageOf(film, match.captured(2).toInt(), request.base));
            });
        if (const auto match = picture.match(request.path); match.hasMatch())
            return pictureReply(match.captured(1), match.captured(2), match.captured(3).toInt());
        return notFound();
    }

private:
    template<typename Make>
    static FixtureServer::Reply withFilm(const QString &number, Make make)
    {
        const Film *film = filmByNumber(number.toInt());
        return film ? make(*film) : notFound();
    }

    static QString searchPage(const QString &typed)
    {
        QString rows;
        int count = 0;
        for (const Film &film : kFilms) {
            QStringList titles{titleOf(film), QString::fromUtf8(film.original)};
            const SampleFilm *sample = filmOf(film);
            if (sample)
                titles << sample->title << sample->frenchTitle;
            if (!SampleFilms::matches(typed, titles))
                continue;
            ++count;
            rows += QStringLiteral("<tr>\n<td valign=\"top\" width=\"70\"><a href=\"/film/fichefilm_gen_cfilm=%1.html\">"
                                   "<img src=\"/commons/vide.gif\" width=\"60\" height=\"80\" border=\"0\" alt=\"\" /></a></td>\n"
                                   "<td valign=\"top\">\n"
                                   "<h4><a href=\"/film/fichefilm_gen_cfilm=%1.html\" class=\"link1\">%2</a>"
                                   "&nbsp;(%3)&nbsp;(%4)</h4>\n"
                                   "<h5>Long-m&eacute;trage</h5>\n</td>\n</tr>\n")
                        .arg(film.number)
                        .arg(withTypedInBold(titleOf(film), typed), QString::fromUtf8(film.original).toHtmlEscaped(),
                             sample ? QString::number(sample->year) : QStringLiteral("????"));
        }
        QString body = QStringLiteral("<h2>R&eacute;sultats de la recherche &laquo;&nbsp;%1&nbsp;&raquo;</h2>\n")
                           .arg(typed.toHtmlEscaped());
        if (count == 0)
            return page(QStringLiteral("Recherche"),
                        body + QStringLiteral("<p class=\"petit\">Aucun film ne correspond &agrave; votre recherche.</p>\n"));
        body += QStringLiteral("<p class=\"petit\">Films : %1 r&eacute;sultat(s)</p>\n"
                               "<table class=\"totalwidth\" cellpadding=\"0\" cellspacing=\"4\" border=\"0\">\n")
                    .arg(count);
        return page(QStringLiteral("Recherche"), body + rows + QStringLiteral("</table>\n"));
    }

    static QString filmPageOf(const Film &film, const QString &base)
    {
        const SampleFilm *sample = filmOf(film);
        return page(titleOf(film),
                    QStringLiteral("<table class=\"totalwidth\" cellpadding=\"0\" cellspacing=\"0\" border=\"0\">\n<tr>\n"
                                   "<td valign=\"top\" style=\"padding:0 0 5 0\" width=\"100%\" align=\"center\">"
                                   "<a href=\"/film/galerievignette_gen_cfilm=%1.html\"><img src=\"%2/rsz/vignettes/120x160px/%3.jpg\" "
                                   "width=\"120\" height=\"160\" border=\"0\" alt=\"\" /></a><br />"
                                   "<a href=\"/film/galerievignette_gen_cfilm=%1.html\" class=\"link5\">Affiches et photos</a></td>\n"
                                   "</tr>\n</table>\n<h1>%4</h1>\n<h4>Titre original : %5</h4>\n<p>Ann&eacute;e de production : %6</p>\n")
                        .arg(film.number)
                        .arg(pictureFolder(base, QString::fromLatin1(film.folder)))
                        .arg(film.poster)
                        .arg(titleOf(film).toHtmlEscaped(), QString::fromUtf8(film.original).toHtmlEscaped(),
                             sample ? QString::number(sample->year) : QString()));
    }

    static QString galleryOf(const Film &film, const QString &base)
    {
        const QString cell = QStringLiteral("<td><a href=\"/film/fichevignette_gen_cfilm=%1&amp;cmediafichier=%2.html\">"
                                            "<img src=\"%3/rsz/galerie/%4/%2.jpg\" border=\"0\" alt=\"%5\" /></a></td>\n");
        QString cells;
        for (int i = 0; i < kStills; ++i)
            cells += cell.arg(film.number)
                         .arg(kFirstStill + i)
                         .arg(pictureFolder(base, stillFolder(film)), QStringLiteral("100x75px"), QStringLiteral("Photo"));
        cells += cell.arg(film.number)
                     .arg(film.poster)
                     .arg(pictureFolder(base, QString::fromLatin1(film.folder)), QStringLiteral("075x100px"),
                          QStringLiteral("Affiche"));
        return page(titleOf(film) + QStringLiteral(" - Affiches et photos"),
                    QStringLiteral("<h2>%1 : affiches et photos</h2>\n<table cellpadding=\"2\" cellspacing=\"2\" border=\"0\">\n<tr>\n")
                            .arg(titleOf(film).toHtmlEscaped())
                        + cells + QStringLiteral("</tr>\n</table>\n"));
    }

    static QString picturePageOf(const Film &film, int number, const QString &base)
    {
        const QString folder = number == film.poster ? QString::fromLatin1(film.folder) : stillFolder(film);
        return page(titleOf(film),
                    QStringLiteral("<p><a href=\"/film/galerievignette_gen_cfilm=%1.html\">&lt;&lt; Retour &agrave; la galerie</a></p>\n"
                                   "<div align=\"center\"><img src=\"%2/%3.jpg\" border=\"0\" alt=\"\" /></div>\n")
                        .arg(film.number)
                        .arg(pictureFolder(base, folder))
                        .arg(number));
    }

    static FixtureServer::Reply pictureReply(const QString &folder, const QString &size, int number)
    {
        for (const Film &film : kFilms) {
            if (folder == QLatin1StringView(film.folder) && number == film.poster)
                return jpeg(PictureMaker::posterJpeg(posterSeed(film), size == u"vignettes" ? PictureMaker::kThumbnailSize
                                                                       : size.isEmpty() ? PictureMaker::kPosterSize
                                                                                        : QSize(75, 100)));
            if (folder == stillFolder(film) && number >= kFirstStill && number < kFirstStill + kStills)
                return jpeg(PictureMaker::jacketJpeg(posterSeed(film) + QString::number(number),
                                                     size.isEmpty() ? PictureMaker::kJacketSize : QSize(100, 75)));
        }
        return notFound();
    }
};

} // namespace

std::unique_ptr<SampleSite> makeAlloCineSite()
{
    return std::make_unique<AlloCineSite>();
}
