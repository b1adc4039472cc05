// Cover Comoz: a search form that only answers a POST, with a long head and
// menus before the results, each cover's title in white above its thumbnail,
// and a page per cover that shows the full picture.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>

namespace {

struct Cover
{
    const char *filmId;
    const char *id;
    const char *title; // UTF-8, as the site's members named them
};

constexpr Cover kCovers[] = {
    {"alien", "208", "Alien - Le 8ème passager"},
    {"amelie", "540", "Le Fabuleux Destin d'Amélie Poulain"},
    {"ete-meurtrier", "733", "L'Été meurtrier"},
    {"matrix", "311", "Matrix"},
    {"matrix-reloaded", "1250", "Matrix Reloaded (Zone 2)"},
    {"parrain", "97", "Le Parrain"},
    {"parrain-2", "98", "Le Parrain 2e partie"},
    {"star-wars", "412", "La Guerre des étoiles"},
};

// The head and menus come before the results and use the titles' colour
// themselves; the program skips them by their length.
constexpr char kPageHead[] = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<meta name="description" content="Cover Comoz : des milliers de covers DVD, CD et jeux vid&eacute;o &agrave; t&eacute;l&eacute;charger gratuitement, jaquettes et stickers en haute qualit&eacute;.">
<meta name="keywords" content="covers, cover, jaquettes, jaquette, dvd, cd, stickers, divx, vcd, jeux, playstation, xbox, gamecube">
<title>Cover Comoz - %1</title>
<style type="text/css">
body { background-color: #000000; color: #FFFFFF; font-family: Verdana, Arial, sans-serif; font-size: 11px; margin: 0px; }
a:link, a:visited { color: #FFCC00; text-decoration: none; }
a:hover { color: #FFFFFF; text-decoration: underline; }
.menu { background-color: #333333; border-bottom: 1px solid #666666; padding: 4px; }
.titre { font-size: 14px; font-weight: bold; color: #FFCC00; }
.petit { font-size: 9px; color: #999999; }
td.cover { border: 1px solid #333333; padding: 6px; }
</style>
<script type="text/javascript">
function ouvre(url) { window.open(url, 'cover', 'width=640,height=480,scrollbars=yes,resizable=yes'); }
</script>
</head>
<body bgcolor="#000000" text="#FFFFFF" link="#FFCC00" vlink="#FFCC00" alink="#FFFFFF">
<table width="100%" border="0" cellpadding="0" cellspacing="0">
<tr><td><a href="index.html"><img src="images/logo_comoz.gif" width="468" height="60" border="0" alt="Cover Comoz"></a></td></tr>
<tr><td class="menu"><a href="index.html">Accueil</a> | <a href="dvd.html">Covers DVD</a> | <a href="cd.html">Covers CD</a> | <a href="jeux.html">Jeux</a> | <a href="nouveautes.html">Nouveaut&eacute;s</a> | <a href="top.html">Top 100</a> | <a href="forum/">Forum</a> | <a href="liens.html">Liens</a></td></tr>
</table>
<table width="100%" border="0" cellpadding="4" cellspacing="0">
<tr><td>
<form method="post" action="recherche.html">
<font face="Verdana" size="1">Rechercher une cover :</font> <input type="text" name="search" size="25" value="%2"> <input type="submit" value="Rechercher">
</form>
</td></tr>
</table>
)";

constexpr char kPageFoot[] = R"(<p align="center" class="petit">Cover Comoz &copy; 2002-2005 - Les covers restent la propri&eacute;t&eacute; de leurs auteurs respectifs.</p>
</body>
</html>
)";

constexpr int kCoversPerRow = 3;

QString page(const QString &title, const QString &typed, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title, typed.toHtmlEscaped()) + body + QString::fromLatin1(kPageFoot);
}

QString titleOf(const Cover &cover)
{
    return QString::fromUtf8(cover.title);
}

const Cover *coverById(QStringView id)
{
    for (const Cover &cover : kCovers)
        if (id == QLatin1StringView(cover.id))
            return &cover;
    return nullptr;
}

QString seedOf(const Cover &cover)
{
    const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(cover.filmId));
    return film ? SampleFilms::pictureSeed(*film) : titleOf(cover);
}

// The program sends apostrophes as blanks.
QString withoutApostrophes(QString title)
{
    return title.replace(u'\'', u' ');
}

bool coverMatches(const Cover &cover, const QString &typed)
{
    QStringList titles{withoutApostrophes(titleOf(cover))};
    if (const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(cover.filmId)))
        titles << withoutApostrophes(film->title) << withoutApostrophes(film->frenchTitle);
    return SampleFilms::matches(typed, titles);
}

class CoverComozSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-CoverComoz"), QStringLiteral("/covercomoz")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression picture(QStringLiteral("^/covers/(thumbs/)?(\\d+)\\.jpg$"));

        if (request.path == u"/recherche.html" && request.http.method == "POST")
            return html(resultPage(request.base, SampleSite::parseQuery(request.http.body)));
        if (request.path == u"/" || request.path == u"/index.html" || request.path == u"/recherche.html")
            return html(page(QStringLiteral("Accueil"), QString(), QString()));
        if (request.path == u"/cover.php") {
            const Cover *cover = coverById(request.value(QStringLiteral("id")));
            return cover ? html(coverPage(request.base, *cover)) : notFound();
        }
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            const Cover *cover = coverById(match.captured(2));
            if (!cover)
                return notFound();
            const bool thumbnail = !match.captured(1).isEmpty();
            return jpeg(PictureMaker::posterJpeg(seedOf(*cover), thumbnail ? PictureMaker::kThumbnailSize
                                                                           : PictureMaker::kPosterSize));
        }
        return notFound();
    }

private:
    static QString resultPage(const QString &base, const QList<QPair<QString, QString>> &form)
    {
        QString typed;
        for (const auto &[name, value] : form)
            if (name == u"search")
                typed = value;

        QList<const Cover *> hits;
        for (const Cover &cover : kCovers)
            if (coverMatches(cover, typed))
                hits << &cover;
        if (hits.isEmpty())
            return page(QStringLiteral("Recherche de covers"), typed,
                        QStringLiteral("<p class=\"titre\">R&eacute;sultats pour &quot;%1&quot; : aucune cover ne correspond "
                                       "&agrave; votre recherche.</p>\n")
                            .arg(typed.toHtmlEscaped()));

        QString body = QStringLiteral("<p class=\"titre\">R&eacute;sultats pour &quot;%1&quot; : %2 cover(s)</p>\n"
                                      "<table width=\"100%\" border=\"0\" cellpadding=\"4\" cellspacing=\"4\">\n<tr>\n")
                           .arg(typed.toHtmlEscaped())
                           .arg(hits.size());
        for (qsizetype i = 0; i < hits.size(); ++i) {
            if (i > 0 && i % kCoversPerRow == 0)
                body += QStringLiteral("</tr>\n<tr>\n");
            const Cover *cover = hits.at(i);
            // The thumbnail's own attributes come before its address, which ends the tag.
            body += QStringLiteral("<td class=\"cover\" width=\"33%\" align=\"center\" valign=\"top\">"
                                   "<font face=\"Verdana\" size=\"1\" color=\"#FFFFFF\">%1</font><br>\n"
                                   "<a href=\"cover.php?id=%2&amp;type=dvd\"><img border=\"0\" width=\"100\" height=\"140\" "
                                   "src=\"%3/covers/thumbs/%2.jpg\"></a><br><span class=\"petit\">DVD - Front</span></td>\n")
                        .arg(titleOf(*cover).toHtmlEscaped(), QLatin1StringView(cover->id), base);
        }
        body += QStringLiteral("</tr>\n</table>\n");
        return page(QStringLiteral("Recherche de covers"), typed, body);
    }

    static QString coverPage(const QString &base, const Cover &cover)
    {
        const QString title = titleOf(cover).toHtmlEscaped();
        return QStringLiteral(R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>Cover Comoz - %2 (DVD - Front)</title>
</head>
<body bgcolor="#000000" text="#FFFFFF" link="#FFCC00" vlink="#FFCC00">
<a href="index.html"><img src="images/logo_comoz.gif" width="468" height="60" border="0" alt="Cover Comoz"></a>
<p><font face="Verdana" size="2" color="#FFCC00"><b>%2</b></font> - DVD - Front</p>
<p align="center"><img src="%1/covers/%3.jpg" border="0" alt="%2"></p>
</body>
</html>
)")
            .arg(base, title, QLatin1StringView(cover.id));
    }
};

} // namespace

std::unique_ptr<SampleSite> makeCoverComozSite()
{
    return std::make_unique<CoverComozSite>();
}
