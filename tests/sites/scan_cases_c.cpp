#include "scan_case.h"
#include "sites/affiches_cinema.h"
#include "sites/all_divx.h"
#include "sites/cover_comoz.h"
#include "sites/title_preparation.h"
#include "sites/vintage_movie_poster.h"

namespace {

using Pass = std::function<QList<ResultEntry>(const QString &)>;

// A pass run on a page, as its search reads it.
std::function<QList<ResultEntry>()> scan(const Pass &pass, const QByteArray &page)
{
    return [pass, page] { return pass(pageAsRead(page)); };
}

const QString kVintage = QStringLiteral("Vintage Movie Poster");
const QString kAffiches = QStringLiteral("Affiches Cinéma");
const QString kAllDivX = QStringLiteral("AllDivX");
const QString kComoz = QStringLiteral("Cover Comoz");

const Pass vintagePass = &VintageMoviePoster::hitPass;
const Pass comozPass = &CoverComoz::coverPass;

Pass affichesPass(const char *typed)
{
    return [typed](const QString &page) {
        return AffichesCinema::linkPass(page, prepareTitle(kAffiches, QString::fromUtf8(typed)));
    };
}

// The fixtures name the real site's host.
Pass allDivXPass(const char *host = "http://www.alldivx.com")
{
    return [host](const QString &page) { return AllDivX::jacketPass(page, AllDivX::jacketMarker(QString::fromLatin1(host))); };
}

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
    const Pass links = affichesPass("matrix");
    return {
        // Vintage Movie Poster: the tip's text is the title; the list's small
        // picture becomes the large one.
        {"Vintage_noHit", scan(vintagePass, fixtureFile("vintage", "empty.html")), {}},
        {"Vintage_cutInsideTheSecondHit",
         scan(vintagePass, fixtureFile("vintage", "truncated.html")),
         {vintage("Matrix, The (1999) - French Grande 47x63", "photos_gm/MX1999F.jpg")}},
        {"Vintage_markerWithoutATip", scan(vintagePass, kVintageHit + "<td bgcolor=\"#501828\">sold out</td>"), {vintageA}},
        {"Vintage_tipNeverClosed", scan(vintagePass, kVintageHit + "<td bgcolor=\"#501828\"><a onMouseOver=\"showtip('B"), {vintageA}},
        {"Vintage_tipWithoutAPicture",
         scan(vintagePass, kVintageHit + "<td bgcolor=\"#501828\"><a onMouseOver=\"showtip('B')\">B</a>"),
         {vintageA}},
        {"Vintage_pictureTooCloseToTheTip",
         scan(vintagePass, "#501828 onMouseOver=\"showtip('B')\"><img src=\"b.jpg\">" + kVintageHit),
         {vintageA}},
        {"Vintage_markersInsideOneHit", scan(vintagePass, "#501828 #501828" + kVintageHit + kVintageHit), {vintageA, vintageA}},

        // Affiches Cinéma: the index page is lower-cased, the title is looked
        // for in an accent-folded copy and shown with its accents.
        {"AffichesCinema_accentsFolded",
         scan(affichesPass("été"), fixtureFile("affichescinema", "page_e.html")),
         {affiches("été meurtrier (l')", "affiche.php?id=1010"), affiches("été en pente douce (l')", "affiche.php?id=1011")}},
        {"AffichesCinema_typedCapitalsFindNothing", scan(affichesPass("Matrix"), fixtureFile("affichescinema", "page_m.html")), {}},
        {"AffichesCinema_noLink", scan(links, fixtureFile("affichescinema", "empty.html")), {}},
        {"AffichesCinema_cutInsideTheSecondLink", scan(links, fixtureFile("affichescinema", "truncated.html")), {matrix}},
        {"AffichesCinema_headingBeforeTheLink", scan(links, "<h2>Matrix</h2>" + kAffichesLink), {matrix}},
        {"AffichesCinema_headingAfterTheLastLink", scan(links, kAffichesLink + "<h2>Matrix</h2> no more links"), {matrix}},
        {"AffichesCinema_linkWithoutTarget", scan(links, "<a href=\"affiche.php?id=1533\">Matrix</a>" + kAffichesLink), {matrix}},
        {"AffichesCinema_titleInsideALinksText",
         scan(links, "<a href=\"x\" target=\"film\">Le film Matrix</a>" + kAffichesLink),
         {matrix}},

        // AllDivX: only whole links to the site's own jackets, after the results heading.
        {"AllDivX_noResult", scan(allDivXPass(), fixtureFile("alldivx", "empty.html")), {}},
        {"AllDivX_cutInsideTheSecondLink",
         scan(allDivXPass(), fixtureFile("alldivx", "truncated.html")),
         {allDivX("Matrix", "http://www.alldivx.com/jaquette/1417.html")}},
        {"AllDivX_noHeadingScannedFromTheStart",
         scan(allDivXPass(), kAllDivXLink + "5.html\">\nFive\n</a></div></html>"),
         {allDivX("Five", "http://www.alldivx.com/jaquette/5.html")}},
        {"AllDivX_beforeTheHeadingOnly",
         scan(allDivXPass(), kAllDivXLink + "5.html\">\nFive\n</a> R&eacute;sultats de la recherche</html>"),
         {}},
        {"AllDivX_siteUnderAPath",
         scan(allDivXPass("http://www.alldivx.com/v2"),
              "de la recherche " + kAllDivXLink + "5.html\">\nFive\n</a>"
                  + "<div style=\"float:left;\"> <a href=\"http://www.alldivx.com/v2/jaquette/6.html\">\nSix\n</a></html>"),
         {allDivX("Six", "http://www.alldivx.com/v2/jaquette/6.html")}},
        {"AllDivX_markerAtTheVeryEnd", scan(allDivXPass(), "de la recherche " + kAllDivXLink), {}},
        {"AllDivX_noTextAfterTheLink", scan(allDivXPass(), "de la recherche " + kAllDivXLink + "5.html\">"), {}},

        // Cover Comoz: the white titles after the answer's head.
        {"CoverComoz_noResult", scan(comozPass, fixtureFile("covercomoz", "empty.html")), {}},
        {"CoverComoz_cutInsideTheSecondCover",
         scan(comozPass, fixtureFile("covercomoz", "truncated.html")),
         {comoz("Matrix", "http://www.comoz.com/covers/thumbs/311.jpg", "cover.php?id=311&type=dvd")}},
        {"CoverComoz_shorterThanTheHead",
         scan(comozPass, "<html><table>" + comozCover("Matrix", "cover.php?id=1", "t1.jpg") + "</table></html>"),
         {}},
        {"CoverComoz_titleOnTheLastSkippedCharacter", scan(comozPass, comozTitleOnTheEdge()), {comoz("Kept", "t2.jpg", "cover.php?id=2")}},
    };
}
