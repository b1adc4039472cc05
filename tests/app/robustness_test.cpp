// What the program survives with nothing lost: its window closed in the middle
// of a run, servers that stall, reset the connection or send a huge page,
// pictures that are not pictures, a download folder that is full or cannot be
// written, and settings that are corrupt, cannot be read or were cut off.

#include "await_task.h"
#include "child_process.h"
#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "disk_trouble.h"
#include "home_folder.h"
#include "net/download.h"
#include "settings/site_addresses.h"
#include "site_test.h"
#include "windows/desktop_output.h"
#include "windows/main_window.h"
#include "windows/poster_viewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

const QByteArray kTwoFilms = "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)<br>\n"
                             "<a href=\"/film/titre_MATRIX2.html\">MATRIX RELOADED</a> (2003)<br>\n";
const QByteArray kErrorPage = "<html><body>This picture has moved.</body></html>";
const QString kPosterName = QStringLiteral("Matrix [1999]  (MovieCovers).jpg");

// The most memory this process has held so far (its peak resident set).
qint64 peakMemoryBytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// Answers the message boxes that the program opens while this lives (with
// `answer`, or the only button there is), and keeps their texts. `nestedOnly`:
// only those that run an event loop of their own, blocking what opened them.
class MessageBoxAnswers
{
public:
    explicit MessageBoxAnswers(QMessageBox::StandardButton answer = QMessageBox::Yes, bool nestedOnly = false)
    {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this, answer, nestedOnly] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || (nestedOnly && QThread::currentThread()->loopLevel() == 0))
                return;
            m_texts << box->text();
            QAbstractButton *button = box->button(answer);
            (button ? button : box->buttons().value(0))->click();
        });
        m_poll.start();
    }
    QStringList texts() const { return m_texts; }

private:
    QTimer m_poll;
    QStringList m_texts;
};

// ---------------------------------------------------------------------------
// Closing the window during a run

// A started main window searching MovieCovers, played by the test server,
// with the program's own time limits: only the closing can end a wait early.
class ClosingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_test.store.EcritValeur(QStringLiteral("Hote-MovieCovers"), m_server.url(QStringLiteral("/mc")));
        m_test.store.EcritValeur(QStringLiteral("Hote-Editeur"), m_server.url(QStringLiteral("/editeur")));
        program().download().setTiming({});
        m_window = std::make_unique<MainWindow>(m_test.assembly);
        QObject::connect(m_window.get(), &MainWindow::closed, [this] { m_closed = true; });
        m_window->start();
        program().state().BaseUnique = false;
        program().catalogue().setTick(6, 1);
        program().catalogue().AfficheNbrCoche();
    }

    Program &program() { return m_test.program; }

    void search()
    {
        QTest::keyClicks(m_window->titleBox()->lineEdit(), QStringLiteral("matrix"));
        QTest::keyClick(m_window->titleBox()->lineEdit(), Qt::Key_Return);
    }

    // The site is asked for `path`, which never answers, and the window is closed then.
    void closeOnceAskedFor(const QByteArray &path)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_server.count(path) == 1; }, 5000)) << "the site was asked";
        m_window->close();
    }

    // Closed well before the read's time limit (20 s), with the settings
    // stored and no file of the poster left anywhere.
    void expectClosedWithSettingsStored()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return m_closed; }, 5000)) << "the window closed at once";
        EXPECT_FALSE(m_window->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([this] { return !program().searching() && !program().retrieval().downloading(); }, 2000));
        const SettingsStore stored(m_test.dir.filePath(QStringLiteral("Pellicam.ini")));
        EXPECT_EQ(stored.LitValeur(QStringLiteral("Base6")), QStringLiteral("1"));
        EXPECT_EQ(stored.LitValeur(QStringLiteral("Folder-Id")), QStringLiteral("3"));
        EXPECT_EQ(stored.LitValeur(QStringLiteral("Historique-1")), QStringLiteral("matrix"));
        EXPECT_EQ(filesUnder(program().state().DossierTemp), QStringList{});
        EXPECT_EQ(filesUnder(m_home.path("Pictures")), QStringList{});
    }

    HomeFolder m_home;
    FixtureServer m_server;
    TestProgram m_test;
    std::unique_ptr<MainWindow> m_window;
    bool m_closed = false;
};

