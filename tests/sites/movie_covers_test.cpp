#include "site_test.h"
#include "sites/movie_covers.h"

#include <gtest/gtest.h>

namespace {

class MovieCoversTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-MovieCovers"), QStringLiteral("/mc"), registerMovieCovers); }

    QString thumbnail(int slot) { return program().results().slot(slot).thumbnailUrl; }
    void search(std::initializer_list<int> bases) { searchBases(bases); }
    void answerSearch(const QByteArray &page) { answer(QStringLiteral("/multicrit.html"), page); }
    static QByteArray fixture(const QString &name) { return fixtureFile(QStringLiteral("moviecovers"), name); }
};

// The typed title goes out unprepared, its accents as the site's Latin pages write them.
TEST_F(MovieCoversTest, anAccentedTitleIsSentAsWindows1252)
{
    answerSearch("");
    program().setTitle(QString::fromUtf8("L'été & co"));
    search({6});
    EXPECT_EQ(m_server.requestedPaths().value(0), "/mc/multicrit.html?titre=L'%E9t%E9%20%26%20co&slow=1&listes=1");
}

TEST_F(MovieCoversTest, aFilmLinkGivesTitleYearKeyAndThumbnail)
{
    answerSearch("<td><a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)</td>");
    search({6});

    EXPECT_EQ(m_server.requestedPaths().value(0), "/mc/multicrit.html?titre=matrix&slow=1&listes=1");
    ASSERT_EQ(program().results().NbResultats(), 1);
    EXPECT_EQ(hit(1).Title, QStringLiteral("MATRIX"));
    EXPECT_EQ(hit(1).Year, 1999);
    EXPECT_EQ(hit(1).Key, QStringLiteral("MATRIX"));
    EXPECT_EQ(hit(1).Extra, QStringLiteral("JPG"));
    EXPECT_EQ(hit(1).Site, QStringLiteral("MovieCovers"));
    EXPECT_EQ(thumbnail(0), m_server.url(QStringLiteral("/mc/DATA/thumbs/films-m/MATRIX.jpg")));
    EXPECT_EQ(m_server.count("/mc/DATA/thumbs/films-m/MATRIX.jpg"), 1);
}

TEST_F(MovieCoversTest, aTitleEndingWithABracketIsFiledUnderItsOwnLetter)
{
    answerSearch("<a href=\"/film/titre_GODFATHER.html\">PARRAIN (LE)</a> (1972)"
                 "<a href=\"/film/titre_GODFATHER2.html\">LE PARRAIN 2</a> (1974)");
    search({6});
    EXPECT_EQ(thumbnail(0), m_server.url(QStringLiteral("/mc/DATA/thumbs/films-p/GODFATHER.jpg")));
    EXPECT_EQ(thumbnail(1), m_server.url(QStringLiteral("/mc/DATA/thumbs/films-g/GODFATHER2.jpg")));
}

TEST_F(MovieCoversTest, bothFormatsListEachFilmWithOneThumbnail)
{
    answerSearch("<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)");
    search({11, 6});
    ASSERT_EQ(program().results().NbResultats(), 2);
    EXPECT_EQ(hit(1).Extra, QStringLiteral("JPG"));
    EXPECT_EQ(hit(2).Extra, QStringLiteral("PDF"));
    EXPECT_EQ(hit(1).Key, hit(2).Key);
    EXPECT_EQ(thumbnail(0), thumbnail(1));

    search({11});
    EXPECT_EQ(program().results().NbResultats(), 1);
    EXPECT_EQ(hit(1).Extra, QStringLiteral("PDF"));
}

