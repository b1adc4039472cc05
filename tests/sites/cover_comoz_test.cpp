#include "site_test.h"
#include "sites/cover_comoz.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class CoverComozTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-CoverComoz"), QStringLiteral("/covercomoz")); }

    // The fixtures name the real site; here the test server plays it.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("covercomoz"), name).replace("http://www.comoz.com", siteUrl({}).toUtf8());
    }
};

// The form is posted and the answer names each cover's thumbnail; the full
// picture is read from the cover's page again at every press.
TEST_F(CoverComozTest, postsTheFormAndReadsTheCoverPageAtEveryPress)
{
    answer(QStringLiteral("/recherche.html"), fixture(QStringLiteral("matrix.html")));
    answer(QStringLiteral("/cover.php"), fixture(QStringLiteral("cover_311.html")));
    answer(QStringLiteral("/covers/311.jpg"), pictureReply(jpegBytes()));
    answer(QStringLiteral("/covers/thumbs/311.jpg"), pictureReply(jpegBytes()));
    const QString folder = m_test.dir.filePath(QStringLiteral("downloads"));
    QDir().mkpath(folder);
    program().retrieval().setSaveFolder(folder);
    program().setTitle(QString::fromUtf8("l'été meurtrier"));
    searchBases({CoverComoz::kBase});

    const FixtureServer::Request post = m_server.requests().value(0);
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.target, "/covercomoz/recherche.html");
    EXPECT_EQ(post.header("Host"), "127.0.0.1:" + QByteArray::number(m_server.port()));
    EXPECT_EQ(post.body, "search=l ete meurtrier");
    const QStringList ids = {QStringLiteral("311"), QStringLiteral("1250"), QStringLiteral("1377")};
    ASSERT_EQ(program().results().NbVignettes(), ids.size());
    for (int i = 0; i < ids.size(); ++i) {
        EXPECT_EQ(hit(i + 1).Extra, QStringLiteral("cover.php?id=%1&type=dvd").arg(ids[i]));
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, siteUrl(QStringLiteral("/covers/thumbs/%1.jpg").arg(ids[i])));
    }
    EXPECT_EQ(hit(3).Title, QString::fromUtf8("Matrix Revolutions - édition collector"));
    EXPECT_FALSE(slot(0).thumbnail.isNull());

    retrieve(0, false);
    retrieve(0, true);
    EXPECT_EQ(m_server.count("/covercomoz/cover.php?id=311&type=dvd"), 2);
    EXPECT_EQ(m_server.count("/covercomoz/covers/311.jpg"), 2);
    const QString local = m_test.cached(QStringLiteral("Matrix (Cover Comoz).jpg"));
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("viewer ") + local + QStringLiteral(" #0"),
                                            QStringLiteral("copy %1 -> %2").arg(local, program().retrieval().lastCopy())}));
}

} // namespace