TEST_F(ClosingTest, closingDuringASearchStopsItStoresTheSettingsAndCloses)
{
    const QByteArray page = "/mc/multicrit.html?titre=matrix&slow=1&listes=1";
    m_server.setReply(QString::fromLatin1(page), stalledReply());
    search();
    closeOnceAskedFor(page);
    expectClosedWithSettingsStored();
    EXPECT_EQ(program().results().NbResultats(), 0);
}

TEST_F(ClosingTest, closingDuringADownloadStopsItLeavesNoFileAndCloses)
{
    m_server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    m_server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), stalledReply());
    search();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !program().searching(); }, 10000));
    ASSERT_EQ(program().results().NbVignettes(), 2);
    program().retrieval().downloadClicked(0);
    closeOnceAskedFor("/mc/getjpg.html/MATRIX.jpg");
    expectClosedWithSettingsStored();
}

// The question whether to replace an earlier copy is asked outside the reply's
// handler, while the retrieval waits; closing the window answers no.
TEST_F(ClosingTest, closingDuringTheReplaceQuestionCopiesNothingAndEndsTheRetrieval)
{
    m_server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    m_server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), pictureReply(posterBytes(1024)));
    search();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !program().searching(); }, 10000));
    const QString earlier = program().retrieval().saveFolder() + u'/' + kPosterName;
    writeFile(earlier, "earlier copy");
    // A question with a loop of its own would be answered here, inside the reply's handler.
    const MessageBoxAnswers nested(QMessageBox::Yes, true);
    program().retrieval().downloadClicked(0);
    ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); }, 10000));
    EXPECT_TRUE(program().retrieval().downloading());
    m_window->close();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !program().retrieval().downloading(); }, 5000));
    EXPECT_EQ(contents(earlier), "earlier copy");
    EXPECT_FALSE(program().results().slot(0).downloaded);
    EXPECT_EQ(nested.texts(), QStringList{});
}

// ---------------------------------------------------------------------------
// Servers that misbehave during a run

// MovieCovers played by the test server.
class MisbehavingServerTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-MovieCovers"), QStringLiteral("/mc"));
        m_saved = m_test.dir.filePath(QStringLiteral("saved"));
        QDir().mkpath(m_saved);
        retrieval().setSaveFolder(m_saved);

        answer(QStringLiteral("/multicrit.html"), kTwoFilms);
        answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX.jpg"), pictureReply(jpegBytes({40, 60})));
        answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX2.jpg"), pictureReply(jpegBytes({40, 60})));
        answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(m_poster));
    }

    Retrieval &retrieval() { return program().retrieval(); }

    static FixtureServer::Reply reset(const QByteArray &body = {}, qsizetype after = -1)
    {
        FixtureServer::Reply reply = pageReply(body, "image/jpeg");
        reply.reset = true;
        reply.cutAfter = after;
        return reply;
    }

    const QByteArray m_poster = posterBytes(64 * 1024);
    QString m_saved;
};

// Both bases read the same page and thumbnails at once; a broken thumbnail
// fails only itself.
TEST_F(MisbehavingServerTest, aBrokenThumbnailFailsOnlyItself)
{
    for (const auto &[what, broken] : {std::pair{"stalled", stalledReply()}, std::pair{"reset", reset()},
                                       std::pair{"not a picture", pictureReply(kErrorPage)}}) {
        SCOPED_TRACE(what);
        answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX.jpg"), broken);
        searchBases({6, 11});
        ASSERT_EQ(program().results().NbVignettes(), 4);
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(slot(row).thumbnail.isNull(), row % 2 == 0) << row;
        EXPECT_EQ(program().statusText(), "4" + program().text(14));
        EXPECT_TRUE(program().inputEnabled());
    }
}

