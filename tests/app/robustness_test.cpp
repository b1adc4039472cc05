// What the program survives with nothing lost: its window closed in the middle
// of a run, servers that stall, reset the connection or send a huge page,
// pictures that are not pictures, a download folder that is full or cannot be
// written, and settings that are corrupt or cannot be read.

#include "child_process.h"
#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "home_folder.h"
#include "net/download.h"
#include "core/options.h"
#include "settings/site_addresses.h"
#include "site_test.h"
#include "windows/desktop_output.h"
#include "windows/main_window.h"
#include "windows/poster_viewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
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
        apply({bytes, m_previous.rlim_max});
    }
    ~FileSizeLimit() { apply(m_previous); }

    // Also for a child process, between its fork and its exec.
    static void apply(rlimit limit)
    {
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    }

private:
    rlimit m_previous{};
};

// As root, this process reads and writes as nobody while this lives, so that
// permissions hold for it.
class WithoutRoot
{
public:
    WithoutRoot() : m_dropped(runningAsRoot() && ::seteuid(65534) == 0) {}
    ~WithoutRoot()
    {
        if (m_dropped && ::seteuid(0) != 0)
            std::abort();
    }

private:
    bool m_dropped;
};

// A download folder that nothing can be written into. Root writes through
// permissions, so for root it is a folder that cannot exist: its parent is a file.
class UnwritableFolder
{
public:
    explicit UnwritableFolder(const QString &parent)
        : m_path(parent + (runningAsRoot() ? QStringLiteral("/not-a-folder/Posters") : QStringLiteral("/Posters")))
    {
        if (runningAsRoot())
            writeFile(parent + QStringLiteral("/not-a-folder"), {});
        else
            QDir().mkpath(m_path);
        ::chmod(QFile::encodeName(m_path).constData(), 0555);
    }
    ~UnwritableFolder() { ::chmod(QFile::encodeName(m_path).constData(), 0755); }
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

    // The window is closed as soon as the site is asked for `path`, which never answers.
    void closeOnceAskedFor(const QByteArray &path)
    {
        m_server.setReply(QString::fromLatin1(path), stalledReply());
        QObject::connect(&m_server, &FixtureServer::requestReceived, m_window.get(),
                         [this, path](const FixtureServer::Request &request) {
                             if (request.path.startsWith(path) && !m_closeAsked) {
                                 m_closeAsked = true;
                                 QTimer::singleShot(100, m_window.get(), &QWidget::close);
                             }
                         });
    }

    // Closed well before the read's time limit (20 s), with the settings stored.
    void expectClosedWithSettingsStored()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return m_closeAsked; }, 5000)) << "the site was asked";
        ASSERT_TRUE(QTest::qWaitFor([this] { return m_closed; }, 5000)) << "the window closed at once";
        EXPECT_FALSE(m_window->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([this] { return !program().searching() && !program().retrieval().downloading(); }, 2000));
        const SettingsStore stored(m_test.dir.filePath(QStringLiteral("Pellicam.ini")));
        EXPECT_EQ(stored.LitValeur(QStringLiteral("Base6")), QStringLiteral("1"));
        EXPECT_EQ(stored.LitValeur(QStringLiteral("Folder-Id")), QStringLiteral("3"));
        EXPECT_EQ(stored.LitValeur(QStringLiteral("Historique-1")), QStringLiteral("matrix"));
    }

    HomeFolder m_home;
    FixtureServer m_server;
    TestProgram m_test;
    std::unique_ptr<MainWindow> m_window;
    bool m_closeAsked = false;
    bool m_closed = false;
};

TEST_F(ClosingTest, closingDuringASearchStopsItStoresTheSettingsAndCloses)
{
    closeOnceAskedFor("/mc/multicrit.html");
    search();
    expectClosedWithSettingsStored();
    EXPECT_EQ(program().results().NbResultats(), 0);
}

TEST_F(ClosingTest, closingDuringADownloadStopsItLeavesNoFileAndCloses)
{
    m_server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    search();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !program().searching(); }, 10000));
    ASSERT_EQ(program().results().NbVignettes(), 2);
    closeOnceAskedFor("/mc/getjpg.html/MATRIX.jpg");
    program().retrieval().downloadClicked(0);
    expectClosedWithSettingsStored();
    EXPECT_TRUE(filesUnder(program().state().DossierTemp).isEmpty());
    EXPECT_TRUE(filesUnder(m_home.path("Pictures")).isEmpty());
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

    // The poster was fetched and copied whole, and the hit shows its badge.
    void expectPosterCopied()
    {
        EXPECT_EQ(contents(m_test.cached(kPosterName)), m_poster);
        EXPECT_EQ(contents(m_saved + u'/' + kPosterName), m_poster);
        EXPECT_TRUE(slot(0).downloaded);
    }
    // A press on the first hit's download button, waited for.
    void download() { retrieve(0, true); }
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

