#include "fixture_server.h"
#include "test_pictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test
{
protected:
    Outcome run(const QStringList &args)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", m_config.path());
        env.insert("XDG_CACHE_HOME", m_cache.path());
        env.insert("HOME", m_home.path());
        process.setProcessEnvironment(env);
        process.start(PELLICAM_CLI, args);
        // The test server lives in this process: keep its events flowing.
        EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static QStringList filesUnder(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
        return files;
    }

    QTemporaryDir m_config;
    QTemporaryDir m_cache;
    QTemporaryDir m_home;
};

TEST_F(CliTest, configValuesAreSetReadWithoutRegardToCaseAndUnset)
{
    EXPECT_EQ(run({"config", "set", "Hote-MovieCovers", "http://127.0.0.1:1"}).exitCode, 0);

    const Outcome got = run({"config", "get", "hote-moviecovers"});
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, "http://127.0.0.1:1\n");

    EXPECT_EQ(run({"config", "unset", "HOTE-MOVIECOVERS"}).exitCode, 0);
    EXPECT_EQ(run({"config", "get", "Hote-MovieCovers"}).out, "\n");

    EXPECT_EQ(run({"config", "set", "Historique-1", QString::fromUtf8("L'été meurtrier")}).exitCode, 0);
    EXPECT_EQ(run({"config", "get", "Historique-1"}).out, QString::fromUtf8("L'été meurtrier\n"));
}

TEST_F(CliTest, nothingIsWrittenOutsideTheXdgFolders)
{
    run({"config", "set", "Langue", "English"});

    EXPECT_EQ(filesUnder(m_config.path()), QStringList{m_config.filePath("Pellicam/Pellicam.ini")});
    EXPECT_TRUE(filesUnder(m_home.path()).isEmpty()) << filesUnder(m_home.path()).join(' ').toStdString();
}

TEST_F(CliTest, helpAndVersionGoToStandardOutput)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("config get NAME"));
    EXPECT_TRUE(help.err.isEmpty());
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "pellicam-cli 2006.l\n");
}

TEST_F(CliTest, badArgumentsGiveTheUsageOnStandardErrorAndStatusTwo)
{
    const QStringList bad[] = {
        {}, {"frobnicate"}, {"config"}, {"config", "get"}, {"config", "set", "Langue"},
        {"config", "get", "a", "b"}, {"config", "rename", "a", "b"}, {"config", "set", "", "x"},
        {"config", "set", "Hote/MovieCovers", "x"}, {"config", "set", "Hote\\MovieCovers", "x"},
    };
    for (const QStringList &args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_TRUE(outcome.err.contains("Usage: pellicam-cli"));
        EXPECT_TRUE(outcome.out.isEmpty());
    }
}

TEST_F(CliTest, basesListsTheCatalogue)
{
    const Outcome bases = run({"bases"});
    EXPECT_EQ(bases.exitCode, 0);
    const QStringList lines = bases.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[0], QString::fromUtf8("0\tAffiches Cinéma\tFr\tposters"));
    EXPECT_EQ(lines[6], "6\tMovieCovers (JPG)\tFr\tposters");
    EXPECT_EQ(lines[13], "13\tCover Comoz\tFr/Us\tjackets");
}

class CliSearchTest : public CliTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_page.body = "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)<br>"
                      "<a href=\"/film/titre_MATRIX2.html\">MATRIX RELOADED</a> (2003)";
        m_server.setReply("/mc/multicrit.html", m_page);
        FixtureServer::Reply poster;
        poster.body = jpegBytes();
        poster.contentType = "image/jpeg";
        m_server.setReply("/mc/getjpg.html/MATRIX2.jpg", poster);
        run({"config", "set", "Hote-MovieCovers", m_server.url("/mc")});
    }

    FixtureServer m_server;
    FixtureServer::Reply m_page;
};

// The bases are searched at once; hits are printed in row order, whichever base ends first.
TEST_F(CliSearchTest, searchListsTheHitsAsJsonInRowOrder)
{
    FixtureServer::Reply slow = m_page;
    slow.delayMs = 800;
    m_server.setReply("/mc/multicrit.html", slow);
    QObject::connect(&m_server, &FixtureServer::requestReceived, [this](const FixtureServer::Request &request) {
        if (m_server.count(request.path) == 2)
            m_server.setReply("/mc/multicrit.html", m_page);
    });
    const Outcome search = run({"search", "--json", "--bases", "11,6", "matrix"});
    EXPECT_EQ(search.exitCode, 0);
    const QString thumbnails = m_server.url("/mc/DATA/thumbs/films-m/");
    const QString expected =
        "{\"index\":1,\"site\":\"MovieCovers\",\"title\":\"MATRIX\",\"year\":1999,\"key\":\"MATRIX\","
        "\"extra\":\"JPG\",\"thumbnail\":\"" + thumbnails + "MATRIX.jpg\",\"shown\":true}\n"
        "{\"index\":2,\"site\":\"MovieCovers\",\"title\":\"MATRIX RELOADED\",\"year\":2003,\"key\":\"MATRIX2\","
        "\"extra\":\"JPG\",\"thumbnail\":\"" + thumbnails + "MATRIX2.jpg\",\"shown\":true}\n"
        "{\"index\":3,\"site\":\"MovieCovers\",\"title\":\"MATRIX\",\"year\":1999,\"key\":\"MATRIX\","
        "\"extra\":\"PDF\",\"thumbnail\":\"" + thumbnails + "MATRIX.jpg\",\"shown\":true}\n"
        "{\"index\":4,\"site\":\"MovieCovers\",\"title\":\"MATRIX RELOADED\",\"year\":2003,\"key\":\"MATRIX2\","
        "\"extra\":\"PDF\",\"thumbnail\":\"" + thumbnails + "MATRIX2.jpg\",\"shown\":true}\n";
    EXPECT_EQ(search.out, expected);
    // A first run speaks English.
    EXPECT_TRUE(search.err.contains("Connection to Movie Covers in progress...")) << search.err.toStdString();
    EXPECT_TRUE(search.err.endsWith("4 movies found\n")) << search.err.toStdString();

    const Outcome exact = run({"search", "--json", "--exact", "--bases", "6", "matrix"});
    EXPECT_TRUE(exact.out.contains("\"key\":\"MATRIX\",\"extra\":\"JPG\",\"thumbnail\":\"" + thumbnails
                                   + "MATRIX.jpg\",\"shown\":true"));
    EXPECT_TRUE(exact.out.contains("MATRIX2.jpg\",\"shown\":false"));
}

