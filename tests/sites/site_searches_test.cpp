#include "scan_case.h"
#include "settings/site_addresses.h"
#include "site_test.h"

#include <QDir>

namespace {

// Texts of the table name the server: {host} is its address, {site} the
// site's own under its prefix, {name} the host and port an engine is told.
struct Page
{
    const char *path; // on the server, prefix included
    const char *file; // a fixture of the site's folder, or a page itself when it starts with '<'
};

struct Hit
{
    int index; // 1-based
    const char *title;
    int year;
    const char *key;
    const char *extra;
    const char *thumbnail; // the slot's address
};

// One site searched end to end, then a hit pressed twice.
struct SiteCase
{
    const char *name;
    const char *setting;
    const char *prefix;
    QList<int> bases;
    const char *otherSetting; // "KEY=ADDRESS", or null
    const char *folder;
    const char *realHost; // the fixtures' own address, pointed at the server...
    const char *hostTo;   // ...here
    QByteArray pageType;
    QList<Page> pages;
    const char *typed;
    bool pictures;             // pictures are among the requests compared
    QList<const char *> requests; // everything the search asked for, in order
    const char *post;          // the body of the form posted first, or null
    const char *site;
    int hits;
    bool wide;
    QList<Hit> sample;
    int slot;
    bool copy; // the second press is on the download button
    QList<const char *> retrieval; // what both presses asked for
    const char *cached;
};

void PrintTo(const SiteCase &row, std::ostream *os)
{
    *os << row.name;
}

const QByteArray kLatin1 = "text/html; charset=iso-8859-1";

const SiteCase kCases[] = {
    // The index of the title's first letter gives the links; each film page
    // gives the poster, which is the thumbnail too.
    {"AffichesCinema", "Hote-AffichesCinema", "/ac", {0}, nullptr, "affichescinema", nullptr, nullptr, "text/html",
     {{"/ac/page.php", "page_m.html"}, {"/ac/affiche.php?id=1532", "film_1532.html"},
      {"/ac/affiche.php?id=1533", "film_1533.html"}, {"/ac/affiche.php?id=1534", "film_nopicture.html"}},
     "the matrix", false,
     {"/ac/page.php?lettre=m", "/ac/affiche.php?id=1532", "/ac/affiche.php?id=1533", "/ac/affiche.php?id=1534"}, nullptr,
     "Affiches Cinéma", 3, false,
     {{1, "matrix", 0, "affiches/m/matrix_1999.jpg", "", "{site}/affiches/m/matrix_1999.jpg"},
      {2, "matrix reloaded", 0, "affiches/m/matrix_reloaded_2003.jpg", "", "{site}/affiches/m/matrix_reloaded_2003.jpg"},
      {3, "matrix revolutions", 0, "", "", ""}},
     0, true, {"/ac/affiches/m/matrix_1999.jpg", "/ac/affiches/m/matrix_1999.jpg"}, "Matrix (Affiches Cinéma).jpg"},
    // The form is posted; each hit's wide slot comes first, then its jacket
    // page names the picture, thumbnail and full picture alike, saved once.
    {"AllDivX", "Hote-AllDivX", "/alldivx", {9}, nullptr, "alldivx", "http://www.alldivx.com", "{site}", "text/html",
     {{"/alldivx/base.php", "matrix.html"}, {"/alldivx/jaquette/1417.html", "jaquette_1417.html"},
      {"/alldivx/jaquette/2230.html", "jaquette_2230.html"}, {"/alldivx/jaquette/2231.html", "jaquette_2231.html"}},
     "l'été-meurtrier", true,
     {"/alldivx/base.php?rub=site/recherche.php&var=recherche_cover", "/alldivx/jaquette/1417.html",
      "/alldivx/images/jaquettes/1417.jpg", "/alldivx/jaquette/2230.html", "/alldivx/images/jaquettes/2230.jpg",
      "/alldivx/jaquette/2231.html"},
     "nom=ete meurtrier&recherche=toutes", "AllDivX", 3, true,
     {{1, "Matrix", 0, "{site}/images/jaquettes/1417.jpg", "", "{site}/images/jaquettes/1417.jpg"},
      {3, "Matrix Revolutions - édition spéciale", 0, "", "", ""}},
     0, false, {"/alldivx/images/jaquettes/1417.jpg"}, "Matrix (AllDivX).jpg"},
    // Film pages give the thumbnails, a failed one none (not the page
    // before's); the gallery and the poster's own page give the poster.
    // Accents go out as Windows-1252 bytes, what that code page lacks as UTF-8.
    {"AlloCine", "Hote-AlloCine", "/ac", {1}, nullptr, "allocine", "http://images.allocine.fr", "{host}/img", "text/html",
     {{"/ac/recherche/", "matrix.html"}, {"/ac/film/fichefilm_gen_cfilm=19776.html", "film_19776.html"},
      {"/ac/film/galerievignette_gen_cfilm=19776.html", "gallery_19776.html"},
      {"/ac/film/fichevignette_gen_cfilm=19776&cmediafichier=18361283.html", "picture_19776.html"}},
     "amélie & #1 ł", false,
     {"/ac/recherche/?motcle=am%E9lie%20%26%20%231%20%C5%82&rub=1&page=1", "/ac/film/fichefilm_gen_cfilm=19776.html",
      "/ac/film/fichefilm_gen_cfilm=36578.html", "/ac/film/fichefilm_gen_cfilm=36579.html"},
     nullptr, "AlloCiné", 3, false,
     {{1, "matrix", 1999, "{host}/img/medias/nmedia/18/35/13/82/rsz/vignettes/120x160px/18361283.jpg", "19776.html",
       "{host}/img/medias/nmedia/18/35/13/82/rsz/vignettes/120x160px/18361283.jpg"},
      {2, "matrix reloaded", 2003, "", "36578.html", ""}},
     0, false,
     {"/ac/film/galerievignette_gen_cfilm=19776.html", "/ac/film/fichevignette_gen_cfilm=19776&cmediafichier=18361283.html",
      "/img/medias/nmedia/18/35/13/82/18361283.jpg"},
     "Matrix [1999]  (AlloCiné).jpg"},
    // Every film's poster page first, then the thumbnails; a poster's own
    // page gives its full picture, read again at every press.
    {"CinEmotions", "Hote-CinEmotions", "/ce", {12}, nullptr, "cinemotions", nullptr, nullptr, kLatin1,
     {{"/ce/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/matrix", "search_matrix.html"},
      {"/ce/film/1421/matrix/affiches.html", "affiches_matrix.html"},
      {"/ce/film/1987/matrix-reloaded/affiches.html", "affiches_reloaded.html"},
      {"/ce/film/1421/matrix/affiche-5012.html", "affiche_5012.html"}},
     "matrix", false,
     {"/ce/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/matrix", "/ce/film/1421/matrix/affiches.html",
      "/ce/film/1987/matrix-reloaded/affiches.html"},
     nullptr, "CinEmotions", 5, false,
     {{1, "Matrix", 0, "/data/films/1421/vignettes/5012.jpg", "/film/1421/matrix/affiche-5012.html",
       "{site}/data/films/1421/vignettes/5012.jpg"},
      {5, "Matrix Reloaded", 0, "/data/films/1987/vignettes/6121.jpg", "/film/1987/matrix-reloaded/affiche-6121.html",
       "{site}/data/films/1987/vignettes/6121.jpg"}},
     0, false,
     {"/ce/film/1421/matrix/affiche-5012.html", "/ce/data/films/1421/affiches/5012.jpg",
      "/ce/film/1421/matrix/affiche-5012.html", "/ce/data/films/1421/affiches/5012.jpg"},
     "Matrix (CinEmotions).jpg"},
    // Matrix (1245): three posters; Matrix Reloaded (2210): four, then one;
    // Animatrix (2388): none. Each thumbnail is waited for before the next
    // poster; the full picture is a "G" for the "P", fetched every time.
    {"CineMovies", "Hote-CineMovies", "/cm", {3}, nullptr, "cinemovies", nullptr, nullptr, kLatin1,
     {{"/cm/search-1-matrix-0.html", "search_matrix.html"}, {"/cm/fiche_affiches.php", "posters_none.html"},
      {"/cm/fiche_affiches.php?IDfilm=1245&num=0", "posters_1245_0.html"},
      {"/cm/fiche_affiches.php?IDfilm=2210&num=0", "posters_2210_0.html"},
      {"/cm/fiche_affiches.php?IDfilm=2210&num=4", "posters_2210_4.html"}},
     "matrix", true,
     {"/cm/search-1-matrix-0.html", "/cm/fiche_affiches.php?IDfilm=1245&num=0", "/cm/images/data/affiches/1999/P_2471.jpg",
      "/cm/images/data/affiches/1999/P_2472.jpg", "/cm/images/data/affiches/1999/P_2473.jpg",
      "/cm/fiche_affiches.php?IDfilm=1245&num=4", "/cm/fiche_affiches.php?IDfilm=2210&num=0",
      "/cm/images/data/affiches/2003/P_3301.jpg", "/cm/images/data/affiches/2003/P_3302.jpg",
      "/cm/images/data/affiches/2003/P_3303.jpg", "/cm/images/data/affiches/2003/P_3304.jpg",
      "/cm/fiche_affiches.php?IDfilm=2210&num=4", "/cm/images/data/affiches/2003/P_3305.jpg",
      "/cm/fiche_affiches.php?IDfilm=2210&num=8", "/cm/fiche_affiches.php?IDfilm=2388&num=0"},
     nullptr, "CineMovies", 8, false,
     {{1, "matrix - Affiche française", 1999, "1999/P_2471.jpg", "2471", "{site}/images/data/affiches/1999/P_2471.jpg"},
      {8, "matrix reloaded - Affiche allemande", 2003, "2003/P_3305.jpg", "3305", "{site}/images/data/affiches/2003/P_3305.jpg"}},
     0, false, {"/cm/images/data/affiches/1999/G_2471.jpg", "/cm/images/data/affiches/1999/G_2471.jpg"},
     "Matrix - affiche française [1999]  (CineMovies).jpg"},
    // Thumbnails and the poster (a ".jpeg" kept as ".jpg", fetched once) come
    // from a picture server of their own.
    {"Cinefil", "Hote-Cinefil", "/cf", {2}, "Hote-CinefilImages={host}/cfimg", "cinefil", nullptr, nullptr, "text/html",
     {{"/cf/cinefil2005/CFM_Recherches/filmsGRIS.cfm", "matrix.html"}},
     "l'été meurtrier", false, {"/cf/cinefil2005/CFM_Recherches/filmsGRIS.cfm?lachaine2=ete%20meurtrier&avecaffiche=1"},
     nullptr, "Cinefil", 4, false,
     {{1, "matrix", 1999, "4177", "", "{host}/cfimg/ImagesCinefil/AffichePetitFormat/4177.jpeg"},
      {4, "animatrix", 0, "12040", "", "{host}/cfimg/ImagesCinefil/AffichePetitFormat/12040.jpeg"}},
     0, false, {"/cfimg/ImagesCinefil/AfficheGrandFormat/a4177.jpeg"}, "Matrix [1999]  (Cinefil).jpg"},
    // The form is posted and the answer names each cover's thumbnail; the
    // full picture is read from the cover's page again at every press.
    {"CoverComoz", "Hote-CoverComoz", "/covercomoz", {13}, nullptr, "covercomoz", "http://www.comoz.com", "{site}", "text/html",
     {{"/covercomoz/recherche.html", "matrix.html"}, {"/covercomoz/cover.php", "cover_311.html"}},
     "l'été meurtrier", false, {"/covercomoz/recherche.html"}, "search=l ete meurtrier", "Cover Comoz", 3, false,
     {{1, "Matrix", 0, "{site}/covers/thumbs/311.jpg", "cover.php?id=311&type=dvd", "{site}/covers/thumbs/311.jpg"},
      {3, "Matrix Revolutions - édition collector", 0, "{site}/covers/thumbs/1377.jpg", "cover.php?id=1377&type=dvd",
       "{site}/covers/thumbs/1377.jpg"}},
     0, true,
     {"/covercomoz/cover.php?id=311&type=dvd", "/covercomoz/covers/311.jpg", "/covercomoz/cover.php?id=311&type=dvd",
      "/covercomoz/covers/311.jpg"},
     "Matrix (Cover Comoz).jpg"},
    // The film page of 1012 shows a cover, that of 9120 shows none and that
    // of 7351 does not come. The cover is the full picture too, then cached.
    {"DvdFr", "Hote-DvdFr", "/dvdfr", {4}, nullptr, "dvdfr", nullptr, nullptr, "text/html",
     {{"/dvdfr/search/search.php", "matrix.html"}, {"/dvdfr/dvd/dvd.php?id=1012", "film-1012.html"},
      {"/dvdfr/dvd/dvd.php?id=9120", "film-9120.html"}},
     "l'été matrix", false,
     {"/dvdfr/search/search.php?multiname=ete+matrix", "/dvdfr/dvd/dvd.php?id=1012", "/dvdfr/dvd/dvd.php?id=7351",
      "/dvdfr/dvd/dvd.php?id=9120"},
     nullptr, "DvdFr", 3, false,
     {{1, "Matrix", 1999, "{site}/images/dvd/cover_200x280/1/1012.jpg", "dvd/dvd.php?id=1012",
       "{site}/images/dvd/cover_200x280/1/1012.jpg"},
      {2, "Matrix Reloaded (édition 2 DVD)", 2003, "{site}/images/dvd/nocover_200x280.jpg", "dvd/dvd.php?id=7351",
       "{site}/images/dvd/nocover_200x280.jpg"},
      {3, "Matrix - Coffret l'intégrale", 0, "{site}/images/dvd/nocover_200x280.jpg", "dvd/dvd.php?id=9120",
       "{site}/images/dvd/nocover_200x280.jpg"}},
     0, false, {"/dvdfr/images/dvd/cover_200x280/1/1012.jpg"}, "Matrix [1999]  (DvdFr).jpg"},
    // The jacket pages, then the stickers; each picture is fetched once.
    {"HDCovers", "Hote-HDCovers", "/hd", {10}, nullptr, "hdcovers", nullptr, nullptr, "text/html",
     {{"/hd/search.php?query=L+ete+matrix+bis&mid=5&action=showall&andor=AND&start=0", "matrix-jaquettes-0.html"},
      {"/hd/search.php?query=L+ete+matrix+bis&mid=5&action=showall&andor=AND&start=20", "matrix-jaquettes-20.html"},
      {"/hd/search.php?query=L+ete+matrix+bis&mid=6&action=showall&andor=AND&start=0", "matrix-stickers-0.html"}},
     "L'été matrix-bis", false,
     {"/hd/search.php?query=L+ete+matrix+bis&mid=5&action=showall&andor=AND&start=0",
      "/hd/search.php?query=L+ete+matrix+bis&mid=5&action=showall&andor=AND&start=20",
      "/hd/search.php?query=L+ete+matrix+bis&mid=6&action=showall&andor=AND&start=0"},
     nullptr, "HD Covers", 4, true,
     {{1, "matrix", 0, "10234", "Jaquettes", "{site}/uploads/thumbs/10234.jpg"},
      {2, "matrix reloaded - zone 2 édition collector", 0, "11872", "Jaquettes", "{site}/uploads/thumbs/11872.jpg"},
      {3, "matrix revolutions & animatrix", 0, "12906", "Jaquettes", "{site}/uploads/thumbs/12906.jpg"},
      {4, "matrix - disque 1", 0, "20517", "Stickers", "{site}/uploads/thumbs0/20517.jpg"}},
     3, false, {"/hd/uploads/photos0/20517.jpg"}, "Matrix - disque 1 (HD Covers).jpg"},
    // A search engine finds the poster pages; each gives its poster and its
    // versions, fetched again at every press.
    {"IMPAwards", "Hote-IMPAwards", "/imp", {5}, "Hote-MoteurRecherche={host}/engine", "impawards",
     "http://www.impawards.com", "{site}", "text/html",
     {{"/engine/custom", "search_matrix.html"}, {"/imp/1999/matrix.html", "matrix.html"},
      {"/imp/2003/matrix_reloaded.html", "matrix_reloaded.html"},
      {"/imp/2003/matrix_revolutions.html", "matrix_revolutions.html"}},
     "l'été matrix", false,
     {"/engine/custom?domains={name}&sitesearch={name}&num=100"
      "&q=%22Comments+on+the+Poster%22+%2B+%22contact+the%22+%2B+ete%20matrix",
      "/imp/1999/matrix.html", "/imp/2003/matrix_reloaded.html", "/imp/2003/matrix_revolutions.html"},
     nullptr, "IMP Awards", 6, false,
     {{1, "the matrix", 1999, "{site}/1999/posters/matrix.jpg", "{site}/1999/thumbs/imp_matrix.jpg",
       "{site}/1999/thumbs/imp_matrix.jpg"},
      {3, "the matrix", 1999, "{site}/1999/posters/matrix_ver3.jpg", "{site}/1999/thumbs/imp_matrix_ver3.jpg",
       "{site}/1999/thumbs/imp_matrix_ver3.jpg"},
      {5, "the matrix reloaded", 2003, "{site}/2003/posters/matrix_reloaded_ver2.jpg",
       "{site}/2003/thumbs/imp_matrix_reloaded_ver2.jpg", "{site}/2003/thumbs/imp_matrix_reloaded_ver2.jpg"},
      {6, "the matrix revolutions", 2003, "{site}/2003/posters/matrix_revolutions.jpg",
       "{site}/2003/thumbs/imp_matrix_revolutions.jpg", "{site}/2003/thumbs/imp_matrix_revolutions.jpg"}},
     1, false, {"/imp/1999/posters/matrix_ver2.jpg", "/imp/1999/posters/matrix_ver2.jpg"},
     "The matrix [1999]  (IMP Awards).jpg"},
    // Both bases read the result page; a thumbnail is filed under its title's
    // letter when the title ends with a bracket, else its key's.
    {"MovieCovers", "Hote-MovieCovers", "/mc", {11, 6}, nullptr, "moviecovers", nullptr, nullptr, "text/html",
     {{"/mc/multicrit.html", "<a href=\"/film/titre_PARRAIN.html\">PARRAIN (LE)</a> (1972)"
                             "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)"}},
     "L'été & co", false,
     {"/mc/multicrit.html?titre=L'%E9t%E9%20%26%20co&slow=1&listes=1", "/mc/multicrit.html?titre=L'%E9t%E9%20%26%20co&slow=1&listes=1"},
     nullptr, "MovieCovers", 4, false,
     {{1, "PARRAIN (LE)", 1972, "PARRAIN", "JPG", "{site}/DATA/thumbs/films-p/PARRAIN.jpg"},
      {2, "MATRIX", 1999, "MATRIX", "JPG", "{site}/DATA/thumbs/films-m/MATRIX.jpg"},
      {3, "PARRAIN (LE)", 1972, "PARRAIN", "PDF", "{site}/DATA/thumbs/films-p/PARRAIN.jpg"}},
     1, false, {"/mc/getjpg.html/MATRIX.jpg"}, "Matrix [1999]  (MovieCovers).jpg"},
    // The poster's page is read, and the picture fetched, at every press.
    {"MoviePoster", "Hote-MoviePoster", "/mp", {7}, nullptr, "movieposter", "http://www.movieposter.com", "{site}", "text/html",
     {{"/mp/cgi-bin/mpw8/search.pl", "search_matrix.html"}, {"/mp/poster/MPW-25871/Matrix.html", "poster_25871.html"}},
     "l'été matrix", false, {"/mp/cgi-bin/mpw8/search.pl?pl=kb&ti=l'ete%20matrix&prl=Greater&prh=1&th=y&rs=100&sv=0&page=0"},
     nullptr, "MoviePoster", 3, false,
     {{1, "The Matrix", 0, "{site}/poster/MPW-25871/Matrix.html", "images/thumbs/MPW-25871.jpg",
       "{site}/images/thumbs/MPW-25871.jpg"},
      {3, "The Matrix Revolutions & Animatrix", 0, "{site}/poster/MPW-31977/Matrix_Revolutions.html",
       "images/thumbs/MPW-31977.jpg", "{site}/images/thumbs/MPW-31977.jpg"}},
     0, false,
     {"/mp/poster/MPW-25871/Matrix.html", "/mp/posters/archive/main/26/MPW-25871", "/mp/poster/MPW-25871/Matrix.html",
      "/mp/posters/archive/main/26/MPW-25871"},
     "The matrix (MoviePoster).jpg"},
    // The hits show the large picture, reduced: the thumbnail and the full
    // picture share one address, fetched again at every press.
    {"VintageMoviePoster", "Hote-Vintage", "/vmp", {8}, nullptr, "vintage", nullptr, nullptr, "text/html",
     {{"/vmp/result_key2_bis.asp", "search_matrix.html"}},
     "l'été meurtrier", false, {"/vmp/result_key2_bis.asp?page2=1&motclef=ete+meurtrier&prix=0&B1=See+Results"}, nullptr,
     "Vintage Movie Poster", 3, false,
     {{1, "Matrix, The (1999) - French Grande 47x63", 0, "photos_gm/MX1999F.jpg", "", "{site}/photos_gm/MX1999F.jpg"},
      {2, "Matrix, The (1999) - US One Sheet & Teaser", 0, "photos_gm/MX1999US.jpg", "", "{site}/photos_gm/MX1999US.jpg"},
      {3, "Matrix Reloaded, The (2003) - Italian 2 Fogli", 0, "photos_gm/MXR2003I.jpg", "", "{site}/photos_gm/MXR2003I.jpg"}},
     0, false, {"/vmp/photos_gm/MX1999F.jpg", "/vmp/photos_gm/MX1999F.jpg"},
     "Matrix, the (1999) - french grande 47x63 (Vintage Movie Poster).jpg"},
};

class SiteSearchTest : public SiteTest, public ::testing::WithParamInterface<SiteCase>
{
protected:
    QString expand(const char *text) const
    {
        return QString::fromUtf8(text)
            .replace(QStringLiteral("{site}"), siteUrl({}))
            .replace(QStringLiteral("{host}"), m_server.url())
            .replace(QStringLiteral("{name}"), SiteAddresses::hostName(m_server.url()));
    }
    QList<QByteArray> expanded(const QList<const char *> &paths) const
    {
        QList<QByteArray> list;
        for (const char *path : paths)
            list << expand(path).toUtf8();
        return list;
    }
    FixtureServer::Reply reply(const SiteCase &c, const char *file) const
    {
        QByteArray body = file[0] == '<' ? QByteArray(file) : fixtureFile(QString::fromLatin1(c.folder), QString::fromLatin1(file));
        if (c.realHost)
            body.replace(c.realHost, expand(c.hostTo).toUtf8());
        return pageReply(body, c.pageType);
    }
};

TEST_P(SiteSearchTest, findsTheHitsAndFetchesThePicture)
{
    const SiteCase &c = GetParam();
    playSite(QString::fromLatin1(c.setting), QString::fromLatin1(c.prefix));
    if (c.otherSetting) {
        const QStringList setting = QString::fromLatin1(c.otherSetting).split(u'=');
        m_test.store.EcritValeur(setting[0], expand(setting[1].toLatin1()));
    }
    for (const Page &page : c.pages)
        m_server.setReply(QString::fromLatin1(page.path), reply(c, page.file));
    // Every picture is there.
    const QList<QByteArray> pictures = expanded(c.retrieval);
    m_server.setFallback([pictures](const FixtureServer::Request &request) {
        const bool picture = request.path.endsWith(".jpg") || request.path.endsWith(".jpeg") || pictures.contains(request.path);
        return picture ? pictureReply(jpegBytes()) : notFoundReply();
    });
    const QString folder = m_test.dir.filePath(QStringLiteral("downloads"));
    QDir().mkpath(folder);
    program().retrieval().setSaveFolder(folder);
    program().setTitle(QString::fromUtf8(c.typed));
    searchBases(c.bases);

    QList<QByteArray> requests = m_server.requestedPaths();
    if (!c.pictures)
        requests.removeIf([](const QByteArray &path) { return path.endsWith(".jpg") || path.endsWith(".jpeg"); });
    EXPECT_EQ(requests, expanded(c.requests));
    if (c.post) {
        const FixtureServer::Request post = m_server.requests().value(0);
        EXPECT_EQ(post.method, "POST");
        EXPECT_EQ(post.header("Host"), "127.0.0.1:" + QByteArray::number(m_server.port()));
        EXPECT_EQ(post.body, c.post);
    }
    ASSERT_EQ(program().results().NbResultats(), c.hits);
    ASSERT_EQ(program().results().NbVignettes(), c.hits);
    for (int i = 0; i < c.hits; ++i)
        EXPECT_EQ(slot(i).wide, c.wide) << i;
    for (const Hit &expected : c.sample) {
        SCOPED_TRACE(expected.index);
        EXPECT_EQ(hit(expected.index), hitOf(QString::fromUtf8(expected.title), expected.year, expand(expected.key),
                                             expand(expected.extra), QString::fromUtf8(c.site)));
        EXPECT_EQ(slot(expected.index - 1).thumbnailUrl, expand(expected.thumbnail));
    }
    EXPECT_FALSE(slot(0).thumbnail.isNull());

    m_server.clearRequests();
    retrieve(c.slot, false);
    retrieve(c.slot, c.copy);
    EXPECT_EQ(m_server.requestedPaths(), expanded(c.retrieval));
    const QString local = m_test.cached(QString::fromUtf8(c.cached));
    const QString viewer = QStringLiteral("viewer %1 #%2").arg(local).arg(c.slot);
    const QString second = c.copy ? QStringLiteral("copy %1 -> %2").arg(local, program().retrieval().lastCopy()) : viewer;
    EXPECT_EQ(m_actions.calls, (QStringList{viewer, second}));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
}

INSTANTIATE_TEST_SUITE_P(Sites, SiteSearchTest, ::testing::ValuesIn(kCases),
                         [](const auto &each) { return std::string(each.param.name); });

} // namespace
