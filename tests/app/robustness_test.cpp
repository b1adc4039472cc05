// What the program survives with nothing lost: its window closed in the middle
// of a run, servers that stall, reset the connection or send a huge page,
// pictures that are not pictures, a download folder that is full or cannot be
// written, and settings that are corrupt or cannot be read.

#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "home_folder.h"
#include "net/download.h"
#include "core/options.h"
#include "settings/site_addresses.h"
#include "site_test.h"
#include "sites/dvd_fr.h"
#include "sites/movie_covers.h"
#include "windows/desktop_output.h"
#include "windows/main_window.h"
#include "windows/poster_viewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

const QByteArray kTwoFilms = "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)<br>\n"
                             "<a href=\"/film/titre_MATRIX2.html\">MATRIX RELOADED</a> (2003)<br>\n";
const QString kPosterName = QStringLiteral("Matrix [1999]  (MovieCovers).jpg");

// A real poster of at least `size` bytes.
QByteArray posterBytes(qsizetype size)
{
    QByteArray poster = jpegBytes();
    for (int side = 16; poster.size() < size; side *= 2)
        poster = jpegBytes({side, side});
    return poster;
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QFileInfo(it.next()).fileName());
    return files;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// The most memory this process has held so far (its peak resident set).
qint64 peakMemoryBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

// A disk that is full past `bytes`: no file of this process grows beyond them.
// The write fails with "file too large" instead of raising the signal that
// would end the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // The same for a child process, between its fork and its exec.
    static std::function<void()> inChild(rlim_t bytes)
    {
        return [bytes] {
            const rlimit limit{bytes, bytes};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::signal(SIGXFSZ, SIG_IGN);
        };
    }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
};

// A download folder that nothing can be written into. Root writes through
// permissions, so for root it is a folder that cannot exist: its parent is a file.
class UnwritableFolder
{
public:
    explicit UnwritableFolder(const QString &parent)
    {
        if (runningAsRoot()) {
            writeFile(parent + QStringLiteral("/not-a-folder"), {});
            m_path = parent + QStringLiteral("/not-a-folder/Posters");
        } else {
            m_path = parent + QStringLiteral("/Posters");
            QDir().mkpath(m_path);
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        }
    }
    ~UnwritableFolder()
    {
        if (!runningAsRoot())
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return m_path; }

private:
    QString m_path;
};

