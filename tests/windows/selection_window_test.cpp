#include "windows/selection_window.h"

#include "settings/program_state.h"
#include "core/site_catalogue.h"
#include "core/site_report.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <utility>

namespace {

constexpr int kEnglish = 1000;

// The colour at the middle of a row's mark: "green", "red", "clear", or "none" without a mark.
QString markCentre(const QLabel *mark)
{
    const QImage picture = mark->pixmap().toImage();
    if (picture.isNull())
        return QStringLiteral("none");
    const QColor c = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    if (c.alpha() == 0)
        return QStringLiteral("clear");
    if (c.green() > c.red() + 60 && c.green() > c.blue() + 60)
        return QStringLiteral("green");
    if (c.red() > c.green() + 60 && c.red() > c.blue() + 60)
        return QStringLiteral("red");
    return c.name();
}

SiteReport report(int base, SiteReport::Outcome outcome)
{
    SiteReport report;
    report.base = base;
    report.outcome = outcome;
    report.hits = 2;
    report.pageBytes = 25;
    report.firstFailure = {RequestFailure::Kind::HttpError, 500, QStringLiteral("http://127.0.0.1/<b>x</b>"), QString(), false};
    return report;
}

class SelectionWindowTest : public ::testing::Test
{
protected:
    QLabel *label(const QString &name) const
    {
        QLabel *found = m_window.findChild<QLabel *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    QCheckBox *tickBox(int base) const
    {
        return m_window.findChild<QCheckBox *>(QStringLiteral("Check") + QString::number(base));
    }

    void clickName(int base) { QTest::mouseClick(label(QStringLiteral("LabelBase") + QString::number(base)), Qt::LeftButton); }
    void releaseOnTickBox(int base) { QTest::mouseClick(tickBox(base), Qt::LeftButton); }

    // The ticked bases, which the boxes show too.
    QList<int> ticked() const
    {
        QList<int> bases, boxes;
        for (int base = 0; base < m_catalogue.baseCount(); ++base) {
            if (m_catalogue.isTicked(base))
                bases.append(base);
            if (tickBox(base)->isChecked())
                boxes.append(base);
        }
        EXPECT_EQ(boxes, bases);
        return bases;
    }

    // A tool window counts as active while its owner is: waits for the real thing.
    static void activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
    }

    QTemporaryDir m_dir;
    SettingsStore m_store{m_dir.filePath("Pellicam.ini")};
    ProgramState m_state;
    SiteCatalogue m_catalogue{m_state};
    QWidget m_mainWindow;
    SelectionWindow m_window{m_catalogue, m_store, &m_mainWindow};
};

// The rules are the catalogue's; here, which press reaches it.
TEST_F(SelectionWindowTest, namesTickBoxesAndGroupLinksChangeTheTicks)
{
    clickName(6);
    releaseOnTickBox(11);
    EXPECT_EQ(ticked(), (QList<int>{6, 11}));
    releaseOnTickBox(6);
    clickName(11);
    EXPECT_EQ(ticked(), QList<int>{});
    // A release outside the box changes nothing.
    QTest::mousePress(tickBox(3), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(tickBox(3), Qt::LeftButton, {}, QPoint(60, 5));
    EXPECT_EQ(ticked(), QList<int>{});
    QTest::mouseClick(label("LabelTout0"), Qt::LeftButton);
    EXPECT_EQ(ticked().size(), 14);
}

TEST_F(SelectionWindowTest, singleBaseModePicksOneBaseAndHides)
{
    m_state.BaseUnique = true;
    m_window.show();
    clickName(2);
    EXPECT_FALSE(m_window.isVisible());
    EXPECT_EQ(ticked(), QList<int>{2});
    m_window.show();
    releaseOnTickBox(9);
    EXPECT_FALSE(m_window.isVisible());
    EXPECT_EQ(ticked(), QList<int>{9});
    EXPECT_EQ(m_catalogue.summary(), "AllDivX");
}

TEST_F(SelectionWindowTest, activationReadsTheModeAndPlacesTheWindowBesideTheMainWindow)
{
    m_mainWindow.move(100, 80);
    // Single base, several, and single again: each activation reads the mode anew.
    for (const auto &[singleBase, height] : {std::pair{true, 233}, std::pair{false, 295}, std::pair{true, 233}}) {
        m_window.hide();
        activate(m_mainWindow);
        m_store.writeBool("BdD", singleBase);
        activate(m_window);
        EXPECT_EQ(m_state.BaseUnique, singleBase);
        EXPECT_EQ(m_window.size(), QSize(344, height));
        EXPECT_EQ(m_window.pos(), m_mainWindow.pos() + QPoint(132, 105));
    }
}

TEST_F(SelectionWindowTest, losingActivationHidesAfterTheDelay)
{
    m_mainWindow.show();
    activate(m_window);
    // A click on the main window must still find it shown.
    bool shownWhenLeft = false;
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &m_window,
                     [&](QWindow *window) { shownWhenLeft = window == m_mainWindow.windowHandle() && m_window.isVisible(); });
    activate(m_mainWindow);
    EXPECT_TRUE(shownWhenLeft);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_window.isVisible(); }, 5000));
}

