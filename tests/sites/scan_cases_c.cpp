#include "core/text_utils.h"
#include "net/page_decoding.h"
#include "scan_case.h"
#include "site_test.h"
#include "sites/affiches_cinema.h"
#include "sites/all_divx.h"
#include "sites/cover_comoz.h"
#include "sites/title_preparation.h"
#include "sites/vintage_movie_poster.h"

namespace {

// A page as a search reads it: decoded by its charset, then its markup.
QString pageText(const QByteArray &bytes)
{
    QString page = OctetsVersTexte(bytes);
    DecodeHtml(page);
    return page;
}

QString fixturePage(const char *folder, const char *name)
{
    return pageText(fixtureFile(QString::fromLatin1(folder), QString::fromLatin1(name)));
}

const QString kVintage = QStringLiteral("Vintage Movie Poster");
const QString kAffiches = QStringLiteral("Affiches Cinéma");
const QString kAllDivX = QStringLiteral("AllDivX");
const QString kComoz = QStringLiteral("Cover Comoz");

ResultEntry vintage(const char *title, const char *key)
{
    return hitOf(QString::fromUtf8(title), 0, QString::fromLatin1(key), {}, kVintage);
}

ResultEntry affiches(const char *title, const char *filmPath)
{
    return hitOf(QString::fromUtf8(title), 0, QString::fromLatin1(filmPath), {}, kAffiches);
}

ResultEntry allDivX(const char *title, const char *jacketPage)
{
    return hitOf(QString::fromUtf8(title), 0, QString::fromLatin1(jacketPage), {}, kAllDivX);
}

ResultEntry comoz(const char *title, const char *thumbnail, const char *coverPath)
{
    return hitOf(QString::fromUtf8(title), 0, QString::fromLatin1(thumbnail), QString::fromLatin1(coverPath), kComoz);
}

std::function<QList<ResultEntry>()> vintageScan(const QByteArray &page)
{
    return [page] { return VintageMoviePoster::hitPass(pageText(page)); };
}

std::function<QList<ResultEntry>()> vintageFixture(const char *name)
{
    return [name] { return VintageMoviePoster::hitPass(fixturePage("vintage", name)); };
}

std::function<QList<ResultEntry>()> affichesScan(const QByteArray &page, const char *typed = "matrix")
{
    return [page, typed] { return AffichesCinema::linkPass(pageText(page), prepareTitle(kAffiches, QString::fromUtf8(typed))); };
}

std::function<QList<ResultEntry>()> affichesFixture(const char *name, const char *typed = "matrix")
{
    return [name, typed] {
        return AffichesCinema::linkPass(fixturePage("affichescinema", name), prepareTitle(kAffiches, QString::fromUtf8(typed)));
    };
}

// The fixtures name the real site's host.
std::function<QList<ResultEntry>()> allDivXScan(const QByteArray &page, const char *host = "http://www.alldivx.com")
{
    return [page, host] { return AllDivX::jacketPass(pageText(page), AllDivX::jacketMarker(QString::fromLatin1(host))); };
}

std::function<QList<ResultEntry>()> allDivXFixture(const char *name)
{
    return [name] {
        return AllDivX::jacketPass(fixturePage("alldivx", name), AllDivX::jacketMarker(QStringLiteral("http://www.alldivx.com")));
    };
}

std::function<QList<ResultEntry>()> comozScan(const QByteArray &page)
{
    return [page] { return CoverComoz::coverPass(pageText(page)); };
}

std::function<QList<ResultEntry>()> comozFixture(const char *name)
{
    return [name] { return CoverComoz::coverPass(fixturePage("covercomoz", name)); };
}

const QByteArray kVintageHit = "<td bgcolor=\"#501828\"><a href=\"detail.asp?ref=A\" onMouseOver=\"showtip('A')\" "
                               "onMouseOut=\"hidetip();\"><img src=\"photos_pm/A.jpg\"></a></td>";
const QByteArray kAffichesLink = "<a href=\"affiche.php?id=1532\" target=\"film\">Matrix</a>";
const QByteArray kAllDivXLink = "<div style=\"float:left;\"> <a href=\"http://www.alldivx.com/jaquette/";

QByteArray comozCover(const char *title, const char *path, const char *thumbnail)
{
    return QByteArray("<td><font size=\"1\" color=\"#FFFFFF\">") + title + "</font><br>\n<a href=\"" + path
           + "\"><img border=\"0\" src=\"" + thumbnail + "\"></a></td>\n";
}

// A page whose first white title lies on the last character the scan skips.
QByteArray comozTitleOnTheEdge()
{
    const QByteArray before = "<td><font size=\"1\" color=\"";
    return QByteArray(1600 - 1 - before.size(), 'x') + comozCover("Skipped", "cover.php?id=1", "t1.jpg")
           + comozCover("Kept", "cover.php?id=2", "t2.jpg");
}

} // namespace

