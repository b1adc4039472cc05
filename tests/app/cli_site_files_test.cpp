#include "child_process.h"
#include "disk_trouble.h"
#include "site_test.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

// pellicam-cli over site files: a folder named by Dossier-Sites and the
// user's own, the sample HTML file's pages played by the test server.
class CliSiteFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        const auto page = [](const char *name) { return pageReply(fixtureFile("site-files", name), "text/html; charset=utf-8"); };
        m_server.setReply("/h/search", page("results-1.html"));
        m_server.setReply("/h/results-2.html", page("results-2.html"));
        for (const char *film : {"m1", "m2", "m3"})
            m_server.setReply(QStringLiteral("/h/film/%1.html").arg(film), page(qPrintable(QStringLiteral("film-%1.html").arg(film))));
        m_server.setFallback([](const FixtureServer::Request &) { return pictureReply(jpegBytes()); });
        m_folder = m_cli.home() + QStringLiteral("/sites");
        m_user = m_cli.home() + QStringLiteral("/.local/share/Pellicam/sites");
        QDir().mkpath(m_folder);
        QDir().mkpath(m_user);
        run({"config", "set", "Dossier-Sites", m_folder});
        run({"config", "set", "Hote-sample-html", m_server.url("/h/")});
    }

    ChildOutcome run(const QStringList &args) { return m_cli.run(args); }

    // The sample HTML file, its id changed to `id`.
    void write(const QString &path, const QString &id = QStringLiteral("sample-html"), const QByteArray &more = {})
    {
        writeFile(path, fixtureFile("site-files", "html.yaml").replace("id: sample-html", "id: " + id.toUtf8()) + more);
    }

    ChildProcess m_cli;
    FixtureServer m_server;
    QString m_folder;
    QString m_user;
};

// Every file is listed in the order read with what became of it; a broken
// file says where it is wrong; --no-site-files and the environment leave
// the built-in sites alone.
TEST_F(CliSiteFilesTest, sitesListsEveryFileAndWhichRuns)
{
    write(m_folder + "/a.yaml");
    write(m_folder + "/b.yaml", QStringLiteral("MovieCovers"));
    write(m_folder + "/c.yml", QStringLiteral("zeta"), "extra: 1\n");
    write(m_folder + "/d.yaml", QStringLiteral("Editeur"));
    write(m_user + "/mine.yaml", QStringLiteral("SAMPLE-html"));
    const QStringList before = filesUnder(m_cli.home());

    const ChildOutcome sites = run({"sites"});
    EXPECT_EQ(sites.exitCode, 1);
    EXPECT_EQ(sites.out, QStringLiteral("replaced\tsample-html\t%1/a.yaml\n"
                                        "replaces\tMovieCovers\t%1/b.yaml\n"
                                        "broken\tzeta\t%1/c.yml\n"
                                        "%1/c.yml:26:1: extra: unknown key; known keys: film-page, format, home, "
                                        "hosts, id, kind, language, name, picture, search\n"
                                        "broken\tEditeur\t%1/d.yaml\n"
                                        "%1/d.yaml:2:5: id: Editeur is taken by the program; choose another id\n"
                                        "loaded\tSAMPLE-html\t%2/mine.yaml\n")
                             .arg(m_folder, m_user));
    const QStringList bases = run({"bases"}).out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(bases.size(), 15);
    EXPECT_EQ(bases[6], QStringLiteral("6\tMovieCovers (JPG)\tFr\tposters\t%1/b.yaml").arg(m_folder));
    EXPECT_EQ(bases[11], "11\tMovieCovers (PDF)\tFr\tjackets\t");
    EXPECT_EQ(bases[14], QStringLiteral("14\tSample HTML\tFr\tposters\t%1/mine.yaml").arg(m_user));

    EXPECT_EQ(run({"--no-site-files", "sites"}).out, "");
    EXPECT_EQ(run({"--no-site-files", "bases"}).out.count(u'\n'), 14);
    qputenv("PELLICAM_NO_SITE_FILES", "1");
    const ChildOutcome none = run({"bases"});
    qunsetenv("PELLICAM_NO_SITE_FILES");
    EXPECT_EQ(none.out.count(u'\n'), 14);
    EXPECT_EQ(filesUnder(m_cli.home()), before) << "nothing is written into the site folders";
}

// site check reads without the network; site test runs the file step by
// step; --bases takes the file's id.
TEST_F(CliSiteFilesTest, checkTestAndSearchAFile)
{
    const QString good = m_folder + "/good.yaml";
    const QString bad = m_folder + "/bad.yaml";
    write(good);
    write(bad, QStringLiteral("x"), "search: {}\n");
    const ChildOutcome check = run({"site", "check", good, bad});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out, bad + ":26:1: search: duplicate key (first at line 7)\n");
    EXPECT_EQ(run({"site", "check", good}).exitCode, 0);
    EXPECT_EQ(m_server.requests().size(), 0);

    const ChildOutcome test = run({"site", "test", good, "matrix", "--json"});
    EXPECT_EQ(test.exitCode, 0) << test.err.toStdString();
    QStringList steps;
    QJsonObject last;
    for (const QString &line : test.out.split(u'\n', Qt::SkipEmptyParts)) {
        last = QJsonDocument::fromJson(line.toUtf8()).object();
        if (steps.value(steps.size() - 1) != last.value("step").toString())
            steps << last.value("step").toString();
    }
    EXPECT_EQ(steps, QStringList({"request", "answer", "rows", "field", "next-page", "request", "answer", "rows",
                                  "field", "film-page", "field", "film-page", "field", "film-page", "field", "thumbnail",
                                  "picture", "hit", "picture", "hit", "picture", "hit", "report"}));
    EXPECT_EQ(last.value("outcome").toString(), "hits");
    EXPECT_TRUE(test.out.contains(QStringLiteral("{\"address\":\"%1\",\"allowed\":true,\"step\":\"picture\","
                                                 "\"title\":\"Matrix & Co\"}").arg(m_server.url("/h/big/m1.jpg"))));
    const ChildOutcome search = run({"search", "--bases", "SAMPLE-HTML", "matrix"});
    EXPECT_EQ(search.out, QString::fromUtf8("1. Matrix & Co (1999) [Sample HTML]\n2. Matrix Reloaded [Sample HTML]\n"
                                            "3. Matrix Révolutions (2003) [Sample HTML]\n"));
    EXPECT_EQ(run({"check", "--bases", "14,nope"}).exitCode, 2);

    m_server.setReply("/h/search", pageReply("<p>No film</p>"));
    const ChildOutcome nothing = run({"site", "test", good, "matrix"});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.out.contains("rows, page 1: none; search.rows.within: no text between")) << nothing.out.toStdString();
}

} // namespace
