#include "controls/over_button.h"
#include "home_folder.h"
#include "site_test.h"
#include "update/banner.h"
#include "update/update_check.h"
#include "windows/about_window.h"
#include "windows/main_window.h"
#include "windows/options_window.h"
#include "windows/poster_viewer.h"
#include "windows/selection_window.h"
#include "windows/thumb_strip.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QByteArray kMatrix = "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)";
const char *const kPoster = "/mc/getjpg.html/MATRIX.jpg";

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_server.setReply(QStringLiteral("/mc/multicrit.html"),
                          pageReply(kMatrix + "<a href=\"/film/titre_MATRIX2.html\">MATRIX RELOADED</a> (2003)"));
        m_test.store.EcritValeur(QStringLiteral("Hote-MovieCovers"), m_server.url(QStringLiteral("/mc")));
        m_test.store.EcritValeur(QStringLiteral("Hote-Editeur"), m_server.url(QStringLiteral("/editeur")));
    }

    Program &program() { return m_test.program; }

    std::unique_ptr<MainWindow> startWindow()
    {
        auto window = std::make_unique<MainWindow>(m_test.assembly);
        window->start();
        return window;
    }

    // MovieCovers answers one hit after `delayMs`, so a run is seen under way.
    void answerSlowly(int delayMs)
    {
        FixtureServer::Reply slow = pageReply(kMatrix);
        slow.delayMs = delayMs;
        m_server.setReply(QStringLiteral("/mc/multicrit.html"), slow);
    }

    void tickMovieCovers()
    {
        program().state().BaseUnique = false;
        program().catalogue().setTick(6, 1);
        program().catalogue().AfficheNbrCoche();
    }

    // A search of MovieCovers' posters for "matrix", waited for until it ends.
    bool searchMatrix()
    {
        tickMovieCovers();
        program().setTitle(QStringLiteral("matrix"));
        return m_test.search();
    }

    bool retrievalEnded()
    {
        return QTest::qWaitFor([this] { return !program().retrieval().downloading(); }, 10000);
    }

    HomeFolder m_home;
    FixtureServer m_server;
    TestProgram m_test;
};

TEST_F(MainWindowTest, aFirstRunSavesIntoThePicturesAndTheOutlineIsCutFromTheSkinInBothForms)
{
    auto window = startWindow();
    EXPECT_EQ(window->folderList()->count(), 3);
    EXPECT_EQ(window->folderList()->currentText(), m_home.path("Pictures"));
    EXPECT_FALSE(window->mask().contains(QPoint(0, 0)) || window->mask().contains(QPoint(799, 490)));
    EXPECT_TRUE(window->mask().contains(QPoint(0, 19)) && window->mask().contains(QPoint(799, 473)));

    window->setCompact(true);
    EXPECT_EQ(window->height(), 67);
    EXPECT_FALSE(window->titleBox()->isVisible());
    EXPECT_LE(window->mask().boundingRect().bottom(), 66);
    window->setCompact(false);
    EXPECT_EQ(window->height(), 491);
    EXPECT_TRUE(window->titleBox()->isVisible() && window->searchButton()->isVisible());
    EXPECT_TRUE(window->mask().contains(QPoint(0, 300)));
}

TEST_F(MainWindowTest, enterSearchesAndTheWindowFollowsTheRun)
{
    auto window = startWindow();
    tickMovieCovers();
    // The button's caption, whether the title box and the new hit take presses.
    const auto state = [&](int slot) {
        return QStringLiteral("%1 %2 %3").arg(window->searchButton()->caption()).arg(window->titleBox()->isEnabled())
            .arg(program().results().slot(slot).enabled);
    };
    QString whileRunning;
    QObject::connect(&program().results(), &ResultList::slotAdded, window.get(), [&](int slot) { whileRunning = state(slot); });
    // Typed keys reach the box, the line edit's focus proxy, which hands them on.
    QTest::keyClicks(window->titleBox(), QStringLiteral("matrix"));
    QTest::keyClick(window->titleBox(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !program().searching(); }, 10000));

    EXPECT_EQ(whileRunning, QStringLiteral("Stop 0 0"));
    ASSERT_EQ(program().results().NbVignettes(), 2);
    EXPECT_EQ(state(1), QStringLiteral("Search 1 1"));
    EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("2 movies found"));
    EXPECT_EQ(window->titleBox()->itemText(0), QStringLiteral("matrix"));

    // Two posters, centred once the run is over: (12000 - 2 * 1935) / 2 + 135 twips.
    const QRect first = window->strip()->thumbRect(0);
    EXPECT_EQ(first, QRect(4200 / 15 - window->strip()->x(), 330 / 15, 1665 / 15, 2580 / 15));
    EXPECT_EQ(window->strip()->thumbRect(1).x(), first.x() + 129);
}

