#include "child_process.h"
#include "disk_trouble.h"
#include "site_test.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The command line searching MovieCovers, played by the test server: its first
// poster is not a picture, its second is whole.
class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_server.setReply("/mc/multicrit.html", m_page);
        m_server.setReply("/mc/getjpg.html/MATRIX.jpg", pictureReply("<html>This picture has moved.</html>"));
        m_server.setReply("/mc/getjpg.html/MATRIX2.jpg", pictureReply(jpegBytes()));
        run({"config", "set", "Hote-MovieCovers", m_server.url("/mc")});
    }

    ChildOutcome run(const QStringList &args) { return m_cli.run(args); }

    static void expectFailed(const ChildOutcome &outcome, const QString &message)
    {
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_TRUE(outcome.err.contains("pellicam-cli: " + message)) << outcome.err.toStdString();
    }

    const FixtureServer::Reply m_page = pageReply("<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)<br>"
                                                  "<a href=\"/film/titre_MATRIX2.html\">MATRIX RELOADED</a> (2003)");
    ChildProcess m_cli;
    FixtureServer m_server;
};

TEST_F(CliTest, configValuesAreSetReadWithoutRegardToCaseAndUnsetInTheXdgFoldersAlone)
{
    EXPECT_EQ(run({"config", "set", "Hote-MovieCovers", "http://127.0.0.1:1"}).exitCode, 0);
    const ChildOutcome got = run({"config", "get", "hote-moviecovers"});
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, "http://127.0.0.1:1\n");
    EXPECT_EQ(run({"config", "unset", "HOTE-MOVIECOVERS"}).exitCode, 0);
    EXPECT_EQ(run({"config", "get", "Hote-MovieCovers"}).out, "\n");
    EXPECT_EQ(run({"config", "set", "Historique-1", QString::fromUtf8("L'été meurtrier")}).exitCode, 0);
    EXPECT_EQ(run({"config", "get", "Historique-1"}).out, QString::fromUtf8("L'été meurtrier\n"));

    EXPECT_EQ(filesUnder(QFileInfo(QFileInfo(m_cli.iniFile()).path()).path()), QStringList{"Pellicam/Pellicam.ini"});
    EXPECT_EQ(filesUnder(m_cli.home()), QStringList{});
}

TEST_F(CliTest, helpVersionAndBasesGoToStandardOutput)
{
    const ChildOutcome help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("config get NAME"));
    EXPECT_EQ(help.err, "");
    const ChildOutcome version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "pellicam-cli 2006.l\n");
    const QStringList bases = run({"bases"}).out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(bases.size(), 14);
    EXPECT_EQ(bases[0], QString::fromUtf8("0\tAffiches Cinéma\tFr\tposters\t"));
    EXPECT_EQ(bases[13], "13\tCover Comoz\tFr/Us\tjackets\t");
}

TEST_F(CliTest, badArgumentsGiveTheUsageOnStandardErrorAndStatusTwo)
{
    const QStringList bad[] = {
        {}, {"frobnicate"}, {"config"}, {"config", "get"}, {"config", "set", "Langue"},
        {"config", "get", "a", "b"}, {"config", "rename", "a", "b"}, {"config", "set", "", "x"},
        {"config", "set", "Hote/MovieCovers", "x"}, {"config", "set", "Hote\\MovieCovers", "x"},
        {"search"}, {"search", "--bases", "14", "matrix"}, {"search", "--bases"}, {"search", "--hit", "1", "x"},
        {"download", "matrix"}, {"download", "--hit", "0", "matrix"}, {"download", "--json", "--hit", "1", "x"},
        {"bases", "extra"}, {"search", "-x", "matrix"}, {"download", "--hit", "1", "--into", "", "matrix"},
        {"check", "--hit", "1"}, {"check", "--bases", "99"},
    };
    for (const QStringList &args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const ChildOutcome outcome = run(args);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_TRUE(outcome.err.contains("Usage: pellicam-cli")) << outcome.err.toStdString();
        EXPECT_EQ(outcome.out, "");
    }
    // No folder stored and none in the home folder.
    const ChildOutcome noFolder = run({"download", "--hit", "1", "--bases", "6", "matrix"});
    EXPECT_EQ(noFolder.exitCode, 2);
    EXPECT_EQ(noFolder.err, "pellicam-cli: no download folder is set: give one with --into DIR\n");
    EXPECT_EQ(m_server.requests().size(), 0);
}

