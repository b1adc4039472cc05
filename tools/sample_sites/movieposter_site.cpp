// MoviePoster: a poster shop. The search lists posters with their own page's
// address and a thumbnail; each poster's page shows the full picture.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>

namespace {

struct Poster
{
    const char *filmId;
    const char *id;    // "MPW-" and digits
    const char *title; // UTF-8, as the shop lists it
    const char *style; // what the shop says of the print
};

// Two prints of some films, as a shop has them.
constexpr Poster kPosters[] = {
    {"alien", "MPW-10455", "Alien", "Original 27 x 41 - Style A"},
    {"amelie", "MPW-22310", "Amélie", "French Grande - Rolled"},
    {"ete-meurtrier", "MPW-08812", "One Deadly Summer", "Original 1 sheet"},
    {"matrix", "MPW-25871", "The Matrix", "Original 27 x 40 - Double sided"},
    {"matrix", "MPW-25872", "The Matrix (Advance)", "Advance 27 x 40 - Double sided"},
    {"matrix-reloaded", "MPW-31420", "The Matrix Reloaded", "Advance style B"},
    {"parrain", "MPW-04410", "The Godfather", "Original 1 sheet - Folded"},
    {"parrain-2", "MPW-04620", "The Godfather Part II", "Original 1 sheet - Folded"},
    {"star-wars", "MPW-06001", "Star Wars", "Original 1 sheet - Style A"},
    {"star-wars", "MPW-06002", "Star Wars (Style D)", "Re-release 1 sheet"},
};

constexpr QSize kThumbnailSize{75, 110};

constexpr char kPageHead[] = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>MoviePoster.com - %1</title>
<link rel="stylesheet" type="text/css" href="/css/mpw8.css">
</head>
<body bgcolor="#000000" text="#FFFFFF" link="#FFCC00" vlink="#FFCC00">
<table width="780" border="0" cellpadding="0" cellspacing="0" align="center">
<tr><td><a href="%2/"><img src="/images/mpw_logo.gif" width="300" height="70" border="0" alt="MoviePoster.com"></a></td>
<td align="right" class="small">Posters &amp; Memorabilia since 1988 &nbsp;|&nbsp; <a href="/cart/">Your Cart</a></td></tr>
</table>
)";

constexpr char kPageFoot[] = R"(<table width="780" border="0" align="center"><tr><td class="copyright" align="center">&copy; 1996-2006 MoviePoster.com &ndash; All rights reserved</td></tr></table>
</body>
</html>
)";

QString page(const QString &title, const QString &base, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title.toHtmlEscaped(), base) + body + QString::fromLatin1(kPageFoot);
}

QString titleOf(const Poster &poster)
{
    return QString::fromUtf8(poster.title);
}

const Poster *posterById(QStringView id)
{
    for (const Poster &poster : kPosters)
        if (id == QLatin1StringView(poster.id))
            return &poster;
    return nullptr;
}

// The poster's own page: the shop writes the title into it, without blanks.
QString pagePath(const Poster &poster)
{
    QString slug = titleOf(poster);
    slug.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("_"));
    while (slug.endsWith(u'_'))
        slug.chop(1);
    return QStringLiteral("/poster/%1/%2.html").arg(QLatin1StringView(poster.id), slug);
}

// Pictures are archived in folders of a thousand ids.
QString picturePath(const Poster &poster)
{
    const int number = QLatin1StringView(poster.id).mid(4).toInt();
    return QStringLiteral("/posters/archive/main/%1/%2").arg(number / 1000).arg(QLatin1StringView(poster.id));
}

// Each print looks different; a film's first print looks as on the other sample sites.
QString seedOf(const Poster &poster)
{
    return titleOf(poster);
}

class MoviePosterSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-MoviePoster"), QStringLiteral("/movieposter")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression posterPage(QStringLiteral("^/poster/(MPW-\\d+)/[^/]+\\.html$"));
        static const QRegularExpression thumbnail(QStringLiteral("^/images/thumbs/(MPW-\\d+)\\.jpg$"));
        static const QRegularExpression picture(QStringLiteral("^/posters/archive/main/\\d+/(MPW-\\d+)$"));

        if (request.path == u"/" || request.path == u"/index.html")
            return html(page(QStringLiteral("Movie Posters"), request.base, homeBody()));
        if (request.path == u"/cgi-bin/mpw8/search.pl")
            return html(searchPage(request.value(QStringLiteral("ti")), request.base));
        if (const auto match = posterPage.match(request.path); match.hasMatch()) {
            const Poster *poster = posterById(match.captured(1));
            if (!poster || pagePath(*poster) != request.path)
                return notFound();
            return html(posterPageOf(*poster, request.base));
        }
        if (const auto match = thumbnail.match(request.path); match.hasMatch()) {
            const Poster *poster = posterById(match.captured(1));
            return poster ? jpeg(PictureMaker::posterJpeg(seedOf(*poster), kThumbnailSize)) : notFound();
        }
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            const Poster *poster = posterById(match.captured(1));
            if (!poster || picturePath(*poster) != request.path)
                return notFound();
            return jpeg(PictureMaker::posterJpeg(seedOf(*poster), PictureMaker::kPosterSize));
        }
        return notFound();
    }