TEST_F(MovieCoversTest, realisticPages)
{
    answerSearch(fixture(QStringLiteral("matrix.html")));
    search({6});
    EXPECT_GE(program().results().NbResultats(), 2);
    EXPECT_EQ(hit(1).Title, QStringLiteral("MATRIX"));
    EXPECT_EQ(hit(1).Year, 1999);

    for (const char *name : {"empty.html", "truncated.html"}) {
        answerSearch(fixture(QString::fromLatin1(name)));
        search({6});
        for (int index = 1; index <= program().results().NbResultats(); ++index)
            EXPECT_EQ(hit(index).Site, QStringLiteral("MovieCovers")) << name;
    }
    answerSearch(fixture(QStringLiteral("empty.html")));
    search({6});
    EXPECT_EQ(program().results().NbResultats(), 0);
}

TEST_F(MovieCoversTest, brokenSnippetsDoNotStopTheScan)
{
    // No ".h", no "<", a year that is not a number, a page that ends mid-link.
    answerSearch("/film/ nothing here <a href=\"/film/titre_A.html\">A</a> (19x9)"
                 "<a href=\"/film/titre_B.html\">B");
    search({6});
    ASSERT_EQ(program().results().NbResultats(), 3);
    EXPECT_EQ(hit(2).Title, QStringLiteral("A"));
    EXPECT_EQ(hit(2).Year, 0);
    EXPECT_EQ(hit(3).Key, QStringLiteral("B"));
}

TEST_F(MovieCoversTest, eachBaseAddsItsOwnHits)
{
    QByteArray page;
    for (int i = 0; i < 8; ++i)
        page += "<a href=\"/film/titre_K" + QByteArray::number(i) + ".html\">T</a> (2000)";
    answerSearch(page);
    // The JPG base finds 8, the PDF base after it the same 8: 16 in all.
    search({6, 11});
    EXPECT_EQ(program().results().NbResultats(), 16);
}

TEST_F(MovieCoversTest, thePictureIsFetchedOnceThenTakenFromTheCache)
{
    answerSearch("<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)");
    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(jpegBytes()));
    search({6});
    program().retrieval().thumbPressed(0, 1);
    program().retrieval().thumbPressed(0, 1);

    const QString local = m_test.cached(QStringLiteral("Matrix [1999]  (MovieCovers).jpg"));
    EXPECT_EQ(m_server.count("/mc/getjpg.html/MATRIX.jpg"), 1);
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + local + QStringLiteral(" #0"));
}

TEST_F(MovieCoversTest, aJacketCarriesItsOptionsInAddressAndName)
{
    m_test.store.EcritValeur(QStringLiteral("PDF-Format"), QStringLiteral("3"));
    m_test.store.EcritValeur(QStringLiteral("PDF-Fond"), QStringLiteral("0"));
    m_test.store.EcritValeur(QStringLiteral("PDF-Police"), QStringLiteral("2"));
    answerSearch("<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)");
    const QString request = QStringLiteral(
        "/mc/getpdf5.html?idmc1=MATRIX&taille=260x197-32&couleurfond=blanc&police=courier&submit=Voir...");
    m_server.setReply(request, pictureReply("%PDF-1.4 jacket", "application/pdf"));
    search({11});

    program().retrieval().thumbPressed(0, 1);
    program().retrieval().thumbPressed(0, 1);

    const QString local = m_test.cached(QStringLiteral("Matrix [1999]  (MovieCovers)-302.pdf"));
    EXPECT_EQ(m_server.count(request.toUtf8()), 1);
    EXPECT_TRUE(Retrieval::FichierExiste(local));
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("open ") + local, QStringLiteral("open ") + local}));
}

TEST_F(MovieCoversTest, missingJacketOptionsLeaveTheirValuesEmpty)
{
    answerSearch("<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)");
    search({11});
    program().retrieval().downloadClicked(0);
    EXPECT_EQ(m_server.requestedPaths().last(),
              "/mc/getpdf5.html?idmc1=MATRIX&taille=&couleurfond=&police=&submit=Voir...");
    EXPECT_EQ(program().state().NomFichier, QStringLiteral("Matrix [1999]  (MovieCovers)-"));
}

} // namespace
