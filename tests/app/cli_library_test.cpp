#include "child_process.h"
#include "disk_trouble.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <gtest/gtest.h>
#include <csignal>

namespace {

// A film library in the command line's home, searched on the sample sites.
class CliLibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_cli.dropRoot();
        m_library = m_cli.home() + QStringLiteral("/Films");
        m_log = m_cli.home() + QStringLiteral("/requests.log");
    }

    // Starts the sample sites and points the command line's settings at them.
    void startSites(const QStringList &args = {})
    {
        m_sites.start(QStringList{"--log", m_log} + args);
        QByteArray out;
        while (!out.contains("Ready\n") && m_sites.process().waitForReadyRead(10000))
            out += m_sites.process().readAllStandardOutput();
        SettingsStore store(m_cli.iniFile());
        for (const QByteArray &line : out.split('\n'))
            if (line.startsWith("Hote-"))
                store.EcritValeur(QString::fromUtf8(line.left(line.indexOf('='))), QString::fromUtf8(line.mid(line.indexOf('=') + 1)));
        m_server = QUrl(store.LitValeur("Hote-MovieCovers")).adjusted(QUrl::RemovePath).toString();
    }

    // A film file of `size` bytes at `path` under the library, its folders open to the command line.
    void film(const QString &path, qint64 size = 2 << 20)
    {
        const QString file = m_library + u'/' + path;
        QDir().mkpath(QFileInfo(file).path());
        QFile(file).open(QIODevice::WriteOnly);
        QFile::resize(file, size);
        for (QString folder = QFileInfo(file).path(); folder.startsWith(m_library); folder = QFileInfo(folder).path())
            QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
    }

    QByteArray fetched(const QString &path) const
    {
        QNetworkAccessManager manager;
        manager.setProxy(QNetworkProxy::NoProxy);
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(m_server + path))));
        EXPECT_TRUE(QTest::qWaitFor([&] { return reply->isFinished(); }, 10000));
        return reply->readAll();
    }

    // Every file under the library whose name holds "poster" or a temporary one's mark.
    QStringList posters() const
    {
        QStringList found;
        for (QDirIterator it(m_library, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            if (path.contains(u"poster") || path.contains(u"folder."))
                found << path.mid(m_library.size() + 1);
        }
        found.sort();
        return found;
    }

    ChildProcess m_cli;
    ChildProcess m_sites{QStringLiteral(PELLICAM_SAMPLE_SITES)};
    QString m_library;
    QString m_log;
    QString m_server;
};

