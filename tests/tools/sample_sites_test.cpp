#include "child_process.h"
#include "settings/app_paths.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Fetched
{
    int status = 0;
    QByteArray contentType;
    QByteArray body;
};

class SampleSitesTest : public ::testing::Test
{
protected:
    // Starts the program and returns the MovieCovers address it announces
    // before "Ready"; empty when it does not come up.
    QString start(const QStringList &args = {})
    {
        m_sites.start(args);
        QByteArray out;
        while (!out.contains("Ready\n") && m_sites.process().waitForReadyRead(10000))
            out += m_sites.process().readAllStandardOutput();
        m_announced = QString::fromUtf8(out);
        return out.contains("Ready\n") ? setting("Hote-MovieCovers") : QString();
    }

    QString setting(const QString &name) const
    {
        return QRegularExpression("^" + name + "=(.*)$", QRegularExpression::MultilineOption).match(m_announced).captured(1);
    }

    static Fetched get(const QString &url)
    {
        QNetworkAccessManager manager;
        manager.setProxy(QNetworkProxy::NoProxy);
        QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(url)));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        Fetched fetched{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                        reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), reply->readAll()};
        delete reply;
        return fetched;
    }

    // A socket of its own on the site at `address`, with `request` sent (%1 is the address's path).
    static void send(QTcpSocket &socket, const QUrl &address, const char *request)
    {
        socket.connectToHost(address.host(), quint16(address.port()));
        if (socket.waitForConnected(10000))
            socket.write(QString::fromLatin1(request).arg(address.path()).toLatin1());
    }

    ChildProcess m_sites{QStringLiteral(PELLICAM_SAMPLE_SITES)};
    QString m_announced;
};

// Every "k 0 obj" must start where the cross-reference table says.
bool xrefOffsetsPointAtTheirObjects(const QByteArray &pdf)
{
    const qsizetype startxref = pdf.lastIndexOf("startxref\n");
    const qsizetype xref = pdf.mid(startxref + 10).split('\n').value(0).toLongLong();
    if (startxref < 0 || !pdf.mid(xref).startsWith("xref\n0 "))
        return false;
    const QList<QByteArray> lines = pdf.mid(xref).split('\n');
    const int count = lines.value(1).split(' ').value(1).toInt();
    for (int object = 1; object < count; ++object) {
        const QByteArray entry = lines.value(2 + object);
        if (entry.size() != 19 || !pdf.mid(entry.left(10).toLongLong()).startsWith(QByteArray::number(object) + " 0 obj"))
            return false;
    }
    return count > 1;
}