TEST_F(MainWindowTest, theTitleBoxCompletesFromTheHistory)
{
    m_test.store.EcritValeur(QStringLiteral("Historique-Max"), QStringLiteral("75"));
    m_test.store.EcritValeur(QStringLiteral("Historique-1"), QStringLiteral("Le Parrain"));
    m_test.store.EcritValeur(QStringLiteral("Historique-2"), QStringLiteral("Alien"));
    auto window = startWindow();
    QLineEdit *edit = window->titleBox()->lineEdit();
    EXPECT_EQ(window->titleBox()->count(), 2);

    QTest::keyClicks(window->titleBox(), QStringLiteral("le p"));
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), QStringLiteral("Le Parrain"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("arrain"));
    QTest::keyClick(window->titleBox(), Qt::Key_Backspace);
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), QStringLiteral("Le P"));
    EXPECT_FALSE(edit->hasSelectedText());
}

TEST_F(MainWindowTest, aClickOnTheButtonStopsTheRun)
{
    answerSlowly(800);
    auto window = startWindow();
    tickMovieCovers();
    window->titleBox()->setEditText(QStringLiteral("matrix"));
    const auto clickSearch = [&] { QTest::mouseClick(window->searchButton(), Qt::LeftButton, {}, QPoint(20, 10)); };
    bool bandsWhileRunning = false;
    QObject::connect(&program(), &Program::statusChanged, window.get(), [&](const QString &status) {
        if (status.startsWith(QStringLiteral("Connection"))) {
            bandsWhileRunning = window->busyBandsShown();
            QTimer::singleShot(0, window.get(), clickSearch);
        }
    });
    clickSearch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !program().searching(); }, 10000));

    EXPECT_TRUE(bandsWhileRunning);
    EXPECT_FALSE(window->busyBandsShown()) << "hidden and still once the stopped run ended";
    EXPECT_EQ(program().results().NbResultats(), 0);
    EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("No movie found !"));
    EXPECT_EQ(window->searchButton()->caption(), QStringLiteral("Search"));
}

TEST_F(MainWindowTest, ticksFolderAndPositionSurviveARestartAndTheCacheIsEmptied)
{
    for (const char *name : {"a.jpg", "b.PDF", "c.xml", "noextension", "keep.txt"})
        QFile(m_test.cached(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    {
        auto window = startWindow();
        program().catalogue().setTick(11, 1);
        window->folderList()->setCurrentIndex(1);
        window->move(120, 90);
        window->close();
    }
    EXPECT_EQ(QDir(m_test.cached(QString())).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});

    program().catalogue().setTick(11, 0);
    auto window = startWindow();
    EXPECT_EQ(program().catalogue().summary(), QStringLiteral("MovieCovers (PDF)"));
    EXPECT_EQ(window->folderList()->currentText(), m_home.path("Documents"));
    EXPECT_EQ(window->pos(), QPoint(120, 90));
}

TEST_F(MainWindowTest, aStripFilledWhileCompactShowsItsScrollBarOnceLarge)
{
    QByteArray page;
    for (const char key : QByteArray("ABCDEFGH"))
        page += QByteArray("<a href=\"/film/titre_M") + key + ".html\">MATRIX " + key + "</a> (1999)";
    m_server.setReply(QStringLiteral("/mc/multicrit.html"), pageReply(page));
    auto window = startWindow();
    window->setCompact(true);
    ASSERT_TRUE(searchMatrix());
    ASSERT_TRUE(program().results().scrollBar().visible);
    EXPECT_FALSE(window->scrollBar()->isVisible());
    window->setCompact(false);
    EXPECT_TRUE(window->scrollBar()->isVisible());
}

// The command line's first run stores no position; a position may be unreadable.
TEST_F(MainWindowTest, withoutAStoredPositionTheWindowStartsCentred)
{
    m_test.assembly.readSettings();
    for (const bool unreadable : {false, true}) {
        if (unreadable)
            m_test.store.writeValues({{QStringLiteral("Form-Top"), QStringLiteral("x")},
                                      {QStringLiteral("Form-Left"), QStringLiteral("1500")}});
        auto window = startWindow();
        const QPoint offCentre = window->geometry().center() - window->screen()->geometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 2) << unreadable;
    }
}