private:
    static QString homeBody()
    {
        return QStringLiteral(R"(<table width="780" border="0" align="center"><tr><td>
<form action="cgi-bin/mpw8/search.pl" method="get">Title: <input type="text" name="ti" size="30">
<input type="hidden" name="pl" value="kb"><input type="submit" value="Search"></form>
</td></tr></table>
)");
    }

    static QString searchPage(const QString &typed, const QString &base)
    {
        QList<const Poster *> hits;
        for (const Poster &poster : kPosters) {
            QStringList titles{titleOf(poster)};
            if (const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(poster.filmId)))
                titles << film->title;
            if (SampleFilms::matches(typed, titles))
                hits << &poster;
        }

        QString body = QStringLiteral("<table width=\"780\" border=\"0\" cellpadding=\"2\" cellspacing=\"0\" align=\"center\">\n");
        if (hits.isEmpty()) {
            body += QStringLiteral("<tr><td class=\"heading\">No posters found for &quot;%1&quot;.</td></tr>\n"
                                   "<tr><td class=\"small\">Please check the spelling or try fewer words.</td></tr>\n</table>\n")
                        .arg(typed.toHtmlEscaped());
            return page(QStringLiteral("Search Results"), base, body);
        }
        body += QStringLiteral("<tr><td class=\"heading\">%1 posters found for &quot;%2&quot; &ndash; sorted by title</td></tr>\n</table>\n")
                    .arg(hits.size())
                    .arg(typed.toHtmlEscaped());
        body += QStringLiteral("<table width=\"780\" border=\"0\" cellpadding=\"4\" cellspacing=\"0\" align=\"center\" class=\"results\">\n");
        for (const Poster *poster : std::as_const(hits)) {
            const QString title = titleOf(*poster).toHtmlEscaped();
            const QString id = QString::fromLatin1(poster->id);
            body += QStringLiteral("<tr>\n<td class=\"pid\"><a href=\"%1%2\" title=\"%3\"><img class=\"pic2\" src=\"images/thumbs/%4.jpg\" "
                                   "alt=\"%3 movie poster\" width=\"75\" height=\"110\" border=\"0\"></a></td>\n"
                                   "<td class=\"desc\">%3<br>%5<br><b>$29.95</b></td>\n</tr>\n")
                        .arg(base, pagePath(*poster), title, id, QString::fromUtf8(poster->style).toHtmlEscaped());
        }
        body += QStringLiteral("</table>\n<table width=\"780\" border=\"0\" align=\"center\"><tr><td class=\"small\" align=\"center\">"
                               "Page 1 of 1</td></tr></table>\n");
        return page(QStringLiteral("Search Results: ") + typed, base, body);
    }

    static QString posterPageOf(const Poster &poster, const QString &base)
    {
        const QString title = titleOf(poster).toHtmlEscaped();
        const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(poster.filmId));
        const QString body = QStringLiteral(R"(<table width="780" border="0" cellpadding="6" cellspacing="0" align="center">
<tr>
<td valign="top" width="420"><img src="%1" width="400" height="600" border="0" alt="%2 &ndash; poster"><br>
<span class="small">Click the picture for a larger view</span></td>
<td valign="top">
<h1>%2</h1>
<p>%3<br>Year: %4<br>Condition: Mint, rolled</p>
<p class="price"><a href="/cart/add.pl?id=%5">Add to cart</a></p>
</td>
</tr>
</table>
)")
                                 .arg(picturePath(poster), title, QString::fromUtf8(poster.style).toHtmlEscaped(),
                                      film ? QString::number(film->year) : QStringLiteral("n/a"), QLatin1StringView(poster.id));
        return page(titleOf(poster) + QStringLiteral(" Movie Poster"), base, body);
    }
};

} // namespace

std::unique_ptr<SampleSite> makeMoviePosterSite()
{
    return std::make_unique<MoviePosterSite>();
}
