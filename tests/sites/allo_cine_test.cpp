#include "site_test.h"
#include "sites/allo_cine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 1;

// The fixtures' picture server, played by the test server under "/img".
constexpr char kPictureHost[] = "http://images.allocine.fr";

// A result page hit as the site writes it.
QByteArray resultHit(const QByteArray &film, const QByteArray &shown, const QByteArray &brackets)
{
    return "<h4><a href=\"/film/fichefilm_gen_cfilm=" + film + ".html\" class=\"link1\">" + shown + "</a>" + brackets
           + "</h4><h5>de X</h5>\n";
}

class AlloCineTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-AlloCine"), QStringLiteral("/ac"), registerAlloCine); }

    QString thumbnail(int index) { return slot(index).thumbnailUrl; }
    QString pictures() const { return m_server.url(QStringLiteral("/img")); }

    // A fixture with its picture addresses pointing at the test server.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("allocine"), name).replace(kPictureHost, pictures().toLatin1());
    }

    // The film page of 19776 made over for another film and picture folder.
    QByteArray filmPage(const QByteArray &film, const QByteArray &folder, const QByteArray &media) const
    {
        return fixture(QStringLiteral("film_19776.html"))
            .replace("19776", film)
            .replace("18/35/13/82", folder)
            .replace("18361283", media);
    }

    void search() { searchBases({kBase}); }

    // What was asked for, but the thumbnails, which may come in any order.
    QList<QByteArray> pageRequests() const
    {
        QList<QByteArray> paths = m_server.requestedPaths();
        paths.removeIf([](const QByteArray &path) { return path.contains("/rsz/vignettes/"); });
        return paths;
    }

    void answerSearch(const QByteArray &page) { answer(QStringLiteral("/recherche/"), page); }

    // The three films of the "matrix" page with their film pages.
    void answerMatrix()
    {
        answerSearch(fixture(QStringLiteral("matrix.html")));
        answer(QStringLiteral("/film/fichefilm_gen_cfilm=19776.html"), fixture(QStringLiteral("film_19776.html")));
        answer(QStringLiteral("/film/fichefilm_gen_cfilm=36578.html"), filmPage("36578", "18/35/14/08", "18370114"));
        answer(QStringLiteral("/film/fichefilm_gen_cfilm=36579.html"), filmPage("36579", "18/35/14/33", "18370251"));
    }
};

TEST_F(AlloCineTest, resultPageGivesLowerCaseTitlesYearsAndFilmNumbers)
{
    answerMatrix();
    search();

    struct Expected
    {
        const char *title;
        int year;
        const char *extra;
        const char *thumbnail;
    };
    const Expected expected[] = {
        {"matrix", 1999, "19776.html", "/medias/nmedia/18/35/13/82/rsz/vignettes/120x160px/18361283.jpg"},
        {"matrix reloaded", 2003, "36578.html", "/medias/nmedia/18/35/14/08/rsz/vignettes/120x160px/18370114.jpg"},
        {"matrix revolutions", 2003, "36579.html", "/medias/nmedia/18/35/14/33/rsz/vignettes/120x160px/18370251.jpg"},
    };
    ASSERT_EQ(program().results().NbResultats(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hit(i + 1).Title, QString::fromLatin1(expected[i].title));
        EXPECT_EQ(hit(i + 1).Year, expected[i].year);
        EXPECT_EQ(hit(i + 1).Extra, QString::fromLatin1(expected[i].extra));
        EXPECT_EQ(hit(i + 1).Key, pictures() + QString::fromLatin1(expected[i].thumbnail));
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("AlloCiné"));
        EXPECT_EQ(thumbnail(i), hit(i + 1).Key);
    }
    EXPECT_EQ(pageRequests(),
              (QList<QByteArray>{"/ac/recherche/?motcle=matrix&rub=1&page=1",
                                 "/ac/film/fichefilm_gen_cfilm=19776.html",
                                 "/ac/film/fichefilm_gen_cfilm=36578.html",
                                 "/ac/film/fichefilm_gen_cfilm=36579.html"}));
}

// AlloCiné keeps accents, so the address carries them as its Latin pages do.
TEST_F(AlloCineTest, theTitleIsSentEscaped)
{
    const struct
    {
        const char *typed;
        const char *query;
    } cases[] = {
        {"matrix reloaded", "matrix%20reloaded"},
        {"Fast & Furious", "Fast%20%26%20Furious"},
        {"#1 + 50% = x", "%231%20%2B%2050%25%20%3D%20x"},
        {"amélie €", "am%E9lie%20%80"},
        {"łódź", "%C5%82%F3d%C5%BA"},
    };
    answerSearch("");
    for (const auto &c : cases) {
        program().setTitle(QString::fromUtf8(c.typed));
        search();
        EXPECT_EQ(m_server.requestedPaths().last(), "/ac/recherche/?motcle=" + QByteArray(c.query) + "&rub=1&page=1")
            << c.typed;
    }
}

