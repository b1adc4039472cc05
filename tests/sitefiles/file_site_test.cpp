#include "await_task.h"
#include "child_process.h"
#include "disk_trouble.h"
#include "settings/app_paths.h"
#include "sitefiles/file_site.h"
#include "sitefiles/site_file_reader.h"
#include "site_test.h"
#include "sites/cover_comoz.h"
#include "sites/movie_covers.h"

#include <QUrl>
#include <memory>

namespace {

// A site file run as a base of its own, over pages the test server plays.
class FileSiteTest : public SiteTest
{
protected:
    static constexpr int kBase = 0;

    void load(const QByteArray &text, int base = kBase)
    {
        const SiteFileReading reading = readSiteText(text, QStringLiteral("site.yaml"));
        ASSERT_TRUE(reading.usable()) << reading.errors.first().text().toStdString();
        m_site = std::make_unique<FileSite>(reading.site, base);
        FileSite *site = m_site.get();
        program().setSearch(base, [site, base](SiteSearch &search) { return site->search(search, base); }, site->name());
        program().retrieval().setResolver(base, [site](PictureRequest &request) { return site->picture(request); });
        m_server.setFallback([](const FixtureServer::Request &request) {
            return request.path.endsWith(".jpg") ? pictureReply(jpegBytes()) : notFoundReply();
        });
    }
    // Each hit as "title|year|thumbnail address".
    QStringList hits()
    {
        QStringList found;
        for (int i = 1; i <= program().results().NbResultats(); ++i)
            found << QStringLiteral("%1|%2|%3").arg(hit(i).Title).arg(hit(i).Year).arg(slot(i - 1).thumbnailUrl);
        return found;
    }
    // Each hit as "title|year|thumbnail address|the full picture's address that `site` gives".
    QStringList hitsAndPictures(SiteAdapter &site)
    {
        QStringList found = hits();
        for (int i = 0; i < found.size(); ++i) {
            QString name;
            PictureRequest request(hit(i + 1), name, program().state().DossierTemp, program().download(), program().settings(),
                                   [this](const QString &setting) { return program().siteAddress(setting); });
            found[i] += u'|' + awaitTask(site.picture(request)).value_or(PictureSource()).url;
        }
        return found;
    }
    QStringList paths()
    {
        QStringList found;
        for (const QByteArray &path : m_server.requestedPaths())
            found << QString::fromUtf8(path).replace(m_server.url(), QStringLiteral("~"));
        return found;
    }

    // The sample HTML site's pages; the first one answers after `delayMs`.
    void playHtmlSite(int delayMs = 0)
    {
        playSite(QStringLiteral("Hote-sample-html"), QStringLiteral("/html"));
        FixtureServer::Reply first = pageReply(fixtureFile("site-files", "results-1.html"));
        first.delayMs = delayMs;
        answer(QStringLiteral("/search?q=matrix&page=1"), first);
        answer(QStringLiteral("/results-2.html"), fixtureFile("site-files", "results-2.html"));
        for (const QString film : {"m1", "m2", "m3"})
            answer("/film/" + film + ".html", fixtureFile("site-files", "film-" + film + ".html"));
        m_server.setFallback([](const FixtureServer::Request &request) {
            return request.path.endsWith(".jpg") ? pictureReply(jpegBytes()) : notFoundReply();
        });
    }