// Each film gets the poster of its own year from the earliest row, written
// beside it under the right name; a poster there is kept; a film no site
// has, or whose folder cannot be written, is left without one and said so.
TEST_F(CliLibraryTest, eachFilmGetsThePosterOfItsTitleAndYear)
{
    startSites();
    film("The Matrix (1999)/The.Matrix.1999.1080p.BluRay.x264-GROUP.mkv");
    film("The Matrix (1999)/Sample/sample.mkv");
    film("Alien (1979)/alien.mkv");
    film("Le Parrain [1972]/film.avi");
    film("Loose/Matrix.Reloaded.2003.mkv");
    film("Loose/Star.Wars.1977.mp4");
    film("Loose/trailer.mkv", 1000);
    film("Dune (1984)/dune.mkv");
    film("Dune.2021.2160p.WEB-DL.x265-GROUP/dune.mkv");
    film("Solaris (2002)/VIDEO_TS/VTS_01_1.VOB");
    film("Solaris, 1972/solaris.mkv");
    film("Star Wars (1977)/star wars.mkv");
    QFile(m_library + "/Star Wars (1977)/poster.png").open(QIODevice::WriteOnly);
    film("Nosferatu (1922)/nosferatu.mkv");
    film("Locked/The Godfather Part II (1974)/godfather.mkv");
    QFile::setPermissions(m_library + "/Locked/The Godfather Part II (1974)", QFileDevice::ReadOther | QFileDevice::ExeOther
                                                                                  | QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QTemporaryDir outside;
    QDir().mkpath(outside.filePath("Amelie (2001)"));
    QFile::link(outside.path(), m_library + "/Outside");

    const ChildOutcome run = m_cli.run({"library", "--json", m_library});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    QStringList lines;
    for (const QString &line : run.out.split(u'\n', Qt::SkipEmptyParts)) {
        const QJsonObject film = QJsonDocument::fromJson(line.toUtf8()).object();
        lines << QStringLiteral("%1|%2|%3|%4|%5|%6")
                     .arg(film["folder"].toString().mid(m_library.size() + 1), film["title"].toString())
                     .arg(film["year"].toInt())
                     .arg(film["outcome"].toString(), film["site"].toString(), film["file"].toString().mid(m_library.size() + 1));
    }
    EXPECT_EQ(lines, QStringList({
                         "Alien (1979)|Alien|1979|written|IMP Awards|Alien (1979)/poster.jpg",
                         "Dune (1984)|Dune|1984|written|Cinefil|Dune (1984)/poster.jpg",
                         "Dune.2021.2160p.WEB-DL.x265-GROUP|Dune|2021|written|AlloCiné|Dune.2021.2160p.WEB-DL.x265-GROUP/poster.jpg",
                         "Le Parrain [1972]|Le Parrain|1972|written|AlloCiné|Le Parrain [1972]/poster.jpg",
                         "Locked/The Godfather Part II (1974)|The Godfather Part II|1974|failed|IMP Awards|",
                         "Loose|Matrix Reloaded|2003|written|AlloCiné|Loose/Matrix.Reloaded.2003-poster.jpg",
                         "Loose|Star Wars|1977|written|IMP Awards|Loose/Star.Wars.1977-poster.jpg",
                         "Nosferatu (1922)|Nosferatu|1922|not-found||",
                         "Solaris (2002)|Solaris|2002|written|Cinefil|Solaris (2002)/poster.jpg",
                         "Solaris, 1972|Solaris|1972|written|AlloCiné|Solaris, 1972/poster.jpg",
                         "Star Wars (1977)|Star Wars|1977|kept||Star Wars (1977)/poster.png",
                         "The Matrix (1999)|The Matrix|1999|written|AlloCiné|The Matrix (1999)/poster.jpg",
                     }));
    EXPECT_TRUE(run.err.contains(m_library + "/Outside: a link out of the library, not followed")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("12 films: 9 posters written, 1 kept, 1 not found, 1 failed")) << run.err.toStdString();
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(SettingsStore(m_cli.iniFile()).LitValeur("Historique-1"), "") << "the history is left as it was";

    // Each poster is the very picture its site serves: one of the pictures asked for.
    QList<QByteArray> served;
    for (const QByteArray &line : contents(m_log).split('\n'))
        if (line.contains(" GET "))
            served << fetched(QString::fromUtf8(line.mid(line.indexOf(" GET ") + 5)));
    for (const QString &poster : posters()) {
        const QByteArray bytes = contents(m_library + u'/' + poster);
        EXPECT_TRUE(poster.endsWith(u".png") || served.contains(bytes)) << poster.toStdString();
    }
}

// A dry run writes nothing; Ctrl+C ends the run after the film under way,
// whose poster is whole or absent.
TEST_F(CliLibraryTest, aDryRunWritesNothingAndCtrlCLeavesNoHalfFile)
{
    startSites({"--latency", "100"});
    for (const char *name : {"Alien (1979)", "Dune (1984)", "Le Parrain (1972)", "Solaris (2002)", "Star Wars (1977)",
                             "The Matrix (1999)"})
        film(QString::fromUtf8(name) + "/film.mkv");
    const ChildOutcome dry = m_cli.run({"library", "--dry-run", m_library});
    EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    EXPECT_EQ(dry.out.count(u"would-write"), 6);
    EXPECT_EQ(posters(), QStringList());
    // MovieCovers' printable jackets are PDF files, never a poster.
    const ChildOutcome jackets = m_cli.run({"library", "--dry-run", "--jackets", "--bases", "11", m_library});
    EXPECT_EQ(jackets.exitCode, 1);
    EXPECT_EQ(jackets.out.count(u"not-found"), 6) << jackets.out.toStdString();

    m_cli.start({"library", m_library});
    ASSERT_TRUE(m_cli.process().waitForReadyRead(30000));
    ::kill(pid_t(m_cli.process().processId()), SIGINT);
    ASSERT_TRUE(m_cli.process().waitForFinished(30000));
    EXPECT_EQ(m_cli.process().exitCode(), 130);
    const QStringList written = posters();
    EXPECT_GE(written.size(), 1);
    EXPECT_LT(written.size(), 6);
    for (const QString &poster : written)
        EXPECT_FALSE(QImage(m_library + u'/' + poster).isNull()) << poster.toStdString();
}

} // namespace