TEST_F(MainWindowTest, theBannerShowsItsPictureAndOpensItsLinkInTheLargeFormOnly)
{
    m_server.setReply(QStringLiteral("/editeur/Bandeaux/dalinker.php3?file=Bandeau1"),
                      pictureReply(jpegBytes(QSize(468, 60))));
    m_server.setReply(QStringLiteral("/editeur/Bandeaux/Bandeau1-L.txt"),
                      pageReply("http://films.test/affiches.htm\r\n", "text/plain"));

    auto window = startWindow();
    QStringList opened;
    window->setPageOpener([&](const QUrl &page) { opened << page.toString(); });
    QLabel *banner = window->bannerLabel();
    EXPECT_EQ(banner->geometry(), QRect(166, 411, 468, 60));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !banner->pixmap().isNull() && !banner->toolTip().isEmpty(); }, 5000));
    EXPECT_EQ(banner->pixmap().size(), QSize(468, 60));
    QTest::mouseClick(banner, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{QStringLiteral("http://films.test/affiches.htm")});

    EXPECT_TRUE(window->banner().running());
    window->setCompact(true);
    EXPECT_FALSE(window->banner().running());
    window->setCompact(false);
    EXPECT_TRUE(window->banner().running());
}

// An update found at start-up opens the options at once; found while a search
// runs, once the run is over. A language picked there shows at once, and
// Cancel undoes it.
class UpdateAnnouncementTest : public MainWindowTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(UpdateAnnouncementTest, opensTheOptionsWhenNoRunIsUnderWayAndCancelKeepsTheLanguage)
{
    const bool duringSearch = GetParam();
    m_server.setReply(QStringLiteral("/editeur/pad_file.xml"), pageReply("<Program_Version>2006.m</Program_Version>"));
    answerSlowly(1000);
    auto window = std::make_unique<MainWindow>(m_test.assembly);
    QStringList events;
    QObject::connect(&window->updateCheck(), &UpdateCheck::newerVersionFound,
                     [&] { events << (program().searching() ? "found while searching" : "found"); });
    QObject::connect(&program(), &Program::runFinished, [&] { events << QStringLiteral("run over"); });
    // The options window is modal: it is answered from a timer once it is up.
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *options = qobject_cast<OptionsWindow *>(QApplication::activeModalWidget());
        if (!options)
            return;
        poll.stop();
        events << (options->announcementPanel()->isVisible() ? "announced" : "options");
        emit options->languageList()->activated(1);
        events << window->searchButton()->caption();
        options->cancelButton()->click();
    });
    poll.start();
    window->start();
    // The window is up before the answer.
    EXPECT_TRUE(window->isVisible());
    if (duringSearch) {
        tickMovieCovers();
        window->titleBox()->setEditText(QStringLiteral("matrix"));
        program().Lance(1);
    }

    // The modal options open once the answer's handlers have all run, never inside them.
    const QStringList expected = duringSearch ? QStringList{"found while searching", "run over", "announced", "Rechercher"}
                                              : QStringList{"found", "announced", "Rechercher"};
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() == expected.size(); }, 5000)) << events.join(", ").toStdString();
    EXPECT_EQ(events, expected);
    EXPECT_EQ(program().state().LangOffset, 1000);
    EXPECT_EQ(window->searchButton()->caption(), QStringLiteral("Search"));
    EXPECT_TRUE(window->updateCheck().NouvelleVersion().isEmpty());
    EXPECT_EQ(m_test.store.LitValeur(QStringLiteral("LiveUpdate")), QString());
}

INSTANTIATE_TEST_SUITE_P(StartUpAndSearch, UpdateAnnouncementTest, ::testing::Bool(),
                         [](const auto &each) { return std::string(each.param ? "duringASearch" : "atStartUp"); });

// Titles and the banner's link come from the network: shown as their characters, never as markup.
TEST_F(MainWindowTest, textFromPagesIsShownAsItsCharacters)
{
    const QString hostile = QStringLiteral(R"(<img src="http://127.0.0.1:1/x.png"><b>Bold</b>)");
    m_server.setReply(QStringLiteral("/editeur/Bandeaux/Bandeau1-L.txt"), pageReply(hostile.toUtf8() + "\r\n", "text/plain"));
    // What Qt draws for a tooltip: markup when it takes the text for rich text.
    const auto shown = [](const QString &tip) {
        if (!Qt::mightBeRichText(tip))
            return tip;
        QTextDocument document;
        document.setHtml(tip);
        return document.toPlainText();
    };

    auto window = startWindow();
    ResultList &results = program().results();
    results.resize(ResultList::kGrowth);
    results.entry(1).Title = hostile;
    results.countHit();
    results.addSlot(false, true);
    const QPoint thumb = window->strip()->thumbRect(0).center();
    QHelpEvent help(QEvent::ToolTip, thumb, window->strip()->mapToGlobal(thumb));
    QCoreApplication::sendEvent(window->strip(), &help);
    EXPECT_EQ(shown(QToolTip::text()), ResultList::displayTitle(hostile));

    QLabel *banner = window->bannerLabel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !banner->toolTip().isEmpty(); }, 5000));
    EXPECT_EQ(shown(banner->toolTip()), hostile);
}