TEST_F(CliSearchTest, withoutBasesTheStoredTicksDecide)
{
    const Outcome none = run({"search", "matrix"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.err.contains("No database selected: every base is searched"));
    EXPECT_TRUE(none.out.startsWith("1. MATRIX (1999) [MovieCovers]\n"
                                    "2. MATRIX RELOADED (2003) [MovieCovers]\n3. MATRIX"))
        << none.out.toStdString();
    EXPECT_EQ(none.out.count("\n"), 4);

    run({"config", "set", "Base11", "1"});
    m_server.clearRequests();
    const Outcome ticked = run({"search", "--json", "matrix"});
    EXPECT_EQ(ticked.out.count("\"extra\":\"PDF\""), 2) << ticked.out.toStdString();
    EXPECT_EQ(ticked.out.count("\n"), 2);
    EXPECT_EQ(m_server.count("/mc/multicrit.html?titre=matrix&slow=1&listes=1"), 1);

    // One base at a time ("BdD"), as the window would leave it: two ticks are none.
    run({"config", "set", "Base6", "1"});
    EXPECT_TRUE(run({"search", "matrix"}).err.contains("every base is searched"));
}

// check: one line per base in row order, fields in a fixed order; status 1 when a site failed.
TEST_F(CliSearchTest, checkTellsHowEachSiteAnswered)
{
    run({"config", "set", "Hote-DvdFr", m_server.url("/dvdfr")});
    const Outcome check = run({"check", "--json", "--bases", "6,4"});
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

    const Outcome text = run({"check", "--bases", "6"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(QRegularExpression("^6\tMovieCovers\thits\t2\t3\t[0-9]+\\.[0-9]{2}\t2 movies found - ")
                    .match(text.out).hasMatch()) << text.out.toStdString();

    const Outcome failed = run({"search", "--bases", "4,6", "matrix"});
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_TRUE(failed.err.contains("base 4, DvdFr: http-error: HTTP error 404 on " + search + "\n"));
    EXPECT_FALSE(failed.err.contains("base 6")) << "hits are no failure";
}

TEST_F(CliSearchTest, downloadCopiesTheHitIntoTheFolder)
{
    QTemporaryDir into;
    const Outcome download = run({"download", "--hit", "2", "--into", into.path(), "--bases", "6", "matrix"});
    const QString copy = into.filePath("Matrix reloaded [2003]  (MovieCovers).jpg");
    EXPECT_EQ(download.exitCode, 0) << download.err.toStdString();
    EXPECT_EQ(download.out, copy + "\n");
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());

    const Outcome missing = run({"download", "--hit", "1", "--into", into.path(), "--bases", "6", "matrix"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_FALSE(missing.err.isEmpty());
    EXPECT_EQ(run({"download", "--hit", "9", "--into", into.path(), "--bases", "6", "matrix"}).exitCode, 1);
}

// A page's title must not drive the terminal; "--" lets a title start with "-".
TEST_F(CliSearchTest, theTableDropsControlCharacters)
{
    FixtureServer::Reply page;
    page.body = "<a href=\"/film/titre_MATRIX.html\">MA\x1b]0;owned\x07TRIX\x1b[2J</a> (1999)";
    m_server.setReply("/mc/multicrit.html", page);
    const Outcome search = run({"search", "--bases", "6", "--", "-matrix"});
    EXPECT_EQ(search.exitCode, 0);
    EXPECT_EQ(search.out, "1. MA]0;ownedTRIX[2J (1999) [MovieCovers]\n");
    EXPECT_EQ(m_server.count("/mc/multicrit.html?titre=-matrix&slow=1&listes=1"), 1);
}

TEST_F(CliSearchTest, badSearchArgumentsGiveStatusTwo)
{
    const QStringList bad[] = {
        {"search"}, {"search", "--bases", "14", "matrix"}, {"search", "--bases"}, {"search", "--hit", "1", "x"},
        {"download", "matrix"}, {"download", "--hit", "0", "matrix"}, {"download", "--json", "--hit", "1", "x"},
        {"bases", "extra"}, {"search", "-x", "matrix"}, {"download", "--hit", "1", "--into", "", "matrix"},
        {"check", "--hit", "1"}, {"check", "--bases", "99"},
        // No folder stored and none in the home folder.
        {"download", "--hit", "1", "--bases", "6", "matrix"},
    };
    for (const QStringList &args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(run(args).exitCode, 2);
    }
    EXPECT_TRUE(m_server.requests().isEmpty());
}

} // namespace