TEST_F(SampleSitesTest, movieCoversAnswersSearchesPicturesAndJackets)
{
    const QString base = start();
    ASSERT_TRUE(QRegularExpression("^http://127\\.0\\.0\\.1:\\d+/moviecovers$").match(base).hasMatch()) << base.toStdString();
    EXPECT_FALSE(QFile::exists(m_sites.iniFile()));

    const struct
    {
        const char *typed;
        QList<QByteArray> expected; // each hit as the program reads it
    } searches[] = {
        {"matrix", {"<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)",
                    "<a href=\"/film/titre_MATRIXRELOADED.html\">MATRIX RELOADED</a> (2003)"}},
        {"Le%20Parrain", {"/film/titre_PARRAIN.html\">PARRAIN (LE)</a> (1972)",
                          "/film/titre_PARRAIN2.html\">PARRAIN 2 (LE)</a> (1974)"}},
        // Typed with its accent (sent as UTF-8 or Latin-1) or without: the page is Latin-1.
        {"am%C3%A9lie", {"/film/titre_FABULEUXDESTINDAMELIEPOULAIN.html\">AM\xC9LIE POULAIN (LE FABULEUX DESTIN D')</a> (2001)"}},
        {"am%E9lie", {"/film/titre_FABULEUXDESTINDAMELIEPOULAIN.html\">"}},
        {"AMELIE", {"/film/titre_FABULEUXDESTINDAMELIEPOULAIN.html\">"}},
        {"no%20such%20film", {}},
    };
    for (const auto &search : searches) {
        const Fetched page = get(base + "/multicrit.html?titre=" + search.typed + "&slow=1&listes=1");
        EXPECT_EQ(page.status, 200) << search.typed;
        EXPECT_TRUE(page.contentType.contains("iso-8859-1")) << page.contentType.toStdString();
        EXPECT_EQ(page.body.count("/film/"), search.expected.size()) << search.typed;
        for (const QByteArray &hit : search.expected)
            EXPECT_TRUE(page.body.contains(hit)) << search.typed << ": " << hit.toStdString();
    }

    const struct
    {
        const char *path;
        QSize size;
    } pictures[] = {
        {"/DATA/thumbs/films-m/MATRIX.jpg", {111, 172}},
        {"/getjpg.html/MATRIX.jpg", {500, 750}},
        // A title ending with ")" files its thumbnail under the title's letter.
        {"/DATA/thumbs/films-a/FABULEUXDESTINDAMELIEPOULAIN.jpg", {111, 172}},
    };
    for (const auto &picture : pictures) {
        const Fetched fetched = get(base + picture.path);
        EXPECT_EQ(fetched.contentType, "image/jpeg") << picture.path;
        EXPECT_EQ(QImage::fromData(fetched.body, "JPEG").size(), picture.size) << picture.path;
    }

    const Fetched jacket = get(base + "/getpdf5.html?idmc1=MATRIX&taille=272x182-14&couleurfond=noir"
                                      "&police=courier&submit=Voir...");
    EXPECT_EQ(jacket.contentType, "application/pdf");
    EXPECT_TRUE(jacket.body.startsWith("%PDF-"));
    EXPECT_TRUE(jacket.body.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(xrefOffsetsPointAtTheirObjects(jacket.body));
    for (const char *written : {"(MATRIX)", "(taille=272x182-14)", "(couleurfond=noir)", "/BaseFont /Courier"})
        EXPECT_TRUE(jacket.body.contains(written)) << written;

    for (const char *missing : {"/DATA/thumbs/films-m/NOSUCHFILM.jpg", "/DATA/thumbs/films-f/FABULEUXDESTINDAMELIEPOULAIN.jpg",
                                "/getjpg.html/NOSUCHFILM.jpg", "/getpdf5.html?idmc1=NOSUCHFILM&taille=142x95-18"})
        EXPECT_EQ(get(base + missing).status, 404) << missing;
    EXPECT_EQ(get(QString(base).remove("/moviecovers") + "/nosuchsite/").status, 404);
}

// A title two films share is found through the command line with both
// years, each on sites of its own and both on one; a title no site knows, nowhere.
TEST_F(SampleSitesTest, theCommandLineFindsEachFilmOfASharedTitleWithItsYear)
{
    const QString base = start({"--apply"});
    ASSERT_FALSE(base.isEmpty());
    // Drawn apart, so a poster shows which of the two was fetched.
    EXPECT_NE(get(base + "/getjpg.html/DUNE.jpg").body, get(base + "/getjpg.html/DUNE2021.jpg").body);
    ChildProcess cli;
    QDir().mkpath(QFileInfo(cli.iniFile()).path());
    ASSERT_TRUE(QFile::copy(m_sites.iniFile(), cli.iniFile()));
    const struct
    {
        const char *typed;
        QStringList found; // "site year", each once, in row order
    } searches[] = {
        {"dune", {"AlloCiné 2021", "Cinefil 1984", "IMP Awards 1984", "MovieCovers 1984", "MovieCovers 2021", "Frameshelf 2021"}},
        {"solaris", {"AlloCiné 1972", "Cinefil 1972", "Cinefil 2002", "IMP Awards 2002", "MovieCovers 1972", "Frameshelf 2002"}},
        {"Nosferatu", {}},
    };
    for (const auto &search : searches) {
        QStringList found;
        const ChildOutcome outcome = cli.run({"search", "--json", "--bases", "all", search.typed});
        for (const QString &line : outcome.out.split(u'\n', Qt::SkipEmptyParts)) {
            const QJsonObject hit = QJsonDocument::fromJson(line.toUtf8()).object();
            found << hit["site"].toString() + u' ' + QString::number(hit["year"].toInt());
        }
        found.removeDuplicates();
        EXPECT_EQ(found, search.found) << search.typed;
    }
}

// The addresses and the sample site files' folder stored; every reply held
// back by the latency: not there within a fifth of it, then there; a term
// signal ends the program cleanly.
TEST_F(SampleSitesTest, applyLatencyAndATermSignal)
{
    const QString base = start({"--apply", "--latency", "1000"});
    ASSERT_FALSE(base.isEmpty());
    EXPECT_EQ(SettingsStore(m_sites.iniFile()).LitValeur("Hote-MovieCovers"), base);
    EXPECT_EQ(SettingsStore(m_sites.iniFile()).LitValeur("Dossier-Sites"), AppPaths::sampleSiteFiles());
    QTcpSocket socket;
    send(socket, QUrl(base), "GET %1/getjpg.html/NOSUCHFILM.jpg HTTP/1.1\r\n\r\n");
    EXPECT_FALSE(socket.waitForReadyRead(200)) << socket.readAll().toStdString();
    ASSERT_TRUE(socket.waitForReadyRead(10000));
    EXPECT_TRUE(socket.readAll().startsWith("HTTP/1.1 404 ")) << "the reply held back";

    m_sites.process().terminate();
    ASSERT_TRUE(m_sites.process().waitForFinished(10000));
    EXPECT_EQ(m_sites.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_sites.process().exitCode(), 0);
}

// A client on a socket of its own, as the form posts are, sees each failure,
// and the other sites answer meanwhile.
TEST_F(SampleSitesTest, sitesFailOnPurposeOnAllTheirAddresses)
{
    const QString base = start({"--refuse", "DvdFr", "--error", "cinefil", "--error", "hdcovers:404",
                                "--stall", "allocine", "--no-markers", "alldivx"});
    ASSERT_FALSE(base.isEmpty());
    constexpr char page[] = "GET %1/ HTTP/1.1\r\n\r\n";
    const struct
    {
        const char *setting;
        const char *request; // %1 is the address's path
        QAbstractSocket::SocketError error; // how the exchange ends
        QByteArray statusLine;
        int waitMs;
    } rows[] = {
        {"Hote-DvdFr", page, QAbstractSocket::ConnectionRefusedError, "", 10000},
        {"Hote-CinefilImages", page, QAbstractSocket::RemoteHostClosedError, "HTTP/1.1 500 Internal Server Error", 10000},
        {"Hote-HDCovers", page, QAbstractSocket::RemoteHostClosedError, "HTTP/1.1 404 Not Found", 10000},
        {"Hote-AlloCine", page, QAbstractSocket::SocketTimeoutError, "", 300},
        {"Hote-AllDivX", "POST %1/base.php?rub=site/recherche.php&var=recherche_cover HTTP/1.1\r\n"
                         "Content-Length: 27\r\n\r\nnom=matrix&recherche=toutes",
         QAbstractSocket::RemoteHostClosedError, "HTTP/1.1 200 OK", 10000},
    };
    for (const auto &row : rows) {
        QTcpSocket socket;
        send(socket, QUrl(setting(row.setting)), row.request);
        EXPECT_EQ(get(base + "/multicrit.html?titre=matrix").status, 200) << row.setting;
        QByteArray answer = socket.readAll();
        while (socket.waitForReadyRead(row.waitMs))
            answer += socket.readAll();
        EXPECT_EQ(socket.error(), row.error) << row.setting;
        EXPECT_EQ(answer.left(answer.indexOf('\r')), row.statusLine) << row.setting;
        EXPECT_FALSE(answer.toLower().contains("<a href")) << row.setting;
    }
}

TEST_F(SampleSitesTest, badArgumentsGiveTheUsageOnStandardErrorAndStatusTwo)
{
    const QStringList bad[] = {{"--port", "x"}, {"--port", "70000"}, {"--latency", "-1"},
                               {"--latency"}, {"--bogus"}, {"stray"}, {"--stall", "nosuchsite"},
                               {"--error", "dvdfr:200"}, {"--no-markers"}};
    for (const QStringList &args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const ChildOutcome outcome = m_sites.run(args);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_TRUE(outcome.err.contains("Usage:") && outcome.err.contains("covercomoz")) << outcome.err.toStdString();
        EXPECT_EQ(outcome.out, "");
    }
}

} // namespace