// A window manager activates the main window just before the press reaches it.
TEST_F(MainWindowTest, eachClickOnTheListButtonOrTheSummaryFlipsTheSelectionWindow)
{
    auto window = startWindow();
    QWidget *selection = window->selectionWindow();
    for (QWidget *control : {window->childAt(467, 94), window->findChild<QWidget *>(QStringLiteral("summary"))}) {
        for (const bool shown : {true, false, true, false}) {
            QEvent deactivate(QEvent::WindowDeactivate), activate(QEvent::WindowActivate);
            QFocusEvent focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
            QCoreApplication::sendEvent(selection, &deactivate);
            QCoreApplication::sendEvent(window.get(), &activate);
            QCoreApplication::sendEvent(window->titleBox(), &focus);
            QTest::mouseClick(control, Qt::LeftButton);
            EXPECT_EQ(selection->isVisible(), shown) << control->metaObject()->className();
        }
    }
}

TEST_F(MainWindowTest, escapeClosesTheViewerTheAboutWindowAndTheSelectionWindow)
{
    auto window = startWindow();
    const QString picture = m_test.cached(QStringLiteral("Matrix.jpg"));
    QImage(40, 60, QImage::Format_RGB32).save(picture, "JPEG");
    int cascade = 0;
    const std::function<QWidget *()> opens[] = {
        [&]() -> QWidget * { return new PosterViewer(program(), picture, 0, cascade, window.get()); },
        [&]() -> QWidget * { return new AboutWindow(m_test.store, 0, window.get()); },
        [&]() -> QWidget * { return window->selectionWindow(); },
    };
    for (const auto &open : opens) {
        QWidget *shown = open();
        shown->show();
        ASSERT_TRUE(shown->isVisible());
        QTest::keyClick(shown, Qt::Key_Escape);
        EXPECT_FALSE(shown->isVisible()) << shown->metaObject()->className();
    }
}

TEST_F(MainWindowTest, aThumbnailShowsThePictureAndWithoutADownloadFolderTheButtonAsksForOneFirst)
{
    for (const char *folder : {"Desktop", "Documents", "Pictures"})
        QDir(m_home.path(folder)).removeRecursively();
    m_server.setReply(kPoster, pictureReply(jpegBytes(QSize(40, 60))));
    auto window = startWindow();
    ASSERT_EQ(window->folderList()->count(), 0);
    ASSERT_TRUE(searchMatrix());

    QTest::mouseClick(window->strip(), Qt::LeftButton, {}, window->strip()->thumbRect(0).center());
    ASSERT_TRUE(retrievalEnded());
    const auto viewers = window->findChildren<PosterViewer *>();
    ASSERT_EQ(viewers.size(), 1);
    EXPECT_TRUE(viewers.first()->isVisible());
    EXPECT_EQ(m_server.count(kPoster), 1);

    auto *download = qobject_cast<OverButton *>(window->strip()->childAt(window->strip()->buttonRect(0).center()));
    ASSERT_NE(download, nullptr);
    QString answer;
    int asked = 0;
    window->setFolderChooser([&](const QString &, const QString &) { ++asked; return answer; });
    // Cancelled: nothing is fetched, copied or stored.
    QTest::mouseClick(download, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_TRUE(retrievalEnded());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(m_server.count(kPoster), 1);
    EXPECT_EQ(window->folderList()->count(), 0);
    EXPECT_FALSE(program().results().slot(0).downloaded);

    answer = m_test.dir.filePath(QStringLiteral("picked"));
    QDir().mkpath(answer);
    QTest::mouseClick(download, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_TRUE(retrievalEnded());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(QDir(answer).entryList(QDir::Files), QStringList{QStringLiteral("Matrix [1999]  (MovieCovers).jpg")});
    EXPECT_TRUE(program().results().slot(0).downloaded);
    EXPECT_EQ(m_test.store.LitValeur(QStringLiteral("Folder-User")), answer);
    EXPECT_EQ(window->folderList()->currentText(), answer);
}

} // namespace
