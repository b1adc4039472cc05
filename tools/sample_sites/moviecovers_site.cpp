// MovieCovers: a search page listing films as "/film/" links, thumbnails under
// a folder per letter, full posters, and printable PDF jackets made to order.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

struct Cover
{
    const char *filmId;
    const char *key;   // capitals and digits: the program takes the key after the link's "_"
    const char *title; // UTF-8, as the site shows it: capitals, the article last
};

// Two titles start with another letter than their key, as on the real site,
// so the thumbnail folder rule for titles ending with ")" shows.
constexpr Cover kCovers[] = {
    {"alien", "ALIEN", "ALIEN"},
    {"amelie", "FABULEUXDESTINDAMELIEPOULAIN", "AMÉLIE POULAIN (LE FABULEUX DESTIN D')"},
    {"dune-1984", "DUNE", "DUNE"},
    {"dune-2021", "DUNE2021", "DUNE"},
    {"ete-meurtrier", "ETEMEURTRIER", "ETE MEURTRIER (L')"},
    {"matrix", "MATRIX", "MATRIX"},
    {"matrix-reloaded", "MATRIXRELOADED", "MATRIX RELOADED"},
    {"parrain", "PARRAIN", "PARRAIN (LE)"},
    {"parrain-2", "PARRAIN2", "PARRAIN 2 (LE)"},
    {"solaris-1972", "SOLARIS", "SOLARIS"},
    {"star-wars", "STARWARS", "GUERRE DES ETOILES (LA)"},
};

// The jacket sizes the site offers: width x height of the sheet in mm, then the spine.
constexpr const char *kSizeCodes[] = {"142x95-18",  "232x190-32", "257x197-32", "260x197-32", "267x198-32",
                                      "268x190-32", "272x182-14", "274x120-6",  "275x185-14", "289x210-32"};
constexpr const char *kDefaultSizeCode = "275x185-14";

constexpr char kPageHead[] = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>MovieCovers - %1</title>
<link rel="stylesheet" href="/css/mc.css" type="text/css">
</head>
<body>
<div id="entete"><a href="/"><img src="/images/logo_mc.gif" width="300" height="60" alt="MovieCovers" border="0"></a></div>
<div id="menu">
<a href="/">Accueil</a> | <a href="/nouveautes.html">Nouveaut&eacute;s</a> | <a href="/top100.html">Top&nbsp;100</a> |
<a href="/multicrit.html">Recherche multicrit&egrave;res</a> | <a href="/forum/">Forum</a> | <a href="/contact.html">Contact &amp; infos</a>
</div>
)";

constexpr char kPageFoot[] = R"(<div id="pied">MovieCovers &copy; 2000-2006 - Jaquettes de films &amp; affiches - <a href="/contact.html">Contact</a></div>
</body>
</html>
)";

QString page(const QString &title, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title) + body + QString::fromLatin1(kPageFoot);
}

QString titleOf(const Cover &cover)
{
    return QString::fromUtf8(cover.title);
}

const Cover *coverByKey(QStringView key)
{
    for (const Cover &cover : kCovers)
        if (key == QLatin1StringView(cover.key))
            return &cover;
    return nullptr;
}

// The folder of a thumbnail, the way the program derives it.
QString thumbnailLetter(const Cover &cover)
{
    const QString title = titleOf(cover);
    return (title.endsWith(u')') ? title.left(1) : QString::fromLatin1(cover.key).left(1)).toLower();
}

const SampleFilm *filmOf(const Cover &cover)
{
    return SampleFilms::byId(QString::fromLatin1(cover.filmId));
}

QString posterSeed(const Cover &cover)
{
    const SampleFilm *film = filmOf(cover);
    return film ? SampleFilms::pictureSeed(*film) : titleOf(cover);
}

class MovieCoversSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-MovieCovers"), QStringLiteral("/moviecovers")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression thumbnail(QStringLiteral("^/DATA/thumbs/films-([^/]+)/([^/]+)\\.jpg$"));
        static const QRegularExpression poster(QStringLiteral("^/getjpg\\.html/([^/]+)\\.jpg$"));

        if (request.path == u"/" || request.path == u"/index.html")
            return html(homePage());
        if (request.path == u"/multicrit.html")
            return html(searchPage(request.value(QStringLiteral("titre"))));
        if (request.path == u"/getpdf5.html")
            return jacket(request);
        if (const auto match = thumbnail.match(request.path); match.hasMatch()) {
            const Cover *cover = coverByKey(match.captured(2));
            if (!cover || match.captured(1) != thumbnailLetter(*cover))
                return notFound();
            return jpeg(PictureMaker::posterJpeg(posterSeed(*cover), PictureMaker::kThumbnailSize));
        }
        if (const auto match = poster.match(request.path); match.hasMatch()) {
            const Cover *cover = coverByKey(match.captured(1));
            return cover ? jpeg(PictureMaker::posterJpeg(posterSeed(*cover), PictureMaker::kPosterSize)) : notFound();
        }
        return notFound();
    }

