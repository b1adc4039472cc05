// Vintage Movie Poster: a keyword search listing each poster for sale with a
// mouse-over tip; the list shows small pictures ("photos_pm"), the detail
// pages the large ones ("photos_gm").

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>

namespace {

struct Poster
{
    const char *filmId;
    const char *ref;     // the poster's reference, which names its pictures
    const char *tip;     // the mouse-over text, HTML as the site writes it
    const char *caption; // under the picture
    const char *price;
};

// Several posters of one film, as a dealer's stock goes.
constexpr Poster kPosters[] = {
    {"alien", "AL1979US", "Alien (1979) - US One Sheet", "Alien<br>US One Sheet", "450.00"},
    {"amelie", "AM2001F", "Amelie (2001) - French Grande 47x63", "Amelie<br>French Grande", "95.00"},
    {"ete-meurtrier", "ET1983F", "One Deadly Summer (1983) - French Grande", "One Deadly Summer<br>French Grande", "70.00"},
    {"matrix", "MX1999F", "Matrix, The (1999) - French Grande 47x63", "Matrix, The<br>French Grande", "85.00"},
    {"matrix", "MX1999US", "Matrix, The (1999) - US One Sheet &amp; Teaser", "Matrix, The<br>US One Sheet", "120.00"},
    {"matrix-reloaded", "MXR2003I", "Matrix Reloaded, The (2003) - Italian 2 Fogli", "Matrix Reloaded, The<br>Italian 2F", "60.00"},
    {"parrain", "GF1972US", "Godfather, The (1972) - US One Sheet", "Godfather, The<br>US One Sheet", "1500.00"},
    {"parrain", "GF1972F", "Godfather, The (1972) - French Petite", "Godfather, The<br>French Petite", "320.00"},
    {"parrain-2", "GF21974US", "Godfather Part II, The (1974) - US One Sheet", "Godfather Part II, The<br>US One Sheet", "280.00"},
    {"star-wars", "SW1977A", "Star Wars (1977) - US One Sheet Style A", "Star Wars<br>US Style A", "900.00"},
    {"star-wars", "SW1977F", "Star Wars (1977) - French Grande", "Star Wars<br>French Grande", "380.00"},
};

constexpr char kPageHead[] = R"(<html>
<head>
<title>Vintage Movie Posters - %1</title>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<link rel="stylesheet" href="vmp.css" type="text/css">
<script language="JavaScript" src="tooltip.js"></script>
</head>
<body bgcolor="#000000" text="#FFFFFF" link="#FFCC66" vlink="#FFCC66">
<div id="tiplayer" style="position:absolute; visibility:hidden; z-index:100"></div>
<table width="760" border="0" cellspacing="0" cellpadding="0" align="center">
<tr><td><a href="index.asp"><img src="images/vmp_logo.gif" width="400" height="60" border="0" alt="Vintage Movie Posters"></a></td></tr>
<tr><td class="menu"><a href="index.asp">Home</a> | <a href="new_arrivals.asp">New arrivals</a> | <a href="search.asp">Search</a> | <a href="order.asp">How to order</a> | <a href="contact.asp">Contact</a></td></tr>
</table>
<form action="result_key2_bis.asp" method="get">
<input type="hidden" name="page2" value="1">
Keyword: <input type="text" name="motclef" value="%2" size="20">
<input type="hidden" name="prix" value="0">
<input type="submit" name="B1" value="See Results">
</form>
)";

constexpr char kPageFoot[] = R"(<p align="center" class="small">All posters are original, not reproductions. &copy; Vintage Movie Posters</p>
</body>
</html>
)";

QString page(const QString &title, const QString &keyword, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title, keyword.toHtmlEscaped()) + body + QString::fromLatin1(kPageFoot);
}

const Poster *posterByRef(QStringView ref)
{
    for (const Poster &poster : kPosters)
        if (ref == QLatin1StringView(poster.ref))
            return &poster;
    return nullptr;
}

// Each poster of a film looks different.
QString pictureSeed(const Poster &poster)
{
    const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(poster.filmId));
    return (film ? SampleFilms::pictureSeed(*film) : QString::fromLatin1(poster.tip)) + u' ' + QLatin1StringView(poster.ref);
}

class VintageSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-Vintage"), QStringLiteral("/vintage")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression picture(QStringLiteral("^/photos_(pm|gm)/([A-Z0-9]+)\\.jpg$"));

        if (request.path == u"/" || request.path == u"/index.asp")
            return html(page(QStringLiteral("Original movie posters"), QString(),
                             QStringLiteral("<p>Original movie posters from all over the world.</p>\n")));
        if (request.path == u"/result_key2_bis.asp")
            return html(searchPage(request.value(QStringLiteral("motclef"))));
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            const Poster *poster = posterByRef(match.captured(2));
            if (!poster)
                return notFound();
            const QSize size = match.captured(1) == u"gm" ? PictureMaker::kPosterSize : PictureMaker::kThumbnailSize;
            return jpeg(PictureMaker::posterJpeg(pictureSeed(*poster), size));
        }
        return notFound();
    }

private:
    static QString searchPage(const QString &keyword)
    {
        QString cells;
        int count = 0;
        for (const Poster &poster : kPosters) {
            QStringList titles{QString::fromLatin1(poster.tip)};
            if (const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(poster.filmId)))
                titles << film->title << film->frenchTitle;
            if (!SampleFilms::matches(keyword, titles))
                continue;
            // Four posters to a row.
            if (count > 0 && count % 4 == 0)
                cells += QStringLiteral("</tr>\n<tr>\n");
            ++count;
            cells += QStringLiteral("<td width=\"25%\" align=\"center\" valign=\"top\" bgcolor=\"#501828\">\n"
                                    "<a href=\"detail.asp?ref=%1\" onMouseOver=\"showtip('%2')\" onMouseOut=\"hidetip();\">"
                                    "<img src=\"photos_pm/%1.jpg\" width=\"100\" height=\"150\" border=\"0\" alt=\"\"></a><br>\n"
                                    "<font face=\"Arial\" size=\"1\" color=\"#FFCC66\">%3<br>US $&nbsp;%4</font>\n</td>\n")
                         .arg(QLatin1StringView(poster.ref), QLatin1StringView(poster.tip), QLatin1StringView(poster.caption),
                              QLatin1StringView(poster.price));
        }
        QString body = QStringLiteral("<p class=\"count\">%1 poster(s) found for &quot;%2&quot; - page 1</p>\n")
                           .arg(count)
                           .arg(keyword.toHtmlEscaped());
        body += QStringLiteral("<table width=\"760\" border=\"0\" cellspacing=\"4\" cellpadding=\"4\" align=\"center\">\n<tr>\n");
        body += count == 0 ? QStringLiteral("<td class=\"small\">Sorry, no poster matches your search.</td>\n") : cells;
        body += QStringLiteral("</tr>\n</table>\n");
        return page(QStringLiteral("Search results"), keyword, body);
    }
};

} // namespace

std::unique_ptr<SampleSite> makeVintageSite()
{
    return std::make_unique<VintageSite>();
}