// Both bases read the same page and thumbnails at once; a broken read fails
// only itself, and nothing half read is kept.
TEST_F(MisbehavingServerTest, aStalledOrResetReadFailsOnlyItselfAndNothingHalfIsKept)
{
    program().download().setTiming({300, 1500, 100});
    for (const FixtureServer::Reply &broken : {stalledReply(), reset()}) {
        SCOPED_TRACE(broken.stall ? "stalled" : "reset");
        answer(QStringLiteral("/DATA/thumbs/films-m/MATRIX.jpg"), broken);
        searchBases({6, 11});
        ASSERT_EQ(program().results().NbVignettes(), 4);
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(slot(row).thumbnail.isNull(), row % 2 == 0) << row;
        EXPECT_EQ(program().statusText(), "4" + program().text(14));
        EXPECT_TRUE(program().inputEnabled());
    }

    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), reset(m_poster, 16 * 1024));
    download();
    expectNothingKept();
    EXPECT_TRUE(m_actions.calls.isEmpty()) << "nothing to copy";

    // The site answers again: the poster is fetched anew, not taken from a half file.
    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(m_poster));
    download();
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

    retrieve(0, false);
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
    download();
    expectNothingKept();

    // The site mends its picture: the next press fetches it again.
    answer(QStringLiteral("/getjpg.html/MATRIX.jpg"), pictureReply(m_poster));
    download();
    EXPECT_EQ(m_server.count("/mc/getjpg.html/MATRIX.jpg"), 3);
    expectPosterCopied();
}

TEST_F(MisbehavingServerTest, aPosterThatCannotBeWrittenToTheCacheIsFetchedAgainNextTime)
{
    searchBases({6});
    ASSERT_EQ(program().results().NbVignettes(), 2);
    {
        FileSizeLimit fullDisk(4096);
        download();
    }
    expectNothingKept();

    download();
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
        const QString kept = c.earlier.isEmpty() ? QStringLiteral("/Poster.jpg/keep.txt") : QStringLiteral("/Poster.jpg");
        writeFile(folder + kept, c.earlier.isEmpty() ? QByteArray("kept") : c.earlier);
        MessageBoxAnswers boxes(QMessageBox::Yes);
        std::optional<FileSizeLimit> fullDisk;
        if (c.fullDisk)
            fullDisk.emplace(4096);
        const bool copied = m_output.copyFile(c.source, folder + QStringLiteral("/Poster.jpg"));
        fullDisk.reset();

        EXPECT_EQ(copied, c.copied);
        EXPECT_EQ(boxes.texts(), (c.copied ? QStringList{replace} : QStringList{replace, couldNotCopy(folder)}));
        EXPECT_EQ(filesUnder(folder), QStringList{QFileInfo(kept).fileName()});
        EXPECT_EQ(contents(folder + kept), c.after);
    }
}

TEST_F(DesktopCopyTest, anUnwritableFolderIsSaidAndNothingIsLeft)
{
    const QString parent = m_test.dir.filePath(QStringLiteral("home"));
    QDir().mkpath(parent);
    const UnwritableFolder folder(parent);
    const QStringList before = filesUnder(parent);
    MessageBoxAnswers boxes;
    EXPECT_FALSE(m_output.copyFile(m_source, folder.path() + QStringLiteral("/Poster.jpg")));
    EXPECT_EQ(boxes.texts(), QStringList{couldNotCopy(folder.path())});
    EXPECT_EQ(filesUnder(parent), before);
}

// ---------------------------------------------------------------------------
// The command line: its copies, its proxy and its settings

void expectFailed(const ChildOutcome &outcome, const QString &message)
{
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(outcome.err.contains("pellicam-cli: " + message)) << outcome.err.toStdString();
}

TEST(CliCopyTest, aReplyThatIsNotAPictureAFullDiskOrAnUnwritableFolderEndsWithStatusOne)
{
    FixtureServer server;
    ASSERT_TRUE(server.listen());
    server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), pictureReply("<html>This picture has moved.</html>"));
    ChildProcess cli;
    cli.run({"config", "set", "Hote-MovieCovers", server.url(QStringLiteral("/mc"))});
    const QStringList download = {"download", "--hit", "1", "--bases", "6", "matrix", "--into"};

    QTemporaryDir first;
    expectFailed(cli.run(download + QStringList{first.path()}), "hit 1 could not be fetched");
    EXPECT_EQ(filesUnder(first.path()), QStringList{});

    // A first download leaves the poster in the cache folder: the next ones only copy it.
    server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), pictureReply(posterBytes(256 * 1024)));
    ASSERT_EQ(cli.run(download + QStringList{first.path()}).exitCode, 0);

    QTemporaryDir full;
    writeFile(full.filePath(kPosterName), "earlier copy");
    expectFailed(cli.run(download + QStringList{full.path()}, [] { FileSizeLimit::apply({64 * 1024, 64 * 1024}); }),
                 "the picture could not be copied into " + full.path());
    EXPECT_EQ(filesUnder(full.path()), QStringList{kPosterName});
    EXPECT_EQ(contents(full.filePath(kPosterName)), "earlier copy");

    const UnwritableFolder unwritable(cli.home());
    const QStringList before = filesUnder(cli.home());
    expectFailed(cli.run(download + QStringList{unwritable.path()}), "the picture could not be copied into " + unwritable.path());
    EXPECT_EQ(filesUnder(cli.home()), before);
}