private:
    static QString homePage()
    {
        return page(QStringLiteral("Jaquettes de films"), QStringLiteral(R"(<h1>Recherche multicrit&egrave;res</h1>
<form action="multicrit.html" method="get">
Titre&nbsp;: <input type="text" name="titre" size="40">
<input type="hidden" name="slow" value="1"><input type="hidden" name="listes" value="1">
<input type="submit" value="Chercher">
</form>
)"));
    }

    static QString searchPage(const QString &typed)
    {
        QList<const Cover *> hits;
        for (const Cover &cover : kCovers) {
            QStringList titles{titleOf(cover)};
            if (const SampleFilm *film = filmOf(cover))
                titles << film->title << film->frenchTitle;
            if (SampleFilms::matches(typed, titles))
                hits << &cover;
        }

        QString body = QStringLiteral("<h1>R&eacute;sultat de la recherche</h1>\n");
        if (hits.isEmpty()) {
            body += QStringLiteral("<p class=\"info\">Aucun film ne correspond &agrave; votre recherche.</p>\n"
                                   "<p><a href=\"/multicrit.html\">Nouvelle recherche</a></p>\n");
            return page(QStringLiteral("Recherche"), body);
        }
        body += QStringLiteral("<p class=\"info\">%1 film(s) trouv&eacute;(s)</p>\n").arg(hits.size());
        body += QStringLiteral("<table class=\"liste\" width=\"100%\" cellpadding=\"2\" cellspacing=\"0\">\n"
                               "<tr><th align=\"left\">Titre</th><th>Jaquettes</th></tr>\n");
        for (const Cover *cover : std::as_const(hits)) {
            const SampleFilm *film = filmOf(*cover);
            body += QStringLiteral("<tr><td><a href=\"/film/titre_%1.html\">%2</a> (%3)</td><td align=\"center\">DVD</td></tr>\n")
                        .arg(QLatin1StringView(cover->key), titleOf(*cover).toHtmlEscaped(),
                             film ? QString::number(film->year) : QStringLiteral("????"));
        }
        body += QStringLiteral("</table>\n");
        return page(QStringLiteral("Recherche"), body);
    }

    static FixtureServer::Reply jacket(const Request &request)
    {
        const Cover *cover = coverByKey(request.value(QStringLiteral("idmc1")));
        if (!cover)
            return notFound();
        const QString size = request.value(QStringLiteral("taille"));
        const QString background = request.value(QStringLiteral("couleurfond"));
        const QString font = request.value(QStringLiteral("police"));

        // Missing or unknown options get the site's defaults, so the program's
        // empty values for absent settings still give a jacket.
        const bool knownSize = std::any_of(std::begin(kSizeCodes), std::end(kSizeCodes),
                                           [&](const char *code) { return size == QLatin1StringView(code); });
        static const QRegularExpression sizeCode(QStringLiteral("^(\\d+)x(\\d+)-(\\d+)$"));
        const auto parts = sizeCode.match(knownSize ? size : QString::fromLatin1(kDefaultSizeCode));

        PictureMaker::PdfJacket pdfJacket;
        pdfJacket.seed = posterSeed(*cover);
        pdfJacket.title = titleOf(*cover);
        pdfJacket.lines = {QStringLiteral("MovieCovers - ") + QLatin1StringView(cover->key),
                           QStringLiteral("taille=") + size, QStringLiteral("couleurfond=") + background,
                           QStringLiteral("police=") + font};
        pdfJacket.font = font == u"times" ? "Times-Roman" : font == u"courier" ? "Courier" : "Helvetica";
        pdfJacket.dark = background == u"noir";
        pdfJacket.sizeMm = QSizeF(parts.captured(1).toDouble(), parts.captured(2).toDouble());
        pdfJacket.spineMm = parts.captured(3).toDouble();
        pdfJacket.frontJpeg = PictureMaker::posterJpeg(pdfJacket.seed, PictureMaker::kPosterSize);
        pdfJacket.frontPixels = PictureMaker::kPosterSize;
        return pdf(PictureMaker::jacketPdf(pdfJacket));
    }
};

} // namespace

std::unique_ptr<SampleSite> makeMovieCoversSite()
{
    return std::make_unique<MovieCoversSite>();
}