// The bases are searched at once; hits are printed in row order, whichever base ends first.
TEST_F(CliTest, searchListsTheHitsAsJsonInRowOrder)
{
    FixtureServer::Reply slow = m_page;
    slow.delayMs = 800;
    m_server.setReply("/mc/multicrit.html", slow);
    QObject::connect(&m_server, &FixtureServer::requestReceived, [this](const FixtureServer::Request &request) {
        if (m_server.count(request.path) == 2)
            m_server.setReply("/mc/multicrit.html", m_page);
    });
    const ChildOutcome search = run({"search", "--json", "--bases", "11,6", "matrix"});
    EXPECT_EQ(search.exitCode, 0);
    const QString thumbnails = m_server.url("/mc/DATA/thumbs/films-m/");
    QString expected;
    for (const char *extra : {"JPG", "PDF"})
        for (const auto &[title, year, key] : {std::tuple{"MATRIX", 1999, "MATRIX"}, std::tuple{"MATRIX RELOADED", 2003, "MATRIX2"}})
            expected += QStringLiteral("{\"index\":%1,\"site\":\"MovieCovers\",\"title\":\"%2\",\"year\":%3,\"key\":\"%4\","
                                       "\"extra\":\"%5\",\"thumbnail\":\"%6%4.jpg\",\"shown\":true}\n")
                            .arg(expected.count(u'\n') + 1).arg(title).arg(year).arg(key).arg(extra).arg(thumbnails);
    EXPECT_EQ(search.out, expected);
    // A first run speaks English.
    EXPECT_TRUE(search.err.contains("Connection to Movie Covers in progress...")) << search.err.toStdString();
    EXPECT_TRUE(search.err.endsWith("4 movies found\n")) << search.err.toStdString();

    const ChildOutcome exact = run({"search", "--json", "--exact", "--bases", "6", "matrix"});
    EXPECT_TRUE(exact.out.contains("\"key\":\"MATRIX\",\"extra\":\"JPG\",\"thumbnail\":\"" + thumbnails
                                   + "MATRIX.jpg\",\"shown\":true"));
    EXPECT_TRUE(exact.out.contains("MATRIX2.jpg\",\"shown\":false"));
}