TEST_F(AlloCineTest, pagesWithoutWholeHitsEndTheScan)
{
    answer(QStringLiteral("/film/fichefilm_gen_cfilm=19776.html"), fixture(QStringLiteral("film_19776.html")));
    const struct
    {
        const char *name;
        QByteArray page;
        int hits;
    } cases[] = {
        {"no marker", fixture(QStringLiteral("empty.html")), 0},
        {"cut off inside the second hit", fixture(QStringLiteral("truncated.html")), 1},
        // A film link without a title after it: the scan must not start over.
        {"marker without its title", resultHit("19776", "Matrix", "&nbsp;(The Matrix)&nbsp;(1999)")
                                         + "<h4><a href=\"/film/fichefilm_gen_cfilm=1.html\">x</a></h4>", 1},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        answerSearch(test.page);
        // Would a scan never end, the stop request ends it and the time shows it.
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, &program(), [this] { program().requestStop(); });
        safety.start(5000);
        QElapsedTimer clock;
        clock.start();
        search();
        EXPECT_LT(clock.elapsed(), 4000);
        ASSERT_EQ(program().results().NbResultats(), test.hits);
        if (test.hits > 0) {
            EXPECT_EQ(hit(1).Title, QStringLiteral("matrix"));
            EXPECT_EQ(hit(1).Year, 1999);
        }
    }
}

TEST_F(AlloCineTest, theYearIsTheSecondBracketOfTheFilm)
{
    const struct
    {
        const char *name;
        QByteArray brackets;
        int year;
    } cases[] = {
        {"original title, then year", "&nbsp;(The Matrix)&nbsp;(1999)", 1999},
        {"written with plain blanks", " (The Matrix) (1999)", 1999},
        {"escaped twice, a blank all the same", "&amp;nbsp;(The Matrix)&amp;nbsp;(1999)", 1999},
        {"no year", "&nbsp;(The Matrix)", 0},
        {"year not a number", "&nbsp;(The Matrix)&nbsp;(19xx)", 0},
        {"no bracket", "", 0},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        // The next film's brackets must not lend their year.
        answerSearch(resultHit("19776", "Matrix", test.brackets)
                     + resultHit("36578", "Matrix Reloaded", "&nbsp;(The Matrix Reloaded)&nbsp;(2003)"));
        search();
        ASSERT_EQ(program().results().NbResultats(), 2);
        EXPECT_EQ(hit(1).Year, test.year);
        EXPECT_EQ(hit(2).Year, 2003);
    }
}

TEST_F(AlloCineTest, aFilmPageWithoutPosterCellGivesNoThumbnail)
{
    answerSearch(resultHit("19776", "Matrix", "&nbsp;(The Matrix)&nbsp;(1999)")
                 + resultHit("36578", "Matrix Reloaded", "&nbsp;(The Matrix Reloaded)&nbsp;(2003)"));
    // The first film page holds no poster cell, the second does not come at all:
    // neither may lend the other's picture.
    answer(QStringLiteral("/film/fichefilm_gen_cfilm=19776.html"), fixture(QStringLiteral("empty.html")));
    search();
    ASSERT_EQ(program().results().NbResultats(), 2);
    EXPECT_EQ(hit(1).Key, QString());
    EXPECT_EQ(hit(2).Key, QString());
    EXPECT_EQ(thumbnail(0), QString());
    EXPECT_EQ(thumbnail(1), QString());
    EXPECT_EQ(m_server.requestedPaths().size(), 3);
}

TEST_F(AlloCineTest, thePosterIsFoundThroughTheGalleryThenTakenFromTheCache)
{
    answerMatrix();
    answer(QStringLiteral("/film/galerievignette_gen_cfilm=19776.html"), fixture(QStringLiteral("gallery_19776.html")));
    answer(QStringLiteral("/film/fichevignette_gen_cfilm=19776&cmediafichier=18361283.html"),
           fixture(QStringLiteral("picture_19776.html")));
    m_server.setReply(QStringLiteral("/img/medias/nmedia/18/35/13/82/18361283.jpg"), pictureReply(jpegBytes()));
    search();
    m_server.clearRequests();

    program().retrieval().thumbPressed(0, 1);
    EXPECT_EQ(pageRequests(),
              (QList<QByteArray>{"/ac/film/galerievignette_gen_cfilm=19776.html",
                                 "/ac/film/fichevignette_gen_cfilm=19776&cmediafichier=18361283.html",
                                 "/img/medias/nmedia/18/35/13/82/18361283.jpg"}));
    const QString local = m_test.cached(QStringLiteral("Matrix [1999]  (AlloCiné).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());

    // The cached poster spares the gallery too.
    m_server.clearRequests();
    program().retrieval().thumbPressed(0, 1);
    EXPECT_TRUE(pageRequests().isEmpty());
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("viewer ") + local + QStringLiteral(" #0"),
                                            QStringLiteral("viewer ") + local + QStringLiteral(" #0")}));
}

TEST_F(AlloCineTest, aGalleryWithoutThePostersFolderFetchesNoPicture)
{
    answerMatrix();
    // Only the photos' folder: no picture of the thumbnail's folder.
    QByteArray gallery = fixture(QStringLiteral("gallery_19776.html"));
    gallery.replace("18/35/13/82", "18/99/99/99");
    answer(QStringLiteral("/film/galerievignette_gen_cfilm=19776.html"), gallery);
    search();
    m_server.clearRequests();

    program().retrieval().downloadClicked(0);
    EXPECT_EQ(pageRequests(), (QList<QByteArray>{"/ac/film/galerievignette_gen_cfilm=19776.html"}));
    EXPECT_FALSE(Retrieval::FichierExiste(m_test.cached(QStringLiteral("Matrix [1999]  (AlloCiné).jpg"))));
    EXPECT_FALSE(program().retrieval().downloading());
}

} // namespace