// Nothing of a poster that broke on its way is kept, so nothing can later
// count as fetched: once the site answers again, it is fetched anew and copied.
TEST_F(MisbehavingServerTest, aBrokenPosterLeavesNothingAndIsFetchedAgainNextTime)
{
    searchBases({6});
    ASSERT_EQ(program().results().NbVignettes(), 2);
    const struct
    {
        const char *what;
        FixtureServer::Reply reply;
        bool fullDisk;
    } cases[] = {
        {"reset half way", reset(m_poster, 16 * 1024), false},
        {"not a picture", pictureReply(kErrorPage), false},
        {"no room in the cache", pictureReply(m_poster), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), c.reply);
        std::optional<FileSizeLimit> fullDisk;
        if (c.fullDisk)
            fullDisk.emplace(4096);
        retrieve(0, true);
        fullDisk.reset();
        EXPECT_EQ(filesUnder(program().state().DossierTemp), QStringList{});
        EXPECT_EQ(filesUnder(m_saved), QStringList{});
        EXPECT_FALSE(slot(0).downloaded);
        EXPECT_TRUE(retrieval().lastCopy().isEmpty());
        EXPECT_FALSE(retrieval().downloading());
        EXPECT_TRUE(program().searchButtonEnabled());
        EXPECT_EQ(m_actions.calls, QStringList{}) << "nothing to copy";
    }

    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(m_poster));
    retrieve(0, true);
    EXPECT_EQ(m_server.count("/mc/getjpg.html/MATRIX.jpg"), 4);
    EXPECT_EQ(contents(m_test.cached(kPosterName)), m_poster);
    EXPECT_EQ(contents(m_saved + u'/' + kPosterName), m_poster);
    EXPECT_TRUE(slot(0).downloaded);
}

TEST_F(MisbehavingServerTest, theViewerSaysWhenAPosterIsNotAPicture)
{
    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(kErrorPage));
    DesktopOutput desktop(program(), nullptr);
    retrieval().setOutputActions(&desktop);
    searchBases({6});
    retrieve(0, false);

    PosterViewer *viewer = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *shown = qobject_cast<PosterViewer *>(widget); shown && shown->isVisible())
            viewer = shown;
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->pictureLoaded());
    ASSERT_NE(viewer->messageLabel(), nullptr);
    EXPECT_EQ(viewer->messageLabel()->text(), program().text(101) + u'\n' + program().text(102));
    EXPECT_EQ(filesUnder(program().state().DossierTemp), QStringList{});
    viewer->close();
    retrieval().setOutputActions(&m_actions);
}

TEST_F(MisbehavingServerTest, anEndlessPageIsGivenUpAtItsCapAndNothingOfItIsScanned)
{
    FixtureServer::Reply endless = pageReply(kTwoFilms.repeated(1000));
    endless.endless = true;
    answer(QStringLiteral("/multicrit.html"), endless);
    // No second request, and a bounded loss should the cap not hold.
    program().download().setTiming({30000, 5000, 100});
    const qint64 peakBefore = peakMemoryBytes();

    searchBases({6});

    EXPECT_EQ(program().results().NbResultats(), 0) << "the films at the page's start are not kept either";
    EXPECT_FALSE(program().searching());
    EXPECT_EQ(m_server.count("/mc/multicrit.html?titre=matrix&slow=1&listes=1"), 1);
    // The page is held a few times over at most (the reply's bytes, the disk cache), never past its cap.
    EXPECT_LT(peakMemoryBytes() - peakBefore, 8 * Download::Caps{}.pageBytes);
}

// ---------------------------------------------------------------------------
// Copies into a download folder that is full or cannot be written

class DesktopCopyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_test.program.state().LangOffset = 1000;
        writeFile(m_source, m_poster);
    }

    static QString couldNotCopy(const QString &folder)
    {
        return QStringLiteral("The picture could not be copied to \"%1\".").arg(folder);
    }

    const QByteArray m_poster = posterBytes(64 * 1024);
    TestProgram m_test;
    DesktopOutput m_output{m_test.program, nullptr};
    const QString m_source = m_test.cached(QStringLiteral("Poster.jpg"));
};