// Answers the message boxes that the program opens while this lives (with
// `answer`, or the only button there is), and keeps their texts.
class MessageBoxAnswers
{
public:
    explicit MessageBoxAnswers(QMessageBox::StandardButton answer = QMessageBox::Yes)
    {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
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

// Closing the window during a run ends every wait of the process for good, so
// each closing happens in a child process. The child writes the checks that
// failed on its error output (shown when the test fails) and tells by its exit
// status whether all held; a crash or a sanitizer report fails it too.
class ChildChecks
{
public:
    void expect(bool held, const char *what)
    {
        if (!held)
            m_failed.push_back(what);
    }
    [[noreturn]] void exit() const
    {
        for (const char *what : m_failed)
            std::fprintf(stderr, "did not hold: %s\n", what);
        std::fflush(stderr);
        // Straight out: the child needs no orderly shutdown of Qt.
        std::_Exit(m_failed.empty() ? 0 : 1);
    }

private:
    std::vector<const char *> m_failed;
};

// A started main window searching MovieCovers, played by the test server,
// with the program's own time limits: only the closing can end a wait early.
struct ClosingScene
{
    ClosingScene()
    {
        server.listen();
        test.store.EcritValeur(QStringLiteral("Hote-MovieCovers"), server.url(QStringLiteral("/mc")));
        test.store.EcritValeur(QStringLiteral("Hote-Editeur"), server.url(QStringLiteral("/editeur")));
        registerMovieCovers(program());
        program().download().setTiming({});
        window = std::make_unique<MainWindow>(program());
        QObject::connect(window.get(), &MainWindow::closed, [this] { closed = true; });
        window->start();
        program().state().BaseUnique = false;
        program().catalogue().setTick(6, 1);
        program().catalogue().AfficheNbrCoche();
    }

    Program &program() { return test.program; }

    void search()
    {
        QTest::keyClicks(window->titleBox()->lineEdit(), QStringLiteral("matrix"));
        QTest::keyClick(window->titleBox()->lineEdit(), Qt::Key_Return);
    }

    // The window is closed shortly after the site is asked for `path`.
    void closeOnceAskedFor(const QByteArray &path)
    {
        QObject::connect(&server, &FixtureServer::requestReceived, window.get(),
                         [this, path](const FixtureServer::Request &request) {
                             if (request.path.startsWith(path) && !closeAsked) {
                                 closeAsked = true;
                                 QTimer::singleShot(100, window.get(), &QWidget::close);
                             }
                         });
    }

    void expectClosedWithSettingsStored(ChildChecks &checks)
    {
        checks.expect(QTest::qWaitFor([this] { return closed; }, 5000), "the window closed once the run had unwound");
        checks.expect(!window->isVisible(), "the window is hidden");
        checks.expect(!program().searching() && !program().retrieval().downloading(), "nothing is under way any more");
        const SettingsStore stored(test.dir.filePath(QStringLiteral("Pellicam.ini")));
        checks.expect(stored.LitValeur(QStringLiteral("Base6")) == u"1", "the ticked base was stored");
        checks.expect(stored.LitValeur(QStringLiteral("Folder-Id")) == u"3", "the download folder was stored");
        checks.expect(stored.LitValeur(QStringLiteral("Historique-1")) == u"matrix", "the title is in the stored history");
    }

    HomeFolder home;
    FixtureServer server;
    TestProgram test;
    std::unique_ptr<MainWindow> window;
    bool closeAsked = false;
    bool closed = false;
};

void closeDuringASearch(ChildChecks &checks)
{
    ClosingScene scene;
    FixtureServer::Reply stalled;
    stalled.stall = true;
    scene.server.setReply(QStringLiteral("/mc/multicrit.html"), stalled);
    scene.closeOnceAskedFor("/mc/multicrit.html");

    QElapsedTimer clock;
    clock.start();
    scene.search();

    checks.expect(scene.closeAsked, "the search asked the site for its page");
    checks.expect(clock.elapsed() < 3000, "the search ended at once, long before the page's time limit");
    checks.expect(scene.program().results().NbResultats() == 0, "the stalled page gave no hit");
    scene.expectClosedWithSettingsStored(checks);
}

void closeDuringADownload(ChildChecks &checks)
{
    ClosingScene scene;
    scene.server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    FixtureServer::Reply stalled;
    stalled.stall = true;
    scene.server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), stalled);
    scene.search();
    checks.expect(scene.program().results().NbVignettes() == 2, "the search found the films");
    scene.closeOnceAskedFor("/mc/getjpg.html/");

    QElapsedTimer clock;
    clock.start();
    scene.program().retrieval().downloadClicked(0);

    checks.expect(scene.closeAsked, "the download asked the site for the poster");
    checks.expect(clock.elapsed() < 3000, "the download ended at once, long before the poster's time limit");
    scene.expectClosedWithSettingsStored(checks);
    checks.expect(filesUnder(scene.program().state().DossierTemp).isEmpty(), "nothing was left in the cache folder");
    checks.expect(filesUnder(scene.home.path("Pictures")).isEmpty(), "nothing was copied to the download folder");
}

TEST(ClosingDuringARunTest, closingDuringASearchStopsItStoresTheSettingsAndCloses)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ChildChecks checks;
            closeDuringASearch(checks);
            checks.exit();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ClosingDuringARunTest, closingDuringADownloadStopsItLeavesNoFileAndCloses)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ChildChecks checks;
            closeDuringADownload(checks);
            checks.exit();
        },
        ::testing::ExitedWithCode(0), "");
}

// ---------------------------------------------------------------------------
// Servers that misbehave during a run