    std::unique_ptr<FileSite> m_site;
};

TEST_F(FileSiteTest, anHtmlSiteFollowsItsPagesAndTakesThePictureFromTheFilmPage)
{
    playHtmlSite();
    load(fixtureFile("site-files", "html.yaml"));
    searchBases({kBase});

    const QString thumbs = siteUrl("/thumbs/");
    EXPECT_EQ(hits(), (QStringList{"Matrix & Co|1999|" + thumbs + "m1.jpg", "Matrix Reloaded|0|" + thumbs + "m2.jpg",
                                   "Matrix Révolutions|2003|" + thumbs + "m3.jpg"}));
    EXPECT_EQ(paths(), (QStringList{"/html/search?q=matrix&page=1", "/html/results-2.html", "/html/film/m1.html",
                                    "/html/film/m2.html", "/html/film/m3.html", "/html/thumbs/m1.jpg",
                                    "/html/thumbs/m2.jpg", "/html/thumbs/m3.jpg"}));
    m_server.clearRequests();
    retrieve(1, false);
    EXPECT_EQ(paths(), QStringList("/html/big/m2.jpg"));
}

TEST_F(FileSiteTest, aJsonSitePostsItsFormAndReadsItsAnswer)
{
    playSite(QStringLiteral("Hote-sample-json"), QStringLiteral("/json"));
    // A second page, posted as soon as the first one's answer is in.
    load(fixtureFile("site-files", "json.yaml").replace("\npicture:", "\n  pages: {address: \"api/search?p=2\", max: 2}\npicture:"));
    program().setTitle(QStringLiteral("la vie & co"));
    answer(QStringLiteral("/api/search"), pageReply(fixtureFile("site-files", "answer.json"), "application/json"));
    answer(QStringLiteral("/api/search?p=2"), pageReply("{}", "application/json"));
    searchBases({kBase});

    EXPECT_EQ(m_server.requests().value(0).body, "query=la%20vie%20%26%20co&page=1");
    EXPECT_EQ(m_server.requests().value(1).body, "query=la%20vie%20%26%20co&page=2");
    const QString thumbs = siteUrl("/api/thumb/");
    EXPECT_EQ(hits(), (QStringList{"The Matrix|1999|" + thumbs + "603.jpg", "The Matrix: Ré-édition|0|" + thumbs + "604.jpg"}));
    m_server.clearRequests();
    retrieve(0, false);
    EXPECT_EQ(paths(), QStringList("/json/api/poster/603.jpg"));

    // An https home is posted to over TLS or not at all: the server, which
    // speaks plain HTTP, never sees the form.
    m_server.clearRequests();
    m_test.store.EcritValeur("Hote-sample-json", siteUrl({}).replace("http:", "https:"));
    searchBases({kBase});
    EXPECT_EQ(program().results().NbResultats(), 0);
    for (const FixtureServer::Request &request : m_server.requests())
        EXPECT_FALSE(request.body.contains("query=")) << request.body.toStdString();
    EXPECT_FALSE(program().run()->reports().value(0).isSound());
}

// A file written from the reference alone, for an older shape of site: a
// Windows-1252 table, the year in the title cell, thumbnails on an image
// host, the full picture named after the thumbnail, numbered pages.
TEST_F(FileSiteTest, aNewcomersFileReadsATableOverNumberedPages)
{
    playSite(QStringLiteral("Hote-cine-retro"), QStringLiteral("/catalogue"));
    m_test.store.EcritValeur(QStringLiteral("Hote-cine-retro-images"), m_server.url());
    load(fixtureFile("newcomer", "newcomer.yaml"));
    program().setTitle(QStringLiteral("Léon"));
    const QByteArray images = "127.0.0.1:" + QByteArray::number(m_server.port());
    for (const auto &[query, page] : {std::pair{"?titre=L%E9on", "results-1.html"}, {"?titre=L%E9on&p=2", "results-2.html"},
                                      {"", "empty.html"}})
        answer(QStringLiteral("/chercher.php") + query, fixtureFile("newcomer", page).replace("img.cine-retro.example", images));
    searchBases({kBase});

    const QString small = m_server.url("/small/"), large = m_server.url("/large/");
    EXPECT_EQ(hitsAndPictures(*m_site),
              (QStringList{"Léon|1994|" + small + "1041.jpg|" + large + "1041.jpg",
                           "Léon, version intégrale|1996|" + small + "1042.jpg|" + large + "1042.jpg",
                           "Le Léopard & le Lion|0|" + small + "1077.jpg|" + large + "1077.jpg",
                           "Léon Morin, prêtre|1961|" + small + "1103.jpg|" + large + "1103.jpg"}));
}

// The sample sites' files run against pellicam-sample-sites: each hit with
// its thumbnail and the full picture a press asks for; then every way the
// program fails a site ends that file's search in its failed report, no hit.
TEST_F(FileSiteTest, theSampleFilesFindTheSampleSitesHitsAndReportEachFailure)
{
    const struct
    {
        const char *id;
        const char *typed;
        QStringList hits; // "title|year|thumbnail|full picture", the addresses' paths
    } searches[] = {
        {"afficheraie", "matrix",
         {"Matrix|1999|/afficheraie/vignettes/matrix-1999.jpg|/afficheraie/grandes/matrix-1999.jpg",
          "Matrix|1999|/afficheraie/vignettes/matrix-1999-teaser.jpg|/afficheraie/grandes/matrix-1999-teaser.jpg",
          "Matrix Reloaded|2003|/afficheraie/vignettes/matrix-reloaded-2003.jpg|/afficheraie/grandes/matrix-reloaded-2003.jpg"}},
        {"afficheraie", "été",
         {"L'Été meurtrier|1983|/afficheraie/vignettes/ete-meurtrier-1983.jpg|/afficheraie/grandes/ete-meurtrier-1983.jpg"}},
        {"frameshelf", "godfather",
         {"The Godfather|1972|/frameshelf/api/posters/w185/4106.jpg|/frameshelf/api/posters/original/4106.jpg",
          "The Godfather Part II|1974|/frameshelf/api/posters/w185/4107.jpg|/frameshelf/api/posters/original/4107.jpg"}},
    };
    const char *failures[][2] = {{"--refuse", "unreachable"}, {"--error", "http-error"}, {"--stall", "timed-out"},
                                 {"--no-markers", "no-hit"}};
    const QString log = m_test.dir.filePath(QStringLiteral("requests.log"));
    program().retrieval().setOutputActions(&m_actions);
    const auto search = [&](ChildProcess &sites, const QStringList &args, const char *id, const char *typed) {
        if (sites.process().state() == QProcess::NotRunning) {
            sites.start(QStringList{"--log", log} + args);
            QByteArray out;
            while (!out.contains("Ready\n") && sites.process().waitForReadyRead(10000))
                out += sites.process().readAllStandardOutput();
            for (const QString &line : QString::fromUtf8(out).split(u'\n'))
                if (line.startsWith(QStringLiteral("Hote-")))
                    m_test.store.EcritValeur(line.section(u'=', 0, 0), line.section(u'=', 1));
        }
        load(contents(AppPaths::sampleSiteFiles() + u'/' + QLatin1StringView(id) + QStringLiteral(".yaml")));
        program().setTitle(QString::fromUtf8(typed));
        searchBases({kBase});
    };

    ChildProcess sites(QStringLiteral(PELLICAM_SAMPLE_SITES));
    for (const auto &s : searches) {
        SCOPED_TRACE(s.typed);
        search(sites, {}, s.id, s.typed);
        QStringList found;
        for (int i = 1; i <= program().results().NbResultats(); ++i) {
            retrieve(i - 1, false);
            const QString asked = QString::fromUtf8(contents(log).trimmed().split('\n').last().split(' ').last());
            found << QStringLiteral("%1|%2|%3|%4").arg(hit(i).Title, QString::number(hit(i).Year),
                                                      QUrl(slot(i - 1).thumbnailUrl).path(), asked);
        }
        EXPECT_EQ(found, s.hits);
    }
    // Each run fails both sites, each in another way.
    for (int k = 0; k < 4; ++k) {
        ChildProcess failing(QStringLiteral(PELLICAM_SAMPLE_SITES));
        for (int site : {0, 2}) {
            const char *const *failure = failures[(k + site / 2) % 4];
            SCOPED_TRACE(std::string(searches[site].id) + ' ' + failure[0]);
            search(failing, {failures[k][0], "afficheraie", failures[(k + 1) % 4][0], "frameshelf"}, searches[site].id,
                   searches[site].typed);
            EXPECT_EQ(program().results().NbResultats(), 0);
            EXPECT_EQ(SiteReport::word(program().run()->reports().value(0).outcome), failure[1]);
        }
    }
}

// Two built-in sites written as files find, over the pages of their own
// tests, what their code finds.
TEST_F(FileSiteTest, aBuiltInSiteWrittenAsAFileFindsWhatItsCodeFinds)
{
    struct Case
    {
        const char *folder;
        std::shared_ptr<SiteAdapter> code;
        int base;
        const char *setting;
        const char *results; // each of `pages` is played there in turn
        QStringList pages;
        const char *realHost = nullptr; // written by the pages, moved to the server
        const char *picturePage = nullptr;
        const char *picturePageFile = nullptr;
    };
    const Case cases[] = {
        {"moviecovers", std::make_shared<MovieCovers>(), MovieCovers::kJpgBase, "Hote-MovieCovers", "/multicrit.html",
         {"matrix.html", "parrain.html", "truncated.html"}},
        {"covercomoz", std::make_shared<CoverComoz>(), CoverComoz::kBase, "Hote-CoverComoz", "/recherche.html",
         {"matrix.html", "truncated.html", "empty.html"}, "http://www.comoz.com", "/cover.php", "cover_311.html"},
    };
    playSite(QStringLiteral("Hote-none"), {});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        m_prefix = u'/' + QString::fromLatin1(c.folder);
        m_test.store.EcritValeur(c.setting, siteUrl({}));
        const auto played = [&](const QString &file) {
            const QByteArray page = fixtureFile(c.folder, file);
            return c.realHost ? QByteArray(page).replace(c.realHost, siteUrl({}).toUtf8()) : page;
        };
        if (c.picturePage)
            answer(c.picturePage, played(c.picturePageFile));
        QList<QStringList> expected;
        for (const QString &page : c.pages) {
            answer(c.results, played(page));
            searchBases({c.base});
            expected << hitsAndPictures(*c.code);
        }
        EXPECT_EQ(expected.first().size(), 3);
        load(fixtureFile("site-files/builtin", QString::fromLatin1(c.folder) + ".yaml"), c.base);
        for (qsizetype i = 0; i < c.pages.size(); ++i) {
            answer(c.results, played(c.pages[i]));
            searchBases({c.base});
            EXPECT_EQ(hitsAndPictures(*m_site), expected[i]) << c.pages[i].toStdString();
        }
    }
}