// An address that cannot be reached directly arrives through the proxy: so
// the proxy carries every read, the default addresses' too.
TEST(CliProxyTest, everyReadGoesThroughTheProxy)
{
    FixtureServer server;
    ASSERT_TRUE(server.listen());
    server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(kTwoFilms));
    ChildProcess cli;
    cli.useProxy(server.url());
    cli.run({"config", "set", "Hote-MovieCovers", "http://films.invalid/mc"});
    EXPECT_EQ(cli.run({"search", "--bases", "6", "matrix"}).exitCode, 0);
    EXPECT_EQ(server.requests().value(0).target, "http://films.invalid/mc/multicrit.html?titre=matrix&slow=1&listes=1");
}

// ---------------------------------------------------------------------------
// Settings that are corrupt or cannot be read

enum class Spoiling { BinaryJunk, FolderInItsPlace, Unreadable };

// What a first run stores, and so what the program goes by when it can read nothing.
void expectFirstRunDefaults(const ProgramState &state, const SettingsStore &store)
{
    EXPECT_EQ(state.LangOffset, 1000);
    EXPECT_EQ(state.ModeConnexion, Download::kResynchronise);
    EXPECT_TRUE(state.BaseUnique);
    EXPECT_TRUE(state.ProxyHost.isEmpty());
    EXPECT_EQ(store.LitValeur(QStringLiteral("Historique-Max")), QStringLiteral("75"));
}

// As root, both the program and the command line read the settings as nobody:
// root reads a file of mode 000 all the same.
class SpoiltSettingsTest : public ::testing::TestWithParam<Spoiling>
{
protected:
    // The settings file at `ini` holds binary junk, is a folder, or may not be
    // read; its folders are open to nobody.
    void spoil(const QString &ini)
    {
        m_spoilt = ini;
        QDir().mkpath(QFileInfo(ini).absolutePath());
        for (const QString &folder : {QFileInfo(ini).absolutePath(), QFileInfo(ini).absoluteDir().absolutePath() + "/.."})
            ::chmod(QFile::encodeName(folder).constData(), 0777);
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
    spoil(dir.filePath(QStringLiteral("Pellicam/Pellicam.ini")));

    // Two starts: the second reads whatever the first could store.
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        const WithoutRoot nobody;
        SettingsStore store(m_spoilt);
        Assembly assembly(store);
        assembly.readSettings(QSize(19200, 14400));
        Program &program = assembly.program();
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
    ChildProcess cli;
    cli.useProxy(server.url());
    cli.dropRoot();
    spoil(cli.iniFile());

    const ChildOutcome got = cli.run({"config", "get", "Langue"});
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, "\n");
    const ChildOutcome search = cli.run({"search", "--json", "--bases", "6", "matrix"});
    EXPECT_EQ(search.exitCode, 0) << search.err.toStdString();
    EXPECT_EQ(search.out.count(QStringLiteral("\"site\":\"MovieCovers\"")), 2) << search.out.toStdString();
    EXPECT_TRUE(search.err.contains("Connection to Movie Covers in progress...")) << "the first run's language";
    EXPECT_EQ(server.requests().value(0).target, "http://www.moviecovers.com/multicrit.html?titre=matrix&slow=1&listes=1");
    expectUnreadableKept();
}

INSTANTIATE_TEST_SUITE_P(Spoilings, SpoiltSettingsTest,
                         ::testing::Values(Spoiling::BinaryJunk, Spoiling::FolderInItsPlace, Spoiling::Unreadable),
                         [](const ::testing::TestParamInfo<Spoiling> &each) {
                             return std::string(std::array{"BinaryJunk", "FolderInItsPlace", "Unreadable"}[int(each.param)]);
                         });

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
    Assembly assembly(store);
    assembly.readSettings();
    EXPECT_EQ(assembly.program().state().LangOffset, 0);
    EXPECT_EQ(assembly.program().state().ModeConnexion, Download::kForceUpdate);
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
    ChildProcess cli;
    writeFile(cli.iniFile(), halfWrittenSettings(server.url(QStringLiteral("/mc"))));

    EXPECT_EQ(cli.run({"config", "get", "Hote-MovieCovers"}).out, server.url(QStringLiteral("/mc")) + u'\n');
    const ChildOutcome search = cli.run({"search", "--json", "--bases", "6", "matrix"});
    EXPECT_EQ(search.exitCode, 0) << search.err.toStdString();
    EXPECT_EQ(search.out.count(QStringLiteral("\"site\":\"MovieCovers\"")), 2) << search.out.toStdString();
    EXPECT_TRUE(search.err.contains(QString::fromUtf8("Connexion à Movie Covers en cours..."))) << search.err.toStdString();
    EXPECT_EQ(server.count("/mc/multicrit.html?titre=matrix&slow=1&listes=1"), 1);
}

} // namespace