// DvdFr (searched first) and MovieCovers, both played by the test server.
class MisbehavingServerTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-MovieCovers"), QStringLiteral("/mc"), registerMovieCovers);
        m_test.store.EcritValeur(QStringLiteral("Hote-DvdFr"), m_server.url(QStringLiteral("/dvdfr")));
        registerDvdFr(program());
        m_saved = m_test.dir.filePath(QStringLiteral("saved"));
        QDir().mkpath(m_saved);
        retrieval().setSaveFolder(m_saved);

        answer(QStringLiteral("/multicrit.html"), kTwoFilms);
        answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX.jpg"), pictureReply(jpegBytes({40, 60})));
        answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX2.jpg"), pictureReply(jpegBytes({40, 60})));
        answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(m_poster));
    }

    Retrieval &retrieval() { return program().retrieval(); }
    void answerDvdFr(const FixtureServer::Reply &reply) { m_server.setReply(QStringLiteral("/dvdfr/search/search.php"), reply); }
    QString found(int films) { return QString::number(films) + program().text(14); }

    // The poster was fetched and copied whole, and the hit shows its badge.
    void expectPosterCopied()
    {
        EXPECT_EQ(contents(m_test.cached(kPosterName)), m_poster);
        EXPECT_EQ(contents(m_saved + u'/' + kPosterName), m_poster);
        EXPECT_TRUE(slot(0).downloaded);
    }
    // Nothing of the poster was kept, so nothing can later count as fetched.
    void expectNothingKept()
    {
        const QStringList cached = filesUnder(program().state().DossierTemp);
        EXPECT_TRUE(cached.isEmpty()) << cached.join(u' ').toStdString();
        EXPECT_TRUE(filesUnder(m_saved).isEmpty());
        EXPECT_FALSE(slot(0).downloaded);
        EXPECT_TRUE(retrieval().lastCopy().isEmpty());
        EXPECT_FALSE(retrieval().downloading());
        EXPECT_TRUE(program().searchButtonEnabled());
    }

    static FixtureServer::Reply stalled()
    {
        FixtureServer::Reply reply;
        reply.stall = true;
        return reply;
    }
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

TEST_F(MisbehavingServerTest, aStalledSiteOrPictureHoldsTheRunOnlyUntilTheTimeLimit)
{
    answerDvdFr(stalled());
    answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX.jpg"), stalled());
    constexpr int limitMs = 1500;
    program().download().setTiming({300, limitMs, 100});

    QElapsedTimer clock;
    clock.start();
    searchBases({4, 6});

    // Two waits gave up at the limit (DvdFr's page, the first thumbnail); nothing else waited.
    EXPECT_GE(clock.elapsed(), 2 * limitMs - 100);
    EXPECT_LT(clock.elapsed(), 2 * limitMs + 4000);
    ASSERT_EQ(program().results().NbVignettes(), 2);
    EXPECT_TRUE(slot(0).thumbnail.isNull());
    EXPECT_FALSE(slot(1).thumbnail.isNull());
    EXPECT_EQ(program().statusText(), found(2));
    EXPECT_FALSE(program().searching());
    EXPECT_TRUE(program().inputEnabled());
}

TEST_F(MisbehavingServerTest, aResetConnectionFailsOnlyItsReadAndNothingHalfIsKept)
{
    answerDvdFr(reset());
    answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX.jpg"), reset());
    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), reset(m_poster, 16 * 1024));

    searchBases({4, 6});
    ASSERT_EQ(program().results().NbVignettes(), 2);
    EXPECT_TRUE(slot(0).thumbnail.isNull());
    EXPECT_FALSE(slot(1).thumbnail.isNull());
    EXPECT_EQ(program().statusText(), found(2));

    retrieval().downloadClicked(0);
    expectNothingKept();
    EXPECT_TRUE(m_actions.calls.isEmpty()) << "nothing to copy";

    // The site answers again: the poster is fetched anew, not taken from a half file.
    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(m_poster));
    retrieval().downloadClicked(0);
    expectPosterCopied();
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

TEST_F(MisbehavingServerTest, picturesThatAreNotPicturesAreNotKeptAndTheViewerSaysSo)
{
    const QByteArray errorPage = "<html><body>This picture has moved.</body></html>";
    answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX.jpg"), pictureReply(errorPage));
    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(errorPage));
    DesktopOutput desktop(program(), nullptr);
    retrieval().setOutputActions(&desktop);

    searchBases({6});
    ASSERT_EQ(program().results().NbVignettes(), 2);
    EXPECT_TRUE(slot(0).thumbnail.isNull());
    EXPECT_FALSE(slot(1).thumbnail.isNull());

    retrieval().thumbPressed(0, 1);
    PosterViewer *viewer = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *shown = qobject_cast<PosterViewer *>(widget); shown && shown->isVisible())
            viewer = shown;
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->pictureLoaded());
    ASSERT_NE(viewer->messageLabel(), nullptr);
    EXPECT_EQ(viewer->messageLabel()->text(), program().text(101) + u'\n' + program().text(102));
    viewer->close();
    retrieval().setOutputActions(&m_actions);
    retrieval().downloadClicked(0);
    expectNothingKept();

    // The site mends its picture: the next press fetches it again.
    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(m_poster));
    retrieval().downloadClicked(0);
    EXPECT_EQ(m_server.count("/mc/getjpg.html/MATRIX.jpg"), 3);
    expectPosterCopied();
}