TEST_F(CliTest, withoutBasesTheStoredTicksDecide)
{
    const ChildOutcome none = run({"search", "matrix"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.err.contains("No database selected: every base is searched"));
    EXPECT_TRUE(none.out.startsWith("1. MATRIX (1999) [MovieCovers]\n"
                                    "2. MATRIX RELOADED (2003) [MovieCovers]\n3. MATRIX"))
        << none.out.toStdString();
    EXPECT_EQ(none.out.count("\n"), 4);

    run({"config", "set", "Base11", "1"});
    m_server.clearRequests();
    const ChildOutcome ticked = run({"search", "--json", "matrix"});
    EXPECT_EQ(ticked.out.count("\"extra\":\"PDF\""), 2) << ticked.out.toStdString();
    EXPECT_EQ(ticked.out.count("\n"), 2);
    EXPECT_EQ(m_server.count("/mc/multicrit.html?titre=matrix&slow=1&listes=1"), 1);

    // One base at a time ("BdD"), as the window would leave it: two ticks are none.
    run({"config", "set", "Base6", "1"});
    EXPECT_TRUE(run({"search", "matrix"}).err.contains("every base is searched"));

    // Named bases are the ones searched, whatever is ticked, and the ticks stay stored.
    run({"config", "set", "BdD", "False"});
    EXPECT_EQ(run({"check", "--bases", "6"}).out.count('\n'), 1);
    EXPECT_EQ(run({"config", "get", "Base11"}).out, "1\n");
}

// check: one line per base in row order, fields in a fixed order; status 1 when a site failed.
TEST_F(CliTest, checkTellsHowEachSiteAnswered)
{
    run({"config", "set", "Hote-DvdFr", m_server.url("/dvdfr")});
    const ChildOutcome check = run({"check", "--json", "--bases", "6,4"});
    EXPECT_EQ(check.exitCode, 1);
    QString out = check.out;
    out.replace(QRegularExpression("\"seconds\":[0-9]+\\.[0-9]{2},"), "\"seconds\":S,");
    const QString search = m_server.url("/dvdfr/search/search.php?multiname=matrix");
    const QString thumbnail = m_server.url("/mc/DATA/thumbs/films-m/MATRIX.jpg");
    EXPECT_EQ(out, "{\"base\":4,\"site\":\"DvdFr\",\"outcome\":\"http-error\",\"hits\":0,\"requests\":1,"
                   "\"failed\":1,\"seconds\":S,\"detail\":\"HTTP error 404 on " + search + "\"}\n"
                   "{\"base\":6,\"site\":\"MovieCovers\",\"outcome\":\"hits\",\"hits\":2,\"requests\":3,"
                   "\"failed\":2,\"seconds\":S,\"detail\":\"2 movies found - failed requests: 2, the first: "
                   "HTTP error 404 on " + thumbnail + "\"}\n");

    const ChildOutcome text = run({"check", "--bases", "6"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(QRegularExpression("^6\tMovieCovers\thits\t2\t3\t[0-9]+\\.[0-9]{2}\t2 movies found - ")
                    .match(text.out).hasMatch()) << text.out.toStdString();

    const ChildOutcome failed = run({"search", "--bases", "4,6", "matrix"});
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_TRUE(failed.err.contains("base 4, DvdFr: http-error: HTTP error 404 on " + search + "\n"));
    EXPECT_FALSE(failed.err.contains("base 6")) << "hits are no failure";
}

// The hit is fetched into the cache folder, then copied; a fetch or a copy
// that fails ends with status 1 and leaves the folder as it was.
TEST_F(CliTest, downloadCopiesTheHitIntoTheFolderOrLeavesItAsItWas)
{
    const QStringList download = {"download", "--bases", "6", "matrix", "--hit"};
    QTemporaryDir into;
    expectFailed(run(download + QStringList{"1", "--into", into.path()}), "hit 1 could not be fetched");
    expectFailed(run(download + QStringList{"9", "--into", into.path()}), "there is no hit 9");
    EXPECT_EQ(filesUnder(into.path()), QStringList{});

    const QString name = QStringLiteral("Matrix reloaded [2003]  (MovieCovers).jpg");
    const ChildOutcome copied = run(download + QStringList{"2", "--into", into.path()});
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_EQ(copied.out, into.filePath(name) + u'\n');
    EXPECT_EQ(contents(into.filePath(name)), jpegBytes());

    const UnwritableFolder unwritable(m_cli.home());
    const QStringList before = filesUnder(m_cli.home());
    expectFailed(run(download + QStringList{"2", "--into", unwritable.path()}),
                 "the picture could not be copied into " + unwritable.path());
    EXPECT_EQ(filesUnder(m_cli.home()), before);
}

// A page's title must not drive the terminal; "--" lets a title start with "-".
TEST_F(CliTest, theTableDropsControlCharacters)
{
    m_server.setReply("/mc/multicrit.html",
                      pageReply("<a href=\"/film/titre_MATRIX.html\">MA\x1b]0;owned\x07TRIX\x1b[2J</a> (1999)"));
    const ChildOutcome search = run({"search", "--bases", "6", "--", "-matrix"});
    EXPECT_EQ(search.exitCode, 0);
    EXPECT_EQ(search.out, "1. MA]0;ownedTRIX[2J (1999) [MovieCovers]\n");
    EXPECT_EQ(m_server.count("/mc/multicrit.html?titre=-matrix&slow=1&listes=1"), 1);
}

} // namespace