TEST_F(SelectionWindowTest, rowLinkOpensTheHomeAddressShownAsItsTooltipAndTheClosePictureHides)
{
    m_store.EcritValeur("Hote-DvdFr", "http://127.0.0.1:9/dvdfr/");
    QList<QUrl> opened;
    m_window.setLinkOpener([&](const QUrl &url) { opened.append(url); });
    activate(m_window);
    QLabel *link = label("LabelSite4");
    EXPECT_EQ(link->toolTip(), "<p>http://127.0.0.1:9/dvdfr</p>");
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl("http://127.0.0.1:9/dvdfr")});
    EXPECT_TRUE(m_window.isVisible());

    QLabel *close = label("Image1");
    const QPoint place = close->pos();
    QTest::mousePress(close, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(close->pos(), place + QPoint(1, 1));
    QTest::mouseRelease(close, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(close->pos(), place);
    EXPECT_FALSE(m_window.isVisible());
}

TEST_F(SelectionWindowTest, hoveredLinksAreRestyledAndRestored)
{
    m_state.BaseUnique = false;
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    QLabel *site = label("LabelSite0");
    QLabel *group = label("LabelTout2");
    const auto colour = [](const QLabel *shown) { return shown->palette().color(QPalette::WindowText); };
    QTest::mouseMove(site, QPoint(5, 5));
    EXPECT_EQ(colour(site), QColor(0, 0, 255));
    EXPECT_TRUE(site->font().underline());
    QTest::mouseMove(group, QPoint(5, 5));
    EXPECT_EQ(colour(site), QColor(120, 145, 216));
    EXPECT_FALSE(site->font().underline());
    EXPECT_EQ(colour(group), QColor(0, 0, 0));
    EXPECT_TRUE(group->font().bold());
    QTest::mouseMove(&m_window, QPoint(5, 200));
    EXPECT_EQ(colour(group), QColor(128, 128, 128));
    EXPECT_FALSE(group->font().bold());
}

TEST_F(SelectionWindowTest, eachRowMarksHowItsLastSearchEndedWithAPlainTextTooltip)
{
    using Outcome = SiteReport::Outcome;
    struct MarkCase
    {
        int base;
        std::optional<Outcome> outcome; // none: never searched
        const char *centre;
        const char *french;
        const char *english;
    };
    const MarkCase cases[] = {
        {6, Outcome::Hits, "green", "<p>2 films trouvés</p>", "<p>2 movies found</p>"},
        {11, Outcome::NoHit, "clear", "<p>Réponse sans aucun film, page de 25 octets</p>",
         "<p>Answered without any movie, page of 25 bytes</p>"},
        {2, Outcome::HttpError, "red", "<p>Erreur HTTP 500 sur http://127.0.0.1/&lt;b&gt;x&lt;/b&gt;</p>",
         "<p>HTTP error 500 on http://127.0.0.1/&lt;b&gt;x&lt;/b&gt;</p>"},
        {4, Outcome::Stopped, "none", "<p>Recherche arrêtée avant la fin</p>", "<p>Search stopped before the end</p>"},
        {0, std::nullopt, "none", "", ""},
    };
    for (const MarkCase &c : cases)
        if (c.outcome)
            m_catalogue.setReport(report(c.base, *c.outcome));

    for (const int language : {kEnglish, 0}) {
        m_window.retranslate(language);
        for (const MarkCase &c : cases) {
            const QString number = QString::number(c.base);
            SCOPED_TRACE(number.toStdString() + " in " + std::to_string(language));
            QLabel *mark = label(QStringLiteral("Mark") + number);
            EXPECT_EQ(markCentre(mark), c.centre);
            const QString tip = QString::fromUtf8(language == 0 ? c.french : c.english);
            EXPECT_EQ(mark->toolTip(), tip);
            EXPECT_EQ(label(QStringLiteral("LabelBase") + number)->toolTip(), tip);
            EXPECT_LT(mark->geometry().right(), tickBox(c.base)->geometry().left());
            EXPECT_NEAR(mark->geometry().center().y(), tickBox(c.base)->geometry().center().y(), 1);
        }
    }

    m_catalogue.clearReport(6);
    EXPECT_EQ(markCentre(label("Mark6")), "none");
    EXPECT_EQ(label("Mark6")->toolTip(), "");
    EXPECT_EQ(label("LabelBase6")->toolTip(), "");
}

using Language = SiteCatalogue::Language;
using Kind = SiteCatalogue::Kind;

SiteCatalogue::FileBase fileBase(const QString &id, Language language = Language::Us, Kind kind = Kind::Posters)
{
    return {id, id, language, kind, QStringLiteral("/sites/") + id + QStringLiteral(".yaml"), {}};
}

// Site files add rows below the fourteen, up to eight before the rows scroll;
// a file that takes a built-in site's id marks that site's row instead, which
// keeps its name, language and kind.
TEST_F(SelectionWindowTest, theBasesOfSiteFilesComeBelowTheBuiltInRows)
{
    QList<SiteCatalogue::FileBase> twelve;
    QList<int> twelveBases;
    for (int n = 0; n < 12; ++n) {
        twelve << fileBase(QStringLiteral("site%1").arg(n, 2, 10, QLatin1Char('0')));
        twelveBases << 14 + n;
    }
    struct Case
    {
        const char *what;
        QList<SiteCatalogue::FileBase> files;
        int height;
        bool scrolls;
        QList<int> fileMarks, usTicks; // usTicks: after "Check Us data"
        QList<int> restartTicks;       // after a restart without the first file
    };
    const Case cases[] = {
        {"no site file", {}, 295, false, {}, {5, 7, 8, 13}, {5, 7, 8, 13}},
        {"a new site and MovieCovers",
         {fileBase("<b>new</b>", Language::FrUs, Kind::Jackets), fileBase("MovieCovers", Language::Us)},
         310, false, {6, 14}, {5, 7, 8, 13, 14}, {5, 7, 8, 13}},
        {"twelve new sites", twelve, 415, true, twelveBases, QList<int>{5, 7, 8, 13} + twelveBases,
         QList<int>{5, 7, 8, 13} + twelveBases.first(11)},
    };
    m_state.BaseUnique = false;
    m_state.LangOffset = kEnglish;
    m_window.retranslate(kEnglish);
    m_window.show();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_catalogue.setFileBases(c.files);
        EXPECT_EQ(m_window.size(), QSize(344, c.height));
        QScrollBar *scroll = m_window.findChild<QScrollArea *>("Rows")->verticalScrollBar();
        EXPECT_EQ(scroll->maximum() > 0, c.scrolls);

        for (int base = 0; base < m_catalogue.baseCount(); ++base) {
            const SiteCatalogue::BaseInfo &info = m_catalogue.bases()[base];
            EXPECT_EQ(label(QStringLiteral("LabelBase%1").arg(base))->textFormat(), Qt::PlainText);
            EXPECT_EQ(tickBox(base)->geometry().top(), 9 + 15 * info.row) << base;
            auto *file = m_window.findChild<QLabel *>(QStringLiteral("File%1").arg(base));
            ASSERT_EQ(file != nullptr, c.fileMarks.contains(base)) << base;
            if (file) {
                EXPECT_EQ(file->toolTip(), "<p>Described by the file " + info.file.toHtmlEscaped() + "</p>");
            }
        }
        QTest::mouseClick(label("LabelTout3"), Qt::LeftButton);
        EXPECT_EQ(ticked(), c.usTicks);
        EXPECT_EQ(m_catalogue.summary(), QStringLiteral("%1 databases selected").arg(c.usTicks.size()));
        m_catalogue.save(m_store);
        m_catalogue.setFileBases(c.files.mid(1));
        m_catalogue.restore(m_store);
        EXPECT_EQ(ticked(), c.restartTicks);
    }
}