TEST_F(MisbehavingServerTest, aPosterThatCannotBeWrittenToTheCacheIsFetchedAgainNextTime)
{
    searchBases({6});
    ASSERT_EQ(program().results().NbVignettes(), 2);
    {
        FileSizeLimit fullDisk(4096);
        retrieval().downloadClicked(0);
    }
    expectNothingKept();

    retrieval().downloadClicked(0);
    EXPECT_EQ(m_server.count("/mc/getjpg.html/MATRIX.jpg"), 2);
    expectPosterCopied();
}

// ---------------------------------------------------------------------------
// Copies into a download folder that is full or cannot be written

class DesktopCopyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_test.program.state().LangOffset = 1000;
        m_source = m_test.cached(QStringLiteral("Poster.jpg"));
        writeFile(m_source, m_poster);
    }

    bool copyInto(const QString &folder) { return m_output.copyFile(m_source, folder + QStringLiteral("/Poster.jpg")); }
    static QString couldNotCopy(const QString &folder)
    {
        return QStringLiteral("The picture could not be copied to \"%1\".").arg(folder);
    }

    const QByteArray m_poster = posterBytes(64 * 1024);
    TestProgram m_test;
    DesktopOutput m_output{m_test.program, nullptr};
    QString m_source;
};

TEST_F(DesktopCopyTest, theEarlierCopyChangesOnlyWhenTheNewOneIsWhole)
{
    const QString folder = m_test.dir.filePath(QStringLiteral("saved"));
    const QString replace = QStringLiteral("Replace \"Poster.jpg\"?");
    const struct
    {
        const char *what;
        QString source;
        bool fullDisk;
        bool copied;
        QByteArray after;
        QStringList said;
    } cases[] = {
        {"a full disk", m_source, true, false, "earlier copy", {replace, couldNotCopy(folder)}},
        {"a source that is gone", m_test.cached(QStringLiteral("Gone.jpg")), false, false, "earlier copy",
         {replace, couldNotCopy(folder)}},
        {"room enough", m_source, false, true, m_poster, {replace}},
    };
    for (const auto &c : cases) {
        writeFile(folder + QStringLiteral("/Poster.jpg"), "earlier copy");
        MessageBoxAnswers boxes(QMessageBox::Yes);
        bool copied = !c.copied;
        {
            std::optional<FileSizeLimit> fullDisk;
            if (c.fullDisk)
                fullDisk.emplace(4096);
            copied = m_output.copyFile(c.source, folder + QStringLiteral("/Poster.jpg"));
        }

        EXPECT_EQ(copied, c.copied) << c.what;
        EXPECT_EQ(boxes.texts(), c.said) << c.what;
        EXPECT_EQ(filesUnder(folder), QStringList{QStringLiteral("Poster.jpg")}) << c.what;
        EXPECT_EQ(contents(folder + QStringLiteral("/Poster.jpg")), c.after) << c.what;
    }
}

TEST_F(DesktopCopyTest, anUnwritableFolderIsSaidAndNothingIsLeft)
{
    const QString parent = m_test.dir.filePath(QStringLiteral("home"));
    QDir().mkpath(parent);
    const UnwritableFolder folder(parent);
    const QStringList before = filesUnder(parent);
    MessageBoxAnswers boxes;

    EXPECT_FALSE(copyInto(folder.path()));

    EXPECT_EQ(boxes.texts(), QStringList{couldNotCopy(folder.path())});
    EXPECT_EQ(filesUnder(parent), before);
}