// A file and its pages are as untrusted as each other: every limit holds
// whatever they say. "{port}" in a page is the server's port.
TEST_F(FileSiteTest, aHostileFileOrPageIsHeldToItsLimits)
{
    struct Case
    {
        const char *what;
        const char *search; // the file from its rows on
        const char *row;
        int rows;
        int hits;
        int requests;
        bool redirected = false; // the rows are one redirect away, on a host not listed
    };
    const char *fields = "  rows: {between: [<li>, </li>]}\n  fields:\n    title: {between: [<b>, </b>]}\n"
                         "    thumbnail: {between: [\"src=\", \";\"], filters: [absolute]}\n"
                         "    link: {between: [\"href=\", \";\"], filters: [absolute]}\n";
    const char *filmPage = "film-page:\n  address: \"{link}\"\n  picture: {between: [\"src=\", \";\"]}\n";
    const Case cases[] = {
        {"addresses that are not http", "", "<li><b>A</b>src=javascript:alert(1);href=file:///etc/passwd;</li>", 1, 1, 1},
        {"a host not listed", "  pages: {next: {between: [\"next=\", \";\"]}, max: 2}\n",
         "<li><b>A</b>src=http://localhost:{port}/t.jpg;href=http://localhost:{port}/f;</li>"
         "next=http://localhost:{port}/h/s;",
         1, 1, 1},
        {"a redirect to a host not listed", "", "<li><b>A</b></li>", 1, 0, 1, true},
        {"a page without rows", "  pages: {address: \"p{page}\", max: 3}\n", "<li><b>A</b></li>", 1, 1, 2},
        {"too many requests", "", "<li><b>A</b>href=f;</li>", 40, 40, FileSite::kMaxRequests},
        {"a regex that backtracks", "", "<li><b>xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxz y</b></li>", 1, 1, 1},
    };
    playSite(QStringLiteral("Hote-h"), QStringLiteral("/h"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_server.clearRequests();
        QByteArray file = "format: 1\nid: h\nname: H\nlanguage: fr\nkind: posters\nhome: http://h.example/\n"
                          "search:\n  address: \"s?q={title}\"\n";
        file += QByteArray(c.search).prepend(fields) + filmPage;
        if (QByteArrayView(c.what).startsWith("a regex"))
            file.replace("{between: [<b>, </b>]}", "{regex: \"(x+x+)+y\"}");
        load(file);
        const QByteArray port = QByteArray::number(m_server.port());
        answer(c.redirected ? QStringLiteral("/t") : QStringLiteral("/s"), QByteArray(c.row).repeated(c.rows).replace("{port}", port));
        FixtureServer::Reply redirect = statusReply(302);
        redirect.headers = {{"Location", "http://localhost:" + port + "/h/t"}};
        if (c.redirected)
            answer(QStringLiteral("/s"), redirect);
        searchBases({kBase});
        EXPECT_EQ(program().results().NbResultats(), c.hits);
        EXPECT_EQ(m_server.requests().size(), c.requests) << paths().join(' ').toStdString();
    }
}

// The site folder read again while the program runs, as the selection
// window's reload does. A reload during a search waits for its end. The hits
// on show were found by the file read before: pressed after that file is
// gone, one still fetches its picture the way that file said.
TEST_F(FileSiteTest, aReloadRunsTheFilesOfNowWhileTheHitsKeepTheirSite)
{
    playHtmlSite(300);
    QTemporaryDir folder;
    Assembly &assembly = m_test.assembly;
    SiteCatalogue &catalogue = program().catalogue();
    m_test.store.EcritValeur(QStringLiteral("Dossier-Sites"), folder.path());
    writeFile(folder.filePath("sample.yaml"), fixtureFile("site-files", "html.yaml"));
    assembly.reloadSiteFiles();
    ASSERT_EQ(catalogue.baseOf("sample-html"), 14);

    m_test.tick({14});
    program().Lance(1);
    ASSERT_TRUE(program().searching());
    // The same site under an id that sorts first.
    writeFile(folder.filePath("first.yaml"), fixtureFile("site-files", "html.yaml").replace("id: sample-html", "id: a-first"));
    assembly.reloadSiteFiles();
    assembly.reloadSiteFiles();
    EXPECT_TRUE(assembly.reloadPending());
    EXPECT_EQ(catalogue.baseCount(), 15);
    ASSERT_TRUE(m_test.runEnded());
    EXPECT_FALSE(assembly.reloadPending());
    EXPECT_EQ(catalogue.baseOf("sample-html"), 15);
    EXPECT_TRUE(catalogue.isTicked(15) && catalogue.tickedCount() == 1);
    EXPECT_EQ(assembly.fileSite(15)->name(), "Sample HTML");

    ASSERT_TRUE(QFile::remove(folder.filePath("sample.yaml")));
    writeFile(folder.filePath("broken.yaml"), "format: 1\nid: [\n");
    assembly.reloadSiteFiles();
    EXPECT_EQ(catalogue.brokenFileCount(), 1);
    EXPECT_EQ(catalogue.tickedCount(), 0);
    ASSERT_EQ(program().results().NbResultats(), 3);
    EXPECT_LT(hit(1).Base, -1) << "no base has the number of a hit's retired site";
    m_server.clearRequests();
    retrieve(0, false);
    EXPECT_EQ(paths(), QStringList{"/html/big/m1.jpg"});
    EXPECT_EQ(m_actions.calls.value(0).left(7), "viewer ");
}

} // namespace