// The count of broken files opens the list of their errors, as plain text.
TEST_F(SelectionWindowTest, brokenSiteFilesAreCountedAndTheirErrorsListed)
{
    const std::pair<QList<QStringList>, QString> cases[] = {
        {{}, ""},
        {{{"/s/a.yaml:1:1: search: required key is missing"}}, "1 broken site file"},
        {{{"/s/a.yaml:2:3: x", "/s/a.yaml:4:5: y"}, {"/s/<b>b</b>.yml:1:1: not YAML"}}, "2 broken site files"},
    };
    m_state.BaseUnique = false;
    m_window.retranslate(kEnglish);
    m_window.show();
    for (const auto &[broken, shown] : cases) {
        m_catalogue.setFileBases({}, broken);
        QLabel *count = label("FileErrors");
        EXPECT_EQ(count->isVisible(), !broken.isEmpty());
        if (broken.isEmpty())
            continue;
        EXPECT_EQ(count->text(), shown);
        QTest::mouseClick(count, Qt::LeftButton);
        auto *list = m_mainWindow.findChild<QDialog *>("FileErrorList");
        ASSERT_TRUE(list && list->isVisible());
        EXPECT_EQ(list->findChild<QPlainTextEdit *>()->toPlainText(), m_catalogue.fileErrors().join('\n'));
        list->close();
    }
}

// The reload link and F5 ask for the reading; a reading that waits for the
// search says so until the rows are built again.
TEST_F(SelectionWindowTest, reloadAsksForTheSiteFilesAndSaysWhenItWaits)
{
    int asked = 0;
    bool readNow = true;
    m_window.setReloader([&] { ++asked; return readNow; });
    m_state.BaseUnique = false;
    m_window.retranslate(kEnglish);
    m_window.show();
    QLabel *reload = label("Reload");
    QTest::mouseClick(reload, Qt::LeftButton);
    QTest::keyClick(&m_window, Qt::Key_F5);
    EXPECT_EQ(asked, 2);

    readNow = false;
    QTest::mouseClick(reload, Qt::LeftButton);
    EXPECT_EQ(reload->text(), "Reload waiting");
    QTest::mouseClick(reload, Qt::LeftButton);
    EXPECT_EQ(asked, 3) << "one reading is enough";
    m_catalogue.setFileBases({fileBase("added")});
    EXPECT_EQ(reload->text(), "Reload sites");
}

} // namespace