TEST_F(DesktopCopyTest, aNameTakenByAFolderIsSaidAndTheFolderStays)
{
    const QString folder = m_test.dir.filePath(QStringLiteral("saved"));
    writeFile(folder + QStringLiteral("/Poster.jpg/keep.txt"), "kept");
    MessageBoxAnswers boxes(QMessageBox::Yes);

    EXPECT_FALSE(copyInto(folder));

    EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("Replace \"Poster.jpg\"?"), couldNotCopy(folder)}));
    EXPECT_EQ(filesUnder(folder), QStringList{QStringLiteral("keep.txt")});
}

// ---------------------------------------------------------------------------
// The command line: its copies and its settings

struct CliOutcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs pellicam-cli with settings, cache and home folders of its own.
class CliRunner
{
public:
    CliOutcome run(const QStringList &args, const std::function<void()> &inChild = {})
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_cache.path());
        env.insert(QStringLiteral("HOME"), m_home.path());
        // The proxy comes from the environment alone, not from a desktop's settings.
        for (const char *name : {"no_proxy", "NO_PROXY", "all_proxy", "ALL_PROXY", "XDG_CURRENT_DESKTOP",
                                 "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
            env.remove(QString::fromLatin1(name));
        if (!m_proxy.isEmpty()) {
            env.insert(QStringLiteral("http_proxy"), m_proxy);
            env.insert(QStringLiteral("HTTP_PROXY"), m_proxy);
        }
        process.setProcessEnvironment(env);
        if (inChild)
            process.setChildProcessModifier(inChild);
        process.start(QStringLiteral(PELLICAM_CLI), args);
        // The test server lives in this process: keep its events flowing.
        EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // Every read of the command line goes through this proxy (the test server).
    void useProxy(const QString &proxy) { m_proxy = proxy; }
    QString iniFile() const { return m_config.filePath(QStringLiteral("Pellicam/Pellicam.ini")); }
    QString home() const { return m_home.path(); }

private:
    QTemporaryDir m_config;
    QTemporaryDir m_cache;
    QTemporaryDir m_home;
    QString m_proxy;
};

TEST(CliCopyTest, aReplyThatIsNotAPictureAFullDiskOrAnUnwritableFolderEndsWithStatusOne)
{
    FixtureServer server;
    ASSERT_TRUE(server.listen());
    const QByteArray poster = posterBytes(256 * 1024);
    server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), pictureReply("<html>This picture has moved.</html>"));
    CliRunner cli;
    cli.run({"config", "set", "Hote-MovieCovers", server.url(QStringLiteral("/mc"))});
    const QStringList download = {"download", "--hit", "1", "--bases", "6", "matrix", "--into"};

    QTemporaryDir first;
    const CliOutcome notAPicture = cli.run(download + QStringList{first.path()});
    EXPECT_EQ(notAPicture.exitCode, 1);
    EXPECT_TRUE(notAPicture.out.isEmpty());
    EXPECT_TRUE(notAPicture.err.contains("pellicam-cli: hit 1 could not be fetched")) << notAPicture.err.toStdString();
    EXPECT_TRUE(filesUnder(first.path()).isEmpty());

    // A first download leaves the poster in the cache folder: the next ones only copy it.
    server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), pictureReply(poster));
    ASSERT_EQ(cli.run(download + QStringList{first.path()}).exitCode, 0);

    QTemporaryDir full;
    writeFile(full.filePath(kPosterName), "earlier copy");
    const CliOutcome fullDisk = cli.run(download + QStringList{full.path()}, FileSizeLimit::inChild(64 * 1024));
    EXPECT_EQ(fullDisk.exitCode, 1);
    EXPECT_TRUE(fullDisk.out.isEmpty());
    EXPECT_TRUE(fullDisk.err.contains("pellicam-cli: the picture could not be copied into " + full.path()))
        << fullDisk.err.toStdString();
    EXPECT_EQ(filesUnder(full.path()), QStringList{kPosterName});
    EXPECT_EQ(contents(full.filePath(kPosterName)), "earlier copy");

    const UnwritableFolder unwritable(cli.home());
    const QStringList before = filesUnder(cli.home());
    const CliOutcome refused = cli.run(download + QStringList{unwritable.path()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains("pellicam-cli: the picture could not be copied into " + unwritable.path()))
        << refused.err.toStdString();
    EXPECT_EQ(filesUnder(cli.home()), before);
}

