#include "site_test.h"
#include "sites/movie_covers.h"

#include <gtest/gtest.h>

namespace {

class MovieCoversTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-MovieCovers"), QStringLiteral("/mc"));
        answer(QStringLiteral("/multicrit.html"), "<a href=\"/film/titre_PARRAIN.html\">PARRAIN (LE)</a> (1972)"
                                                  "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)");
        answer(QStringLiteral("/DATA/thumbs/films-p/PARRAIN.jpg"), pictureReply(jpegBytes()));
    }
};

// Both bases read the result page; each hit's thumbnail is filed under its
// title's letter when the title ends with a bracket, else its key's.
TEST_F(MovieCoversTest, searchesBothBasesAndFetchesAPictureOnce)
{
    program().setTitle(QString::fromUtf8("L'été & co"));
    searchBases({11, 6});

    const QByteArray search = "/mc/multicrit.html?titre=L'%E9t%E9%20%26%20co&slow=1&listes=1";
    EXPECT_EQ(m_server.count(search), 2);
    ASSERT_EQ(program().results().NbVignettes(), 4);
    EXPECT_EQ(hit(1).Extra, QStringLiteral("JPG"));
    EXPECT_EQ(hit(3).Extra, QStringLiteral("PDF"));
    EXPECT_EQ(hit(3).Key, QStringLiteral("PARRAIN"));
    EXPECT_EQ(slot(0).thumbnailUrl, siteUrl(QStringLiteral("/DATA/thumbs/films-p/PARRAIN.jpg")));
    EXPECT_EQ(slot(1).thumbnailUrl, siteUrl(QStringLiteral("/DATA/thumbs/films-m/MATRIX.jpg")));
    EXPECT_FALSE(slot(0).thumbnail.isNull());
    EXPECT_FALSE(slot(0).wide);

    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(jpegBytes()));
    retrieve(1, false);
    retrieve(1, false);
    const QString local = m_test.cached(QStringLiteral("Matrix [1999]  (MovieCovers).jpg"));
    EXPECT_EQ(m_server.count("/mc/getjpg.html/MATRIX.jpg"), 1);
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + local + QStringLiteral(" #1"));
}

// The jacket's options go into its address and, as digits, into its file name.
TEST_F(MovieCoversTest, aJacketCarriesItsOptionsInAddressAndName)
{
    const struct
    {
        const char *format, *background, *font;
        const char *query;
        const char *file;
    } rows[] = {
        {"3", "0", "2", "taille=260x197-32&couleurfond=blanc&police=courier", "-302"},
        {"", "", "", "taille=&couleurfond=&police=", "-"},
    };
    searchBases({11});
    for (const auto &row : rows) {
        m_test.store.EcritValeur(QStringLiteral("PDF-Format"), QString::fromLatin1(row.format));
        m_test.store.EcritValeur(QStringLiteral("PDF-Fond"), QString::fromLatin1(row.background));
        m_test.store.EcritValeur(QStringLiteral("PDF-Police"), QString::fromLatin1(row.font));
        const QByteArray request = "/mc/getpdf5.html?idmc1=MATRIX&" + QByteArray(row.query) + "&submit=Voir...";
        m_server.setReply(QString::fromLatin1(request), pictureReply("%PDF-1.4 jacket", "application/pdf"));
        retrieve(1, false);
        EXPECT_EQ(m_server.count(request), 1) << row.query;
        const QString local = m_test.cached(QStringLiteral("Matrix [1999]  (MovieCovers)") + QString::fromLatin1(row.file) + QStringLiteral(".pdf"));
        EXPECT_EQ(m_actions.calls.last(), QStringLiteral("open ") + local);
    }
}

} // namespace
