#include "controls/over_button.h"
#include "core/site_catalogue.h"
#include "site_test.h"
#include "home_folder.h"
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
#include <QPushButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QHelpEvent>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <gtest/gtest.h>

#include <functional>

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        FixtureServer::Reply page;
        page.body = "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)"
                    "<a href=\"/film/titre_MATRIX2.html\">MATRIX RELOADED</a> (2003)";
        m_server.setReply(QStringLiteral("/mc/multicrit.html"), page);
        m_test.store.EcritValeur(QStringLiteral("Hote-MovieCovers"), m_server.url(QStringLiteral("/mc")));
        m_test.store.EcritValeur(QStringLiteral("Hote-Editeur"), m_server.url(QStringLiteral("/editeur")));
    }

    void TearDown() override
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (qobject_cast<PosterViewer *>(widget))
                widget->close();
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
        FixtureServer::Reply slow;
        slow.body = "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)";
        slow.delayMs = delayMs;
        m_server.setReply(QStringLiteral("/mc/multicrit.html"), slow);
    }

    // A search of MovieCovers' posters for `title`, waited for until it ends.
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

    void tickMovieCovers()
    {
        program().state().BaseUnique = false;
        program().catalogue().setTick(6, 1);
        program().catalogue().AfficheNbrCoche();
    }

    HomeFolder m_home;
    FixtureServer m_server;
    TestProgram m_test;
};

TEST_F(MainWindowTest, aFirstRunSpeaksEnglishAndSavesIntoThePicturesFolder)
{
    auto window = startWindow();
    EXPECT_EQ(window->searchButton()->caption(), QStringLiteral("Search"));
    EXPECT_EQ(window->folderList()->count(), 3);
    EXPECT_EQ(window->folderList()->currentText(), m_home.path("Pictures"));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, enterSearchesAndTheWindowFollowsTheRun)
{
    auto window = startWindow();
    tickMovieCovers();
    QString captionWhileRunning;
    bool titleEnabledWhileRunning = true;
    bool slotEnabledWhileRunning = true;
    QObject::connect(&program().results(), &ResultList::slotAdded, window.get(), [&](int slot) {
        captionWhileRunning = window->searchButton()->caption();
        titleEnabledWhileRunning = window->titleBox()->isEnabled();
        slotEnabledWhileRunning = program().results().slot(slot).enabled;
    });
    // Typed keys reach the box, the line edit's focus proxy, which hands them on.
    QTest::keyClicks(window->titleBox(), QStringLiteral("matrix"));
    QTest::keyClick(window->titleBox(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !program().searching(); }, 10000));

    EXPECT_EQ(captionWhileRunning, QStringLiteral("Stop"));
    EXPECT_FALSE(titleEnabledWhileRunning);
    EXPECT_FALSE(slotEnabledWhileRunning);
    EXPECT_EQ(window->searchButton()->caption(), QStringLiteral("Search"));
    EXPECT_TRUE(window->titleBox()->isEnabled());
    ASSERT_EQ(program().results().NbVignettes(), 2);
    EXPECT_TRUE(program().results().slot(1).enabled);
    EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("2 movies found"));
    EXPECT_EQ(window->titleBox()->itemText(0), QStringLiteral("matrix"));

    // Two posters, centred once the run is over: (12000 - 3870) / 2 + 135 twips.
    const int stripLeft = (12000 - 2 * 1935) / 2 + 135;
    const QRect first = window->strip()->thumbRect(0);
    EXPECT_EQ(first, QRect(stripLeft / 15 - window->strip()->x(), 330 / 15, 1665 / 15, 2580 / 15));
    EXPECT_EQ(window->strip()->thumbRect(1).x(), first.x() + 1935 / 15);
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
    QObject::connect(&program(), &Program::statusChanged, window.get(), [&](const QString &status) {
        if (status.startsWith(QStringLiteral("Connection")))
            QTimer::singleShot(100, window.get(), [&] {
                QTest::mouseClick(window->searchButton(), Qt::LeftButton, {}, QPoint(20, 10));
            });
    });
    QTest::mouseClick(window->searchButton(), Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !program().searching(); }, 10000));

    EXPECT_EQ(program().results().NbResultats(), 0);
    EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("No movie found !"));
    EXPECT_EQ(window->searchButton()->caption(), QStringLiteral("Search"));
}