TEST_F(DesktopCopyTest, whatWasThereChangesOnlyWhenTheNewCopyIsWhole)
{
    const QString folder = m_test.dir.filePath(QStringLiteral("saved"));
    const QString replace = QStringLiteral("Replace \"Poster.jpg\"?");
    const struct
    {
        const char *what;
        QString source;
        bool fullDisk;
        QByteArray earlier; // a file "Poster.jpg", or a folder of that name holding "keep.txt"
        bool copied;
        QByteArray after;
    } cases[] = {
        {"a full disk", m_source, true, "earlier copy", false, "earlier copy"},
        {"a source that is gone", m_test.cached(QStringLiteral("Gone.jpg")), false, "earlier copy", false, "earlier copy"},
        {"a folder in its place", m_source, false, {}, false, "kept"},
        {"room enough", m_source, false, "earlier copy", true, m_poster},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder).removeRecursively();
        const QString kept = c.earlier.isEmpty() ? QStringLiteral("Poster.jpg/keep.txt") : QStringLiteral("Poster.jpg");
        writeFile(folder + u'/' + kept, c.earlier.isEmpty() ? QByteArray("kept") : c.earlier);
        MessageBoxAnswers boxes(QMessageBox::Yes);
        std::optional<FileSizeLimit> fullDisk;
        if (c.fullDisk)
            fullDisk.emplace(4096);
        const std::optional<bool> copied = awaitTask(m_output.copyFile(c.source, folder + QStringLiteral("/Poster.jpg")));
        fullDisk.reset();

        EXPECT_EQ(copied, c.copied);
        const QStringList said = c.copied ? QStringList{replace} : QStringList{replace, couldNotCopy(folder)};
        (void)QTest::qWaitFor([&] { return boxes.texts().size() == said.size(); }, 5000);
        EXPECT_EQ(boxes.texts(), said);
        EXPECT_EQ(filesUnder(folder), QStringList{kept});
        EXPECT_EQ(contents(folder + u'/' + kept), c.after);
    }
}

TEST_F(DesktopCopyTest, anUnwritableFolderIsSaidAndNothingIsLeft)
{
    const QString parent = m_test.dir.filePath(QStringLiteral("home"));
    QDir().mkpath(parent);
    const UnwritableFolder folder(parent);
    const QStringList before = filesUnder(parent);
    MessageBoxAnswers boxes;
    EXPECT_EQ(awaitTask(m_output.copyFile(m_source, folder.path() + QStringLiteral("/Poster.jpg"))), false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.texts() == QStringList{couldNotCopy(folder.path())}; }, 5000));
    EXPECT_EQ(filesUnder(parent), before);
}

// ---------------------------------------------------------------------------
// Settings that are corrupt, cannot be read, or were cut off by a crash

enum class Spoiling { BinaryJunk, FolderInItsPlace, Unreadable, HalfWritten };

// As root, both the program and the command line read the settings as nobody:
// root reads a file of mode 000 all the same. The command line reaches every
// address through the test server, as its proxy.
class SpoiltSettingsTest : public ::testing::TestWithParam<Spoiling>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_server.setReply(QStringLiteral("/multicrit.html"), pageReply(kTwoFilms));
        m_cli.useProxy(m_server.url());
        m_cli.dropRoot();
    }

    // The settings file holds binary junk, is a folder, may not be read, or is
    // cut off as a write interrupted by a crash leaves it; its folders are open
    // to nobody.
    void spoil()
    {
        const QString ini = m_cli.iniFile();
        QDir().mkpath(QFileInfo(ini).absolutePath());
        for (const QString &folder : {QFileInfo(ini).absolutePath(), QFileInfo(ini).absoluteDir().absolutePath() + "/.."})
            ::chmod(QFile::encodeName(folder).constData(), 0777);
        switch (GetParam()) {
        case Spoiling::BinaryJunk:
            writeFile(ini, jpegBytes({64, 64}));
            break;
        case Spoiling::FolderInItsPlace:
            writeFile(ini + QStringLiteral("/keep.txt"), "kept");
            break;
        case Spoiling::Unreadable:
            writeFile(ini, m_unreadableText);
            QFile::setPermissions(ini, {});
            break;
        case Spoiling::HalfWritten:
            writeFile(ini, "[General]\nHote-MovieCovers=http://films.invalid\nLangue=Fran\xc3\xa7" "ais\n"
                           "Historique-Max=75\nConnexion=2\nHistorique-1=L'\xc3\xa9t\xc3\xa9 meur");
            ::chmod(QFile::encodeName(ini).constData(), 0666);
            break;
        }
    }

    // What a spoilt file still holds afterwards: the user's unreadable settings are never overwritten.
    void expectUnreadableKept()
    {
        if (GetParam() == Spoiling::FolderInItsPlace) {
            EXPECT_EQ(contents(m_cli.iniFile() + QStringLiteral("/keep.txt")), "kept");
        }
        if (GetParam() == Spoiling::Unreadable) {
            QFile::setPermissions(m_cli.iniFile(), QFile::ReadOwner | QFile::WriteOwner);
            EXPECT_EQ(contents(m_cli.iniFile()), m_unreadableText);
        }
    }

    const QByteArray m_unreadableText = QStringLiteral("[General]\nLangue=Français\nConnexion=2\n").toUtf8();
    FixtureServer m_server;
    ChildProcess m_cli;
};

