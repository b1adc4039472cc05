// Affiches Cinéma: no search, only an index page per first letter listing
// every film as a link to its page, which shows the poster.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

struct Film
{
    int id;
    const char *filmId; // empty for films that only this site lists
    const char *title;  // UTF-8, as the site files it: the article last
    int year;
};

constexpr Film kFilms[] = {
    {1001, "alien", "Alien, le huitième passager", 1979},
    {1010, "ete-meurtrier", "Été meurtrier (L')", 1983},
    {1011, "", "Été en pente douce (L')", 1987},
    {1102, "amelie", "Fabuleux destin d'Amélie Poulain (Le)", 2001},
    {1240, "star-wars", "Guerre des étoiles (La)", 1977},
    {1490, "", "Mad Max", 1979},
    {1532, "matrix", "Matrix", 1999},
    {1533, "matrix-reloaded", "Matrix Reloaded", 2003},
    {1561, "", "Mépris (Le)", 1963},
    {1620, "parrain", "Parrain (Le)", 1972},
    {1621, "parrain-2", "Parrain, 2e partie (Le)", 1974},
};

constexpr char kPageHead[] = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>Affiches Cin&eacute;ma - %1</title>
<link rel="stylesheet" type="text/css" href="style.css">
</head>
<body bgcolor="#FFFFFF">
)";

constexpr char kPageFoot[] = R"(<p class="pied">Affiches Cin&eacute;ma &copy; 2004 - Toutes les affiches de films, class&eacute;es par ordre alphab&eacute;tique</p>
</body>
</html>
)";

QString page(const QString &title, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title) + body + QString::fromLatin1(kPageFoot);
}

QString titleOf(const Film &film)
{
    return QString::fromUtf8(film.title);
}

// The index letter of a text: its first character without case or accent.
QString letterOf(const QString &text)
{
    const QString first = text.left(1).normalized(QString::NormalizationForm_D).left(1);
    return first.toLower();
}

QString letterBar()
{
    QString bar = QStringLiteral("<div class=\"lettres\">");
    for (char c = 'a'; c <= 'z'; ++c)
        bar += QStringLiteral("<a href=\"page.php?lettre=%1\">%2</a> ").arg(QChar(c)).arg(QChar(c).toUpper());
    return bar + QStringLiteral("</div>\n");
}

const Film *filmById(int id)
{
    for (const Film &film : kFilms)
        if (film.id == id)
            return &film;
    return nullptr;
}

QString picturePath(const Film &film)
{
    return QStringLiteral("affiches/%1/%2.jpg").arg(letterOf(titleOf(film))).arg(film.id);
}

QString posterSeed(const Film &film)
{
    const SampleFilm *sample = SampleFilms::byId(QString::fromLatin1(film.filmId));
    return sample ? SampleFilms::pictureSeed(*sample) : titleOf(film);
}

class AffichesCinemaSite : public SampleSite
{
public:
    QList<Address> addresses() const override
    {
        return {{QStringLiteral("Hote-AffichesCinema"), QStringLiteral("/affichescinema")}};
    }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression picture(QStringLiteral("^/affiches/([a-z])/(\\d+)\\.jpg$"));

        if (request.path == u"/" || request.path == u"/index.php")
            return html(page(QStringLiteral("Accueil"),
                             letterBar() + QStringLiteral("<h1>Les affiches de cin&eacute;ma de A &agrave; Z</h1>\n")));
        if (request.path == u"/page.php")
            return html(indexPage(letterOf(request.value(QStringLiteral("lettre")))));
        if (request.path == u"/affiche.php") {
            const Film *film = filmById(request.value(QStringLiteral("id")).toInt());
            return film ? html(filmPage(*film)) : notFound();
        }
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            const Film *film = filmById(match.captured(2).toInt());
            if (!film || picturePath(*film) != request.path.mid(1))
                return notFound();
            return jpeg(PictureMaker::posterJpeg(posterSeed(*film), PictureMaker::kPosterSize));
        }
        return notFound();
    }

private:
    static QString indexPage(const QString &letter)
    {
        QString rows;
        for (const Film &film : kFilms) {
            if (letter.isEmpty() || letterOf(titleOf(film)) != letter)
                continue;
            rows += QStringLiteral("<tr><td class=\"titre\"><a href=\"affiche.php?id=%1\" target=\"film\">%2</a></td>"
                                   "<td class=\"annee\">%3</td></tr>\n")
                        .arg(film.id)
                        .arg(titleOf(film).toHtmlEscaped())
                        .arg(film.year);
        }
        if (rows.isEmpty())
            rows = QStringLiteral("<tr><td class=\"titre\">Aucune affiche pour cette lettre.</td></tr>\n");
        const QString shown = letter.toUpper();
        return page(QStringLiteral("Films en ") + shown,
                    letterBar() + QStringLiteral("<h1>Les affiches des films commen&ccedil;ant par la lettre %1</h1>\n").arg(shown)
                        + QStringLiteral("<table class=\"liste\" width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"2\">\n")
                        + rows + QStringLiteral("</table>\n"));
    }

    // The poster is the page's first picture.
    static QString filmPage(const Film &film)
    {
        const QString title = titleOf(film).toHtmlEscaped();
        return page(title, QStringLiteral("<table width=\"100%\" border=\"0\"><tr>\n"
                                          "<td width=\"320\" valign=\"top\"><img src=\"%1\" width=\"300\" height=\"400\" border=\"1\" alt=\"%2\"></td>\n"
                                          "<td valign=\"top\">\n<h2>%2</h2>\n<p>Ann&eacute;e : %3<br>\nPays : France</p>\n"
                                          "<p><a href=\"javascript:history.back()\">Retour &agrave; la liste</a></p>\n</td>\n</tr></table>\n")
                               .arg(picturePath(film), title)
                               .arg(film.year));
    }
};

} // namespace

std::unique_ptr<SampleSite> makeAffichesCinemaSite()
{
    return std::make_unique<AffichesCinemaSite>();
}
