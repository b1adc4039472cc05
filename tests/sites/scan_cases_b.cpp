#include "scan_case.h"
#include "sites/dvd_fr.h"
#include "sites/hd_covers.h"
#include "sites/imp_awards.h"
#include "sites/movie_poster.h"

namespace {

ResultEntry hdCover(const char *key, const char *title, const char *category = "Jaquettes")
{
    return hitOf(QString::fromUtf8(title), 0, QString::fromLatin1(key), QString::fromLatin1(category), QStringLiteral("HD Covers"));
}

QList<ResultEntry> hdCovers(const QString &page)
{
    return HDCovers::scanPage(page.toLower(), QStringLiteral("Jaquettes"));
}

ResultEntry dvdFr(const char *title, int year, const char *filmPath)
{
    return hitOf(QString::fromUtf8(title), year, QString(), QString::fromLatin1(filmPath), QStringLiteral("DvdFr"));
}

ResultEntry moviePoster(const char *title, const char *key, const char *thumbnail)
{
    return hitOf(QString::fromLatin1(title), 0, QString::fromLatin1(key), QString::fromLatin1(thumbnail), QStringLiteral("MoviePoster"));
}

// One hit cell as MoviePoster writes it.
QString posterCell(const char *key, const char *title)
{
    return pageAsRead(QStringLiteral("<td class=\"pid\"><a href=\"http://mp/poster/%1.html\" title=\"%2\"><img class=\"pic2\" "
                                 "src=\"images/thumbs/%1.jpg\" alt=\"\" border=\"0\"></a></td>\n")
                      .arg(QLatin1String(key), QLatin1String(title))
                      .toLatin1());
}

const QString kImpHost = QStringLiteral("http://imp");

// The posters of an IMP Awards page read from `pageAddress` on the site at `host`.
QList<ResultEntry> impPosters(const QString &page, const QString &pageAddress, const QString &host = kImpHost)
{
    return IMPAwards::posterPass(page.toLower(), host, pageAddress);
}

// `picture` and its thumbnail, as "FOLDER/NAME", under the site at `host`.
ResultEntry impPoster(const char *title, int year, const QString &picture, const QString &host = kImpHost)
{
    const qsizetype slash = picture.lastIndexOf(u'/') + 1;
    const QString folder = host + u'/' + picture.left(slash);
    return hitOf(QString::fromLatin1(title), year, folder + QStringLiteral("posters/") + picture.mid(slash),
                 folder + QStringLiteral("thumbs/imp_") + picture.mid(slash), QStringLiteral("IMP Awards"));
}

// A poster page in the site's shape, with one other version.
QString impPage(const char *name, const char *year)
{
    return pageAsRead(QStringLiteral("<td><center><font size=+2>%1 (<a href=\"/gallery/%2\">%2</a>)</font></center></td>\n"
                                 "<img src=\"posters/%1.jpg\" alt =\"\" border=1>\n"
                                 "<a href=\"x.html\"><img src=\"thumbs/imp_%1_ver2.jpg\"></a>\n")
                      .arg(QLatin1String(name), QLatin1String(year))
                      .toLatin1());
}

// The engine's links, each as the key of a hit.
QList<ResultEntry> impLinks(const QString &page)
{
    QList<ResultEntry> links;
    for (const QString &link : IMPAwards::linkPass(page.toLower()))
        links << hitOf(QString(), 0, link, QString(), QString());
    return links;
}

ResultEntry link(const char *address)
{
    return hitOf(QString(), 0, QString::fromLatin1(address), QString(), QString());
}

} // namespace