TEST_F(MainWindowTest, theOutlineIsCutFromTheSkinInBothForms)
{
    auto window = startWindow();
    EXPECT_FALSE(window->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(window->mask().contains(QPoint(799, 490)));
    for (int y = 19; y <= 473; y += 38)
        EXPECT_TRUE(window->mask().contains(QPoint(0, y)) && window->mask().contains(QPoint(799, y))) << y;

    window->setCompact(true);
    EXPECT_EQ(window->height(), 67);
    EXPECT_FALSE(window->titleBox()->isVisible());
    EXPECT_LE(window->mask().boundingRect().bottom(), 66);
    window->setCompact(false);
    EXPECT_EQ(window->height(), 491);
    EXPECT_TRUE(window->titleBox()->isVisible());
    EXPECT_TRUE(window->searchButton()->isVisible());
    EXPECT_EQ(window->searchButton()->caption(), QStringLiteral("Search"));
    EXPECT_TRUE(window->mask().contains(QPoint(0, 300)));
}

TEST_F(MainWindowTest, aPressOnAThumbnailShowsThePicture)
{
    m_server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), pictureReply(jpegBytes(QSize(40, 60))));
    auto window = startWindow();
    ASSERT_TRUE(searchMatrix());

    QTest::mouseClick(window->strip(), Qt::LeftButton, {}, window->strip()->thumbRect(0).center());
    ASSERT_TRUE(retrievalEnded());
    int viewers = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        viewers += qobject_cast<PosterViewer *>(widget) && widget->isVisible();
    EXPECT_EQ(viewers, 1);
    EXPECT_TRUE(QFileInfo::exists(m_test.cached(QStringLiteral("Matrix [1999]  (MovieCovers).jpg"))));
}

TEST_F(MainWindowTest, ticksFolderAndPositionSurviveARestartAndTheCacheIsEmptied)
{
    for (const char *name : {"a.jpg", "b.PDF", "c.xml", "noextension", "keep.txt"}) {
        QFile file(m_test.cached(QString::fromLatin1(name)));
        file.open(QIODevice::WriteOnly);
    }
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
    EXPECT_TRUE(program().catalogue().isTicked(11));
    EXPECT_EQ(program().catalogue().summary(), QStringLiteral("MovieCovers (PDF)"));
    EXPECT_EQ(window->folderList()->currentText(), m_home.path("Documents"));
    EXPECT_EQ(window->pos(), QPoint(120, 90));
}

TEST_F(MainWindowTest, theBannerShowsItsPictureAndOpensItsLinkInTheLargeFormOnly)
{
    m_server.setReply(QStringLiteral("/editeur/Bandeaux/dalinker.php3?file=Bandeau1"),
                      pictureReply(jpegBytes(QSize(468, 60))));
    FixtureServer::Reply link;
    link.body = "http://films.test/affiches.htm\r\n";
    link.contentType = "text/plain";
    m_server.setReply(QStringLiteral("/editeur/Bandeaux/Bandeau1-L.txt"), link);

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

TEST_F(MainWindowTest, anUpdateFoundAtStartUpOpensTheOptionsAndCancelKeepsTheLanguage)
{
    FixtureServer::Reply pad;
    pad.body = "<Program_Version>2006.m</Program_Version>";
    m_server.setReply(QStringLiteral("/editeur/pad_file.xml"), pad);

    auto window = std::make_unique<MainWindow>(m_test.assembly);
    bool announced = false;
    QString captionWhileFrench;
    // The options window is modal: act on it from a timer once it is up.
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *options = qobject_cast<OptionsWindow *>(QApplication::activeModalWidget());
        if (!options)
            return;
        poll.stop();
        announced = options->announcementPanel()->isVisible();
        emit options->languageList()->activated(1);
        captionWhileFrench = window->searchButton()->caption();
        options->cancelButton()->click();
    });
    poll.start();
    window->start();

    // The window is up before the answer; the options open when it comes.
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(announced);
    ASSERT_TRUE(QTest::qWaitFor([&] { return announced; }, 5000));
    EXPECT_EQ(captionWhileFrench, QStringLiteral("Rechercher"));
    EXPECT_EQ(program().state().LangOffset, 1000);
    EXPECT_EQ(window->searchButton()->caption(), QStringLiteral("Search"));
    EXPECT_TRUE(window->updateCheck().NouvelleVersion().isEmpty());
    EXPECT_EQ(m_test.store.LitValeur(QStringLiteral("LiveUpdate")), QString());
}

