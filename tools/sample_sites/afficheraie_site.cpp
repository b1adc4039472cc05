// L'Afficheraie: a made-up poster shop written as sites are today (UTF-8,
// double-quoted attributes, relative links). Its search lists posters two to
// a page, each with its thumbnail and a link to the poster's own page, which
// holds the full picture. No built-in site knows it: a site file does.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>
#include <QUrl>

#include <memory>

namespace {

struct Poster
{
    const char *filmId;
    const char *key;   // names its page and its pictures
    const char *label; // UTF-8
};

// Some films have more than one poster, so a search can fill two pages.
constexpr Poster kPosters[] = {
    {"alien", "alien-1979", "Affiche originale 120 × 160"},
    {"amelie", "amelie-2001", "Affiche française 120 × 160"},
    {"ete-meurtrier", "ete-meurtrier-1983", "Affiche française 40 × 60"},
    {"matrix", "matrix-1999", "Affiche française 120 × 160"},
    {"matrix", "matrix-1999-teaser", "Affiche teaser 40 × 60"},
    {"matrix-reloaded", "matrix-reloaded-2003", "Affiche française 120 × 160"},
    {"parrain", "parrain-1972", "Affiche française 60 × 80"},
    {"parrain-2", "parrain-2-1974", "Affiche française 120 × 160"},
    {"star-wars", "guerre-des-etoiles-1977", "Affiche française 120 × 160"},
};

constexpr int kPerPage = 2;

constexpr char kPageHead[] = R"(<!DOCTYPE html>
<html lang="fr">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>%1 – L'Afficheraie</title>
<link rel="stylesheet" href="%2static/afficheraie.css">
</head>
<body>
<header class="entete">
  <a class="logo" href="%2">L'Afficheraie</a>
  <form class="recherche" action="%2recherche" method="get">
    <input type="search" name="q" value="%3" placeholder="Un titre de film">
    <button type="submit">Chercher</button>
  </form>
</header>
<main>
)";

constexpr char kPageFoot[] = R"(</main>
<footer class="pied"><a href="%1mentions">Mentions légales</a> · Affiches d'origine depuis 2009</footer>
</body>
</html>
)";

// `root` leads from the page back to the site's root: "./" or "../".
QString page(const QString &title, const QString &typed, const QString &body, const QString &root = QStringLiteral("./"))
{
    return QString::fromUtf8(kPageHead).arg(title.toHtmlEscaped(), root, typed.toHtmlEscaped()) + body
           + QString::fromUtf8(kPageFoot).arg(root);
}

const Poster *posterByKey(QStringView key)
{
    for (const Poster &poster : kPosters)
        if (key == QLatin1StringView(poster.key))
            return &poster;
    return nullptr;
}

const SampleFilm *filmOf(const Poster &poster)
{
    return SampleFilms::byId(QString::fromLatin1(poster.filmId));
}

// The title as the site shows it: the French one.
QString titleOf(const Poster &poster)
{
    const SampleFilm *film = filmOf(poster);
    return film ? film->frenchTitle : QString::fromLatin1(poster.key);
}

int yearOf(const Poster &poster)
{
    const SampleFilm *film = filmOf(poster);
    return film ? film->year : 0;
}

class AfficheraieSite : public SampleSite
{
public:
    QList<Address> addresses() const override
    {
        return {{QStringLiteral("Hote-afficheraie"), QStringLiteral("/afficheraie")}};
    }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression posterPage(QStringLiteral("^/affiches/([a-z0-9-]+)$"));
        static const QRegularExpression picture(QStringLiteral("^/(vignettes|grandes)/([a-z0-9-]+)\\.jpg$"));