// When nothing can be read, both go by the first run's defaults; of a file cut
// off in the middle of its last line, by the whole lines.
TEST_P(SpoiltSettingsTest, theProgramAndTheCommandLineGoByWhatTheyCanRead)
{
    const bool halfWritten = GetParam() == Spoiling::HalfWritten;
    const QString movieCovers = halfWritten ? QStringLiteral("http://films.invalid")
                                            : QStringLiteral("http://www.moviecovers.com");
    spoil();

    // Two starts: the second reads whatever the first could store.
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        const WithoutRoot nobody;
        SettingsStore store(m_cli.iniFile());
        Assembly assembly(store);
        assembly.readSettings(QSize(19200, 14400));
        Program &program = assembly.program();
        EXPECT_EQ(program.state().LangOffset, halfWritten ? 0 : 1000);
        EXPECT_EQ(program.state().ModeConnexion, halfWritten ? Download::kForceUpdate : Download::kResynchronise);
        EXPECT_TRUE(program.state().ProxyHost.isEmpty());
        EXPECT_EQ(store.LitValeur(QStringLiteral("BdD")), halfWritten ? QString() : QStringLiteral("True"));
        EXPECT_EQ(store.LitValeur(QStringLiteral("Historique-Max")), QStringLiteral("75"));
        EXPECT_EQ(SiteAddresses::address(store, QStringLiteral("Hote-MovieCovers")), movieCovers);
        EXPECT_EQ(program.catalogue().tickedCount(), 0);
        EXPECT_EQ(program.history().AjouteHistorique(QStringLiteral("matrix")), QStringLiteral("matrix"));
    }
    expectUnreadableKept();

    // The command line, on the file as it was.
    spoil();
    const QString language = halfWritten ? QString::fromUtf8("Français\n") : QStringLiteral("\n");
    EXPECT_EQ(m_cli.run({"config", "get", "Langue"}).out, language);
    const ChildOutcome search = m_cli.run({"search", "--json", "--bases", "6", "matrix"});
    EXPECT_EQ(search.exitCode, 0) << search.err.toStdString();
    EXPECT_EQ(search.out.count(QStringLiteral("\"site\":\"MovieCovers\"")), 2) << search.out.toStdString();
    const QString progress = halfWritten ? QString::fromUtf8("Connexion à Movie Covers en cours...")
                                         : QStringLiteral("Connection to Movie Covers in progress...");
    EXPECT_TRUE(search.err.contains(progress)) << search.err.toStdString();
    EXPECT_EQ(m_server.requests().value(0).target, movieCovers.toLatin1() + "/multicrit.html?titre=matrix&slow=1&listes=1");
    expectUnreadableKept();
}

INSTANTIATE_TEST_SUITE_P(Spoilings, SpoiltSettingsTest,
                         ::testing::Values(Spoiling::BinaryJunk, Spoiling::FolderInItsPlace, Spoiling::Unreadable,
                                           Spoiling::HalfWritten),
                         [](const ::testing::TestParamInfo<Spoiling> &each) {
                             return std::string(
                                 std::array{"BinaryJunk", "FolderInItsPlace", "Unreadable", "HalfWritten"}[int(each.param)]);
                         });

} // namespace