TEST_F(MainWindowTest, anUpdateFoundDuringASearchIsAnnouncedOnceTheRunIsOver)
{
    FixtureServer::Reply pad;
    pad.body = "<Program_Version>2006.m</Program_Version>";
    m_server.setReply(QStringLiteral("/editeur/pad_file.xml"), pad);
    answerSlowly(1000);

    auto window = startWindow();
    tickMovieCovers();
    QStringList events;
    QObject::connect(&window->updateCheck(), &UpdateCheck::newerVersionFound, [&] {
        events << (program().searching() ? QStringLiteral("found while searching") : QStringLiteral("found"));
    });
    QObject::connect(&program(), &Program::runFinished, [&] { events << QStringLiteral("run over"); });
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *options = qobject_cast<OptionsWindow *>(QApplication::activeModalWidget())) {
            events << (options->announcementPanel()->isVisible() ? QStringLiteral("announced") : QStringLiteral("options"));
            options->cancelButton()->click();
        }
    });
    poll.start();
    window->titleBox()->setEditText(QStringLiteral("matrix"));
    program().Lance(1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return events.contains(QStringLiteral("announced")); }, 5000)) << events.join(", ").toStdString();
    EXPECT_EQ(events, (QStringList{"found while searching", "run over", "announced"}));
}

// Titles and the banner's link come from the network: shown as their characters, never as markup.
TEST_F(MainWindowTest, textFromPagesIsShownAsItsCharacters)
{
    const QString hostile = QStringLiteral(R"(<img src="http://127.0.0.1:1/x.png"><b>Bold</b>)");
    FixtureServer::Reply link;
    link.body = hostile.toUtf8() + "\r\n";
    link.contentType = "text/plain";
    m_server.setReply(QStringLiteral("/editeur/Bandeaux/Bandeau1-L.txt"), link);
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

TEST_F(MainWindowTest, withoutADownloadFolderTheButtonAsksForOneFirst)
{
    for (const char *folder : {"Desktop", "Documents", "Pictures"})
        QDir(m_home.path(folder)).removeRecursively();
    m_server.setReply(QStringLiteral("/mc/getjpg.html/MATRIX.jpg"), pictureReply(jpegBytes(QSize(40, 60))));
    auto window = startWindow();
    ASSERT_EQ(window->folderList()->count(), 0);
    ASSERT_TRUE(searchMatrix());
    auto *download = qobject_cast<OverButton *>(window->strip()->childAt(window->strip()->buttonRect(0).center()));
    ASSERT_NE(download, nullptr);
    QString answer;
    int asked = 0;
    window->setFolderChooser([&](const QString &, const QString &) {
        ++asked;
        return answer;
    });

    // Cancelled: nothing is fetched, copied or stored.
    QTest::mouseClick(download, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_TRUE(retrievalEnded());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(m_server.count("/mc/getjpg.html/MATRIX.jpg"), 0);
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