// ---------------------------------------------------------------------------
// Settings that are corrupt or cannot be read

enum class Spoiling { BinaryJunk, FolderInItsPlace, Unreadable };

std::string spoilingName(const ::testing::TestParamInfo<Spoiling> &info)
{
    switch (info.param) {
    case Spoiling::BinaryJunk: return "BinaryJunk";
    case Spoiling::FolderInItsPlace: return "FolderInItsPlace";
    case Spoiling::Unreadable: return "Unreadable";
    }
    return {};
}

// What a first run stores, and so what the program goes by when it can read nothing.
void expectFirstRunDefaults(const ProgramState &state, const SettingsStore &store)
{
    EXPECT_EQ(state.LangOffset, 1000);
    EXPECT_EQ(state.ModeConnexion, Download::kResynchronise);
    EXPECT_TRUE(state.BaseUnique);
    EXPECT_TRUE(state.ProxyHost.isEmpty());
    EXPECT_EQ(store.LitValeur(QStringLiteral("Historique-Max")), QStringLiteral("75"));
}

class SpoiltSettingsTest : public ::testing::TestWithParam<Spoiling>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Spoiling::Unreadable && runningAsRoot())
            GTEST_SKIP() << "root reads a file of mode 000 all the same";
    }

    void TearDown() override
    {
        if (!m_spoilt.isEmpty() && GetParam() == Spoiling::Unreadable)
            QFile::setPermissions(m_spoilt, QFile::ReadOwner | QFile::WriteOwner);
    }

    // The settings file at `ini` holds binary junk, is a folder, or may not be read.
    void spoil(const QString &ini)
    {
        m_spoilt = ini;
        QDir().mkpath(QFileInfo(ini).absolutePath());
        switch (GetParam()) {
        case Spoiling::BinaryJunk: {
            QByteArray junk;
            for (int i = 0; i < 4096; ++i)
                junk += char((i * 7919 + i / 13) % 256);
            writeFile(ini, junk);
            break;
        }
        case Spoiling::FolderInItsPlace:
            writeFile(ini + QStringLiteral("/keep.txt"), "kept");
            break;
        case Spoiling::Unreadable:
            writeFile(ini, m_unreadableText);
            QFile::setPermissions(ini, {});
            break;
        }
    }

    // What a spoilt file still holds afterwards: the user's unreadable settings are never overwritten.
    void expectUnreadableKept()
    {
        if (GetParam() == Spoiling::FolderInItsPlace) {
            EXPECT_EQ(contents(m_spoilt + QStringLiteral("/keep.txt")), "kept");
        }
        if (GetParam() == Spoiling::Unreadable) {
            QFile::setPermissions(m_spoilt, QFile::ReadOwner | QFile::WriteOwner);
            EXPECT_EQ(contents(m_spoilt), m_unreadableText);
        }
    }

    const QByteArray m_unreadableText = QStringLiteral("[General]\nLangue=Français\nConnexion=2\n").toUtf8();
    QString m_spoilt;
};

TEST_P(SpoiltSettingsTest, theProgramStartsOnTheFirstRunDefaultsTwiceOver)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Pellicam/Pellicam.ini"));
    spoil(ini);

    // Two starts: the second reads whatever the first could store.
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        SettingsStore store(ini);
        Program program(store);
        LitOptions(store, program.state(), program.catalogue(), QSize(19200, 14400));
        program.history().load();
        program.catalogue().restore(store);
        program.catalogue().AfficheNbrCoche();
        expectFirstRunDefaults(program.state(), store);
        EXPECT_EQ(program.catalogue().tickedCount(), 0);
        EXPECT_EQ(program.history().AjouteHistorique(QStringLiteral("matrix")), QStringLiteral("matrix"));
    }
    expectUnreadableKept();
}