        if (request.path == u"/")
            return html(page(QStringLiteral("Affiches de cinéma"), {},
                             QStringLiteral("<h1>Affiches de cinéma d'origine</h1>\n")),
                        "utf-8");
        if (request.path == u"/recherche")
            return html(searchPage(request.value(QStringLiteral("q")), request.value(QStringLiteral("page")).toInt()),
                        "utf-8");
        if (const auto match = posterPage.match(request.path); match.hasMatch()) {
            const Poster *poster = posterByKey(match.captured(1));
            return poster ? html(posterPageOf(*poster), "utf-8") : notFound();
        }
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            const Poster *poster = posterByKey(match.captured(2));
            if (!poster)
                return notFound();
            const QSize size = match.captured(1) == u"grandes" ? PictureMaker::kPosterSize : PictureMaker::kThumbnailSize;
            return jpeg(PictureMaker::posterJpeg(titleOf(*poster) + u' ' + QLatin1StringView(poster->key), size));
        }
        return notFound();
    }

private:
    // Page `number` (from 1) of the posters whose film matches `typed`.
    static QString searchPage(const QString &typed, int number)
    {
        QList<const Poster *> found;
        for (const Poster &poster : kPosters) {
            const SampleFilm *film = filmOf(poster);
            if (film && SampleFilms::matches(typed, {film->frenchTitle, film->title}))
                found << &poster;
        }
        const int pages = int((found.size() + kPerPage - 1) / kPerPage);
        number = qMax(number, 1);
        if (found.isEmpty() || number > pages)
            return page(QStringLiteral("Recherche"), typed,
                        QStringLiteral("<h1>Aucune affiche pour « %1 »</h1>\n<p>Essayez un autre titre.</p>\n")
                            .arg(typed.toHtmlEscaped()));

        QString body = QStringLiteral("<h1>%1 affiche(s) pour « %2 »</h1>\n<ol class=\"resultats\">\n")
                           .arg(found.size())
                           .arg(typed.toHtmlEscaped());
        for (const Poster *poster : found.mid((number - 1) * kPerPage, kPerPage))
            body += QStringLiteral("  <li class=\"resultat\">\n"
                                   "    <a href=\"affiches/%1\"><img src=\"vignettes/%1.jpg\" alt=\"\" width=\"111\" "
                                   "height=\"172\" loading=\"lazy\"></a>\n"
                                   "    <h2 class=\"titre\">%2</h2>\n"
                                   "    <p class=\"details\"><span class=\"annee\">%3</span> · %4</p>\n"
                                   "  </li>\n")
                        .arg(QLatin1StringView(poster->key), titleOf(*poster).toHtmlEscaped(),
                             QString::number(yearOf(*poster)), QString::fromUtf8(poster->label));
        body += QStringLiteral("</ol>\n<nav class=\"pages\">");
        const QString query = QString::fromLatin1(QUrl::toPercentEncoding(typed));
        if (number > 1)
            body += QStringLiteral("<a rel=\"prev\" href=\"recherche?q=%1&amp;page=%2\">← Précédente</a> ")
                        .arg(query, QString::number(number - 1));
        body += QStringLiteral("Page %1 sur %2").arg(number).arg(pages);
        if (number < pages)
            body += QStringLiteral(" <a rel=\"next\" href=\"recherche?q=%1&amp;page=%2\">Suivante →</a>")
                        .arg(query, QString::number(number + 1));
        return page(QStringLiteral("Recherche"), typed, body + QStringLiteral("</nav>\n"));
    }

    static QString posterPageOf(const Poster &poster)
    {
        const QString title = titleOf(poster).toHtmlEscaped();
        return page(titleOf(poster), {},
                    QStringLiteral("<article class=\"fiche\">\n<h1>%1 <span class=\"annee\">%2</span></h1>\n"
                                   "<figure class=\"affiche\">\n"
                                   "  <img src=\"../grandes/%3.jpg\" alt=\"%1\" width=\"500\" height=\"750\">\n"
                                   "  <figcaption>%4</figcaption>\n</figure>\n"
                                   "<p><a class=\"telecharger\" href=\"../grandes/%3.jpg\" download>Télécharger l'affiche</a></p>\n"
                                   "</article>\n")
                        .arg(title, QString::number(yearOf(poster)), QLatin1StringView(poster.key),
                             QString::fromUtf8(poster.label)),
                    QStringLiteral("../"));
    }
};

} // namespace

std::unique_ptr<SampleSite> makeAfficheraieSite()
{
    return std::make_unique<AfficheraieSite>();
}