QList<ScanCase> scanCasesB()
{
    return {
        {"HDCovers_noLink", [] { return hdCovers(fixturePage("hdcovers", "empty.html")); }, {}},
        {"HDCovers_cutInsideALink", [] { return hdCovers(fixturePage("hdcovers", "truncated.html")); }, {hdCover("10234", "matrix")}},
        {"HDCovers_linkWithoutItsEnd",
         [] { return hdCovers(pageAsRead("<a href='showfile.php?lid=1'>one</a><a href='showfile.php?lid=2'>two")); },
         {hdCover("1", "one")}},
        {"HDCovers_keyWithoutItsQuote",
         [] { return hdCovers(pageAsRead("<a href=showfile.php?lid=1>one</a><a href='showfile.php?lid=2'>two</a>")); },
         {hdCover("2", "two")}},
        {"HDCovers_markerAtTheVeryEnd", [] { return hdCovers(pageAsRead("<a href='showfile.php?lid=")); }, {}},

        {"DvdFr_noLink", [] { return DvdFr::scanResults(fixturePage("dvdfr", "empty.html")); }, {}},
        {"DvdFr_cutInsideALink",
         [] { return DvdFr::scanResults(fixturePage("dvdfr", "truncated.html")); },
         {dvdFr("Matrix", 1999, "dvd/dvd.php?id=1012")}},
        {"DvdFr_noYearCellAfterTheLastLink",
         [] {
             return DvdFr::scanResults(pageAsRead("<A CLASS=\"searchText\" HREF=\"../dvd/dvd.php?id=1\">One</A></TD><TD>1999</TD>"
                                              "<A CLASS=\"searchText\" HREF=\"../dvd/dvd.php?id=2\">Two</A></TD>"));
         },
         {dvdFr("One", 1999, "dvd/dvd.php?id=1"), dvdFr("Two", 0, "dvd/dvd.php?id=2")}},
        {"DvdFr_markerAtTheVeryEnd", [] { return DvdFr::scanResults(pageAsRead("<A CLASS=\"searchText\" HREF=")); }, {}},
        {"DvdFr_linkTooShortForAPath",
         [] { return DvdFr::scanResults(pageAsRead("<A CLASS=\"searchText\" HREF=\"x\">Short</A></TD><TD>2001</TD>")); },
         {dvdFr("Short", 2001, "")}},

        {"MoviePoster_noHit", [] { return MoviePoster::scanResults(fixturePage("movieposter", "empty.html")); }, {}},
        {"MoviePoster_cutAfterATitle",
         [] { return MoviePoster::scanResults(fixturePage("movieposter", "truncated.html")); },
         {moviePoster("The Matrix", "http://www.movieposter.com/poster/MPW-25871/Matrix.html", "images/thumbs/MPW-25871.jpg"),
          moviePoster("The Matrix Reloaded", "http://www.movieposter.com/poster/MPW-31420/Matrix_Reloaded.html", "")}},
        {"MoviePoster_cutBeforeTheTitle",
         [] { return MoviePoster::scanResults(posterCell("A", "One") + pageAsRead("<td class=\"pid\"><a href=\"x")); },
         {moviePoster("One", "http://mp/poster/A.html", "images/thumbs/A.jpg"), moviePoster("", "", "")}},
        {"MoviePoster_cutInTheTitle",
         [] { return MoviePoster::scanResults(posterCell("A", "One") + pageAsRead("<td class=\"pid\"><a href=\"x\" title=\"Tw")); },
         {moviePoster("One", "http://mp/poster/A.html", "images/thumbs/A.jpg"), moviePoster("", "x", "")}},
        // Its fields run on into the next hit, which is not read again.
        {"MoviePoster_noThumbnail",
         [] { return MoviePoster::scanResults(pageAsRead("<td class=\"pid\"><a href=\"x\" title=\"One\"></a>") + posterCell("B", "Two")); },
         {moviePoster("One", "x", "images/thumbs/B.jpg")}},

        {"IMPAwards_noEngineLink", [] { return impLinks(fixturePage("impawards", "search_empty.html")); }, {}},
        {"IMPAwards_engineCutInsideALink",
         [] { return impLinks(fixturePage("impawards", "search_truncated.html")); },
         {link("http://www.impawards.com/1999/matrix.html")}},
        {"IMPAwards_pageWithoutPoster",
         [] { return impPosters(fixturePage("impawards", "no_poster.html"), QStringLiteral("http://imp/2003/index.html")); },
         {}},
        {"IMPAwards_cutInsideAVersionName",
         [] { return impPosters(fixturePage("impawards", "poster_truncated.html"), QStringLiteral("http://imp/1999/matrix.html")); },
         {impPoster("the matrix", 1999, QStringLiteral("1999/matrix.jpg")), impPoster("the matrix", 1999, QStringLiteral("1999/matrix_ver2.jpg"))}},
        {"IMPAwards_longSiteAddressIsSkipped",
         [] {
             return impPosters(impPage("film", "2001"), QStringLiteral("http://h/a/much/longer/mirror/2001/film.html"),
                               QStringLiteral("http://h/a/much/longer/mirror"));
         },
         {impPoster("film", 2001, QStringLiteral("2001/film.jpg"), QStringLiteral("http://h/a/much/longer/mirror")),
          impPoster("film", 2001, QStringLiteral("2001/film_ver2.jpg"), QStringLiteral("http://h/a/much/longer/mirror"))}},
        // The main poster lies in the page's own folder, the versions in its first five characters.
        {"IMPAwards_versionsUnderTheYearFolderOnly",
         [] { return impPosters(impPage("film", "tba"), QStringLiteral("http://imp/2003/intl/film.html")); },
         {impPoster("film", 0, QStringLiteral("2003/intl/film.jpg")), impPoster("film", 0, QStringLiteral("2003/film_ver2.jpg"))}},
        {"IMPAwards_noTitleCell",
         [] { return impPosters(pageAsRead("<img src=\"posters/a.jpg\" alt =\"\">"), QStringLiteral("http://imp/2001/a.html")); },
         {impPoster("", 0, QStringLiteral("2001/a.jpg"))}},
        {"IMPAwards_posterWithoutAlt",
         [] {
             return impPosters(pageAsRead("<img src=\"posters/a.jpg\"><img src=\"thumbs/imp_b.jpg\">"), QStringLiteral("http://imp/2001/a.html"));
         },
         {impPoster("", 0, QStringLiteral("2001/b.jpg"))}},
        {"IMPAwards_posterMarkerAtTheEnd",
         [] { return impPosters(pageAsRead("<img src=\"posters/"), QStringLiteral("http://imp/2001/a.html")); },
         {}},
        {"IMPAwards_versionCutShort",
         [] { return impPosters(pageAsRead("<img src=\"posters/a.jpg\" alt =\"\">thumbs/imp"), QStringLiteral("http://imp/2001/a.html")); },
         {impPoster("", 0, QStringLiteral("2001/a.jpg"))}},
    };
}