TEST_P(SpoiltSettingsTest, theCommandLineReadsNothingAndSearchesTheDefaultAddress)
{
    FixtureServer server;
    ASSERT_TRUE(server.listen());
    server.setReply(QStringLiteral("/multicrit.html"), pageReply(kTwoFilms));
    server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    CliRunner cli;
    cli.useProxy(server.url());

    // The proxy carries the reads: an address that cannot be reached directly arrives through it.
    {
        CliRunner unreachable;
        unreachable.useProxy(server.url());
        unreachable.run({"config", "set", "Hote-MovieCovers", "http://films.invalid/mc"});
        ASSERT_EQ(unreachable.run({"search", "--bases", "6", "matrix"}).exitCode, 0);
        ASSERT_EQ(server.requests().value(0).target, "http://films.invalid/mc/multicrit.html?titre=matrix&slow=1&listes=1");
        server.clearRequests();
    }

    spoil(cli.iniFile());
    const CliOutcome got = cli.run({"config", "get", "Langue"});
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, "\n");

    const CliOutcome search = cli.run({"search", "--json", "--bases", "6", "matrix"});
    EXPECT_EQ(search.exitCode, 0) << search.err.toStdString();
    EXPECT_EQ(search.out.count(QStringLiteral("\"site\":\"MovieCovers\"")), 2) << search.out.toStdString();
    EXPECT_TRUE(search.err.contains("Connection to Movie Covers in progress...")) << "the first run's language";
    QTemporaryDir empty;
    SettingsStore defaults(empty.filePath(QStringLiteral("Pellicam.ini")));
    ASSERT_FALSE(server.requests().isEmpty());
    EXPECT_EQ(QString::fromLatin1(server.requests()[0].target),
              SiteAddresses::address(defaults, QStringLiteral("Hote-MovieCovers")) + "/multicrit.html?titre=matrix&slow=1&listes=1");
    expectUnreadableKept();
}

INSTANTIATE_TEST_SUITE_P(Spoilings, SpoiltSettingsTest,
                         ::testing::Values(Spoiling::BinaryJunk, Spoiling::FolderInItsPlace, Spoiling::Unreadable),
                         spoilingName);

// A file cut off in the middle of its last line, as a write interrupted by a crash leaves it.
QByteArray halfWrittenSettings(const QString &movieCovers)
{
    return "[General]\nHote-MovieCovers=" + movieCovers.toUtf8()
           + "\nLangue=Fran\xc3\xa7" "ais\nHistorique-Max=75\nConnexion=2\nHistorique-1=L'\xc3\xa9t\xc3\xa9 meur";
}

TEST(HalfWrittenSettingsTest, theWholeLinesAreKeptByTheProgram)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Pellicam.ini"));
    writeFile(ini, halfWrittenSettings(QStringLiteral("http://127.0.0.1:1/mc")));

    SettingsStore store(ini);
    Program program(store);
    LitOptions(store, program.state(), program.catalogue());
    program.history().load();

    EXPECT_EQ(program.state().LangOffset, 0);
    EXPECT_EQ(program.state().ModeConnexion, Download::kForceUpdate);
    EXPECT_EQ(store.LitValeur(QStringLiteral("BdD")), QString()) << "no first-run defaults over kept settings";
    EXPECT_EQ(SiteAddresses::address(store, QStringLiteral("Hote-MovieCovers")), QStringLiteral("http://127.0.0.1:1/mc"));
    store.EcritValeur(QStringLiteral("Historique-2"), QStringLiteral("Alien"));
    EXPECT_EQ(SettingsStore(ini).LitValeur(QStringLiteral("Langue")), QString::fromUtf8("Français"));
}

TEST(HalfWrittenSettingsTest, theWholeLinesAreKeptByTheCommandLine)
{
    FixtureServer server;
    ASSERT_TRUE(server.listen());
    server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    CliRunner cli;
    writeFile(cli.iniFile(), halfWrittenSettings(server.url(QStringLiteral("/mc"))));

    EXPECT_EQ(cli.run({"config", "get", "Hote-MovieCovers"}).out, server.url(QStringLiteral("/mc")) + u'\n');
    const CliOutcome search = cli.run({"search", "--json", "--bases", "6", "matrix"});
    EXPECT_EQ(search.exitCode, 0) << search.err.toStdString();
    EXPECT_EQ(search.out.count(QStringLiteral("\"site\":\"MovieCovers\"")), 2) << search.out.toStdString();
    EXPECT_TRUE(search.err.contains(QString::fromUtf8("Connexion à Movie Covers en cours..."))) << search.err.toStdString();
    EXPECT_EQ(server.count("/mc/multicrit.html?titre=matrix&slow=1&listes=1"), 1);
}

} // namespace
