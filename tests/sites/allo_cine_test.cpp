#include "scan_case.h"
#include "site_test.h"
#include "sites/allo_cine.h"

#include <gtest/gtest.h>

namespace {

const QString kSite = QStringLiteral("AlloCiné");
// The fixtures' picture server, played by the test server under "/img".
constexpr char kPictureHost[] = "http://images.allocine.fr";

class AlloCineTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-AlloCine"), QStringLiteral("/ac"));
        answer(QStringLiteral("/recherche/"), fixture(QStringLiteral("matrix.html")));
        answer(QStringLiteral("/film/fichefilm_gen_cfilm=19776.html"), fixture(QStringLiteral("film_19776.html")));
        answer(QStringLiteral("/film/fichefilm_gen_cfilm=36578.html"),
               fixture(QStringLiteral("film_19776.html")).replace("18/35/13/82", "18/35/14/08").replace("18361283", "18370114"));
        // The third film page fails: no thumbnail, and not the page before's.
        answer(QStringLiteral("/film/fichefilm_gen_cfilm=36579.html"), notFoundReply());
        answer(QStringLiteral("/film/galerievignette_gen_cfilm=19776.html"), fixture(QStringLiteral("gallery_19776.html")));
        answer(QStringLiteral("/film/fichevignette_gen_cfilm=19776&cmediafichier=18361283.html"),
               fixture(QStringLiteral("picture_19776.html")));
        m_server.setReply(QStringLiteral("/img/medias/nmedia/18/35/13/82/rsz/vignettes/120x160px/18361283.jpg"),
                          pictureReply(jpegBytes()));
        m_server.setReply(QStringLiteral("/img/medias/nmedia/18/35/13/82/18361283.jpg"), pictureReply(jpegBytes()));
    }

    QString pictures() const { return m_server.url(QStringLiteral("/img")); }
    // A fixture with its picture addresses pointing at the test server.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("allocine"), name).replace(kPictureHost, pictures().toLatin1());
    }
};

// Film pages give the thumbnails; the gallery and the poster's own page give
// the poster, which the cache then spares them.
TEST_F(AlloCineTest, searchesFilmPagesAndFindsThePosterThroughTheGallery)
{
    // Accents go out as Windows-1252 bytes, what that code page lacks as UTF-8.
    program().setTitle(QString::fromUtf8("amélie & #1 ł"));
    searchBases({AlloCine::kBase});

    QList<QByteArray> pages = m_server.requestedPaths();
    // Thumbnails are not waited for, so they may come in any order.
    pages.removeIf([](const QByteArray &path) { return path.contains("/rsz/vignettes/"); });
    EXPECT_EQ(pages, (QList<QByteArray>{"/ac/recherche/?motcle=am%E9lie%20%26%20%231%20%C5%82&rub=1&page=1",
                                        "/ac/film/fichefilm_gen_cfilm=19776.html",
                                        "/ac/film/fichefilm_gen_cfilm=36578.html",
                                        "/ac/film/fichefilm_gen_cfilm=36579.html"}));
    const QString thumbnail = pictures() + QStringLiteral("/medias/nmedia/18/35/13/82/rsz/vignettes/120x160px/18361283.jpg");
    const QString second = pictures() + QStringLiteral("/medias/nmedia/18/35/14/08/rsz/vignettes/120x160px/18370114.jpg");
    ASSERT_EQ(program().results().NbVignettes(), 3);
    EXPECT_EQ(hit(1), hitOf(QStringLiteral("matrix"), 1999, thumbnail, QStringLiteral("19776.html"), kSite));
    EXPECT_EQ(hit(2), hitOf(QStringLiteral("matrix reloaded"), 2003, second, QStringLiteral("36578.html"), kSite));
    EXPECT_EQ(hit(3), hitOf(QStringLiteral("matrix revolutions"), 2003, {}, QStringLiteral("36579.html"), kSite));
    EXPECT_EQ(slot(0).thumbnailUrl, thumbnail);
    EXPECT_FALSE(slot(0).thumbnail.isNull());
    EXPECT_FALSE(slot(0).wide);
    EXPECT_EQ(slot(1).thumbnailUrl, second);
    EXPECT_EQ(slot(2).thumbnailUrl, QString());

    m_server.clearRequests();
    retrieve(0, false);
    retrieve(0, false);
    EXPECT_EQ(m_server.requestedPaths(),
              (QList<QByteArray>{"/ac/film/galerievignette_gen_cfilm=19776.html",
                                 "/ac/film/fichevignette_gen_cfilm=19776&cmediafichier=18361283.html",
                                 "/img/medias/nmedia/18/35/13/82/18361283.jpg"}));
    const QString local = m_test.cached(QStringLiteral("Matrix [1999]  (AlloCiné).jpg"));
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("viewer ") + local + QStringLiteral(" #0"),
                                            QStringLiteral("viewer ") + local + QStringLiteral(" #0")}));
}

} // namespace