QList<ScanCase> scanCasesC()
{
    const ResultEntry vintageA = vintage("A", "photos_gm/A.jpg");
    const ResultEntry matrix = affiches("matrix", "affiche.php?id=1532");
    return {
        // Vintage Movie Poster: the tip's text is the title; the list's small
        // picture becomes the large one.
        {"Vintage_resultPage",
         vintageFixture("search_matrix.html"),
         {vintage("Matrix, The (1999) - French Grande 47x63", "photos_gm/MX1999F.jpg"),
          vintage("Matrix, The (1999) - US One Sheet & Teaser", "photos_gm/MX1999US.jpg"),
          vintage("Matrix Reloaded, The (2003) - Italian 2 Fogli", "photos_gm/MXR2003I.jpg")}},
        {"Vintage_noHit", vintageFixture("empty.html"), {}},
        {"Vintage_cutInsideTheSecondHit",
         vintageFixture("truncated.html"),
         {vintage("Matrix, The (1999) - French Grande 47x63", "photos_gm/MX1999F.jpg")}},
        {"Vintage_markerWithoutATip", vintageScan(kVintageHit + "<td bgcolor=\"#501828\">sold out</td>"), {vintageA}},
        {"Vintage_tipNeverClosed", vintageScan(kVintageHit + "<td bgcolor=\"#501828\"><a onMouseOver=\"showtip('B"), {vintageA}},
        {"Vintage_tipWithoutAPicture",
         vintageScan(kVintageHit + "<td bgcolor=\"#501828\"><a onMouseOver=\"showtip('B')\">B</a>"),
         {vintageA}},
        {"Vintage_pictureTooCloseToTheTip",
         vintageScan("#501828 onMouseOver=\"showtip('B')\"><img src=\"b.jpg\">" + kVintageHit),
         {vintageA}},
        {"Vintage_markersInsideOneHit", vintageScan("#501828 #501828" + kVintageHit + kVintageHit), {vintageA, vintageA}},

        // Affiches Cinéma: the index page is lower-cased, the title is looked
        // for in an accent-folded copy and shown with its accents.
        {"AffichesCinema_indexPage",
         affichesFixture("page_m.html"),
         {matrix, affiches("matrix reloaded", "affiche.php?id=1533"), affiches("matrix revolutions", "affiche.php?id=1534")}},
        {"AffichesCinema_accentsFolded",
         affichesFixture("page_e.html", "été"),
         {affiches("été meurtrier (l')", "affiche.php?id=1010"), affiches("été en pente douce (l')", "affiche.php?id=1011")}},
        {"AffichesCinema_typedCapitalsFindNothing", affichesFixture("page_m.html", "Matrix"), {}},
        {"AffichesCinema_noLink", affichesFixture("empty.html"), {}},
        {"AffichesCinema_cutInsideTheSecondLink", affichesFixture("truncated.html"), {matrix}},
        {"AffichesCinema_headingBeforeTheLink", affichesScan("<h2>Matrix</h2>" + kAffichesLink), {matrix}},
        {"AffichesCinema_headingAfterTheLastLink", affichesScan(kAffichesLink + "<h2>Matrix</h2> no more links"), {matrix}},
        {"AffichesCinema_linkWithoutTarget", affichesScan("<a href=\"affiche.php?id=1533\">Matrix</a>" + kAffichesLink), {matrix}},
        {"AffichesCinema_titleInsideALinksText",
         affichesScan("<a href=\"x\" target=\"film\">Le film Matrix</a>" + kAffichesLink),
         {matrix}},

        // AllDivX: only whole links to the site's own jackets, after the results heading.
        {"AllDivX_resultPage",
         allDivXFixture("matrix.html"),
         {allDivX("Matrix", "http://www.alldivx.com/jaquette/1417.html"),
          allDivX("Matrix Reloaded", "http://www.alldivx.com/jaquette/2230.html"),
          allDivX("Matrix Revolutions - édition spéciale", "http://www.alldivx.com/jaquette/2231.html")}},
        {"AllDivX_noResult", allDivXFixture("empty.html"), {}},
        {"AllDivX_cutInsideTheSecondLink",
         allDivXFixture("truncated.html"),
         {allDivX("Matrix", "http://www.alldivx.com/jaquette/1417.html")}},
        {"AllDivX_noHeadingScannedFromTheStart",
         allDivXScan(kAllDivXLink + "5.html\">\nFive\n</a></div></html>"),
         {allDivX("Five", "http://www.alldivx.com/jaquette/5.html")}},
        {"AllDivX_beforeTheHeadingOnly", allDivXScan(kAllDivXLink + "5.html\">\nFive\n</a> R&eacute;sultats de la recherche</html>"), {}},
        {"AllDivX_siteUnderAPath",
         allDivXScan("de la recherche " + kAllDivXLink + "5.html\">\nFive\n</a>"
                         + "<div style=\"float:left;\"> <a href=\"http://www.alldivx.com/v2/jaquette/6.html\">\nSix\n</a></html>",
                     "http://www.alldivx.com/v2"),
         {allDivX("Six", "http://www.alldivx.com/v2/jaquette/6.html")}},
        {"AllDivX_markerAtTheVeryEnd", allDivXScan("de la recherche " + kAllDivXLink), {}},
        {"AllDivX_noTextAfterTheLink", allDivXScan("de la recherche " + kAllDivXLink + "5.html\">"), {}},

        // Cover Comoz: the white titles after the answer's head.
        {"CoverComoz_resultPage",
         comozFixture("matrix.html"),
         {comoz("Matrix", "http://www.comoz.com/covers/thumbs/311.jpg", "cover.php?id=311&type=dvd"),
          comoz("Matrix Reloaded (Zone 2)", "http://www.comoz.com/covers/thumbs/1250.jpg", "cover.php?id=1250&type=dvd"),
          comoz("Matrix Revolutions - édition collector", "http://www.comoz.com/covers/thumbs/1377.jpg",
                "cover.php?id=1377&type=dvd")}},
        {"CoverComoz_noResult", comozFixture("empty.html"), {}},
        {"CoverComoz_cutInsideTheSecondCover",
         comozFixture("truncated.html"),
         {comoz("Matrix", "http://www.comoz.com/covers/thumbs/311.jpg", "cover.php?id=311&type=dvd")}},
        {"CoverComoz_shorterThanTheHead",
         comozScan("<html><table>" + comozCover("Matrix", "cover.php?id=1", "t1.jpg") + "</table></html>"),
         {}},
        {"CoverComoz_titleOnTheLastSkippedCharacter", comozScan(comozTitleOnTheEdge()), {comoz("Kept", "t2.jpg", "cover.php?id=2")}},
    };
}
