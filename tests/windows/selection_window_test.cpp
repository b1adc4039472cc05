#include "windows/selection_window.h"

#include "settings/program_state.h"
#include "core/site_catalogue.h"
#include "core/site_report.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

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
    report.firstFailure = {RequestFailure::Kind::HttpError, 500, QStringLiteral("http://127.0.0.1/<b>x</b>")};
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
        for (int base = 0; base < 14; ++base) {
            if (m_catalogue.isTicked(base))
                bases.append(base);
            if (tickBox(base)->isChecked())
                boxes.append(base);
        }
        EXPECT_EQ(boxes, bases);
        return bases;
    }

    void activate()
    {
        m_window.show();
        m_window.activateWindow();
        // A tool window counts as active while its owner is; wait for the real thing.
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &m_window; }));
    }

    void activateMainWindow()
    {
        m_mainWindow.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &m_mainWindow; }));
    }

    QTemporaryDir m_dir;
    SettingsStore m_store{m_dir.filePath("Pellicam.ini")};
    ProgramState m_state;
    SiteCatalogue m_catalogue{m_state};
    QWidget m_mainWindow;
    SelectionWindow m_window{m_catalogue, m_store, &m_mainWindow};
};

TEST_F(SelectionWindowTest, namesTickBoxesAndGroupLinksSetTheTicksAndTheSummary)
{
    // Each step starts from where the one before left the ticks.
    const struct
    {
        const char *what;
        bool singleBase;
        std::function<void()> act;
        QList<int> ticked;
        const char *summary;
    } steps[] = {
        {"a name and a box tick", false, [&] { clickName(6); releaseOnTickBox(11); }, {6, 11}, "2 bases sélectionnées"},
        {"...and untick", false, [&] { releaseOnTickBox(6); clickName(11); }, {}, "Aucune base sélectionnée"},
        {"a release outside the box", false,
         [&] {
             QTest::mousePress(tickBox(3), Qt::LeftButton, {}, QPoint(5, 5));
             QTest::mouseRelease(tickBox(3), Qt::LeftButton, {}, QPoint(60, 5));
         },
         {}, "Aucune base sélectionnée"},
        {"all", false, [&] { QTest::mouseClick(label("LabelTout0"), Qt::LeftButton); },
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, "14 bases sélectionnées"},
        {"a group replaces them", false, [&] { QTest::mouseClick(label("LabelTout3"), Qt::LeftButton); }, {5, 7, 8, 13},
         "4 bases sélectionnées"},
        {"one base by its name, and hide", true, [&] { clickName(2); }, {2}, "Cinefil"},
        {"one base by its box, and hide", true, [&] { releaseOnTickBox(9); }, {9}, "AllDivX"},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.what);
        m_state.BaseUnique = step.singleBase;
        m_window.show();
        step.act();
        EXPECT_EQ(ticked(), step.ticked);
        EXPECT_EQ(m_catalogue.summary(), QString::fromUtf8(step.summary));
        EXPECT_EQ(m_window.isVisible(), !step.singleBase);
    }
}

TEST_F(SelectionWindowTest, activationReadsTheModeAndPlacesTheWindowBesideTheMainWindow)
{
    m_mainWindow.move(100, 80);
    m_mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_mainWindow));

    struct ModeCase
    {
        bool singleBase;
        int height;
    };
    for (const ModeCase c : {ModeCase{true, 233}, ModeCase{false, 295}, ModeCase{true, 233}}) {
        m_window.hide();
        activateMainWindow();
        m_store.writeBool("BdD", c.singleBase);
        activate();
        EXPECT_EQ(m_state.BaseUnique, c.singleBase);
        EXPECT_EQ(m_window.size(), QSize(344, c.height));
        EXPECT_EQ(m_window.pos(), m_mainWindow.pos() + QPoint(132, 105));
    }
}

TEST_F(SelectionWindowTest, losingActivationHidesAfterTheDelay)
{
    m_mainWindow.show();
    activate();
    // A click on the main window must still find it shown.
    bool shownWhenLeft = false;
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &m_window,
                     [&](QWindow *window) { shownWhenLeft = window == m_mainWindow.windowHandle() && m_window.isVisible(); });
    activateMainWindow();
    EXPECT_TRUE(shownWhenLeft);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_window.isVisible(); }, 5000));
}

TEST_F(SelectionWindowTest, closePictureClickHides)
{
    m_window.show();
    QLabel *close = label("Image1");
    const QPoint place = close->pos();
    QTest::mousePress(close, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(close->pos(), place + QPoint(1, 1));
    QTest::mouseRelease(close, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(close->pos(), place);
    EXPECT_FALSE(m_window.isVisible());
}

TEST_F(SelectionWindowTest, rowLinkOpensTheHomeAddressShownAsItsTooltip)
{
    m_store.EcritValeur("Hote-DvdFr", "http://127.0.0.1:9/dvdfr/");
    QList<QUrl> opened;
    m_window.setLinkOpener([&](const QUrl &url) { opened.append(url); });
    activate();

    QLabel *link = label("LabelSite4");
    EXPECT_EQ(link->toolTip(), "http://127.0.0.1:9/dvdfr");
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl("http://127.0.0.1:9/dvdfr")});
    EXPECT_TRUE(m_window.isVisible());
}

TEST_F(SelectionWindowTest, hoveredLinksAreRestyledAndRestored)
{
    m_state.BaseUnique = false;
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    QLabel *site = label("LabelSite0");
    QLabel *group = label("LabelTout2");

    QTest::mouseMove(site, QPoint(5, 5));
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(site->font().underline());
    QTest::mouseMove(group, QPoint(5, 5));
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(120, 145, 216));
    EXPECT_FALSE(site->font().underline());
    EXPECT_EQ(group->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_TRUE(group->font().bold());
    QTest::mouseMove(&m_window, QPoint(5, 200));
    EXPECT_EQ(group->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_FALSE(group->font().bold());
}

TEST_F(SelectionWindowTest, retranslateSetsCaptionsAndTooltips)
{
    m_window.retranslate(kEnglish);
    EXPECT_EQ(label("LabelSite0")->text(), "Web site");
    EXPECT_EQ(label("LabelSite13")->text(), "Web site");
    EXPECT_EQ(label("LabelTout0")->text(), "Check all");
    EXPECT_EQ(label("LabelTout5")->text(), "Check jackets data");
    EXPECT_EQ(label("ImageFlag0")->toolTip(), "Fr Data");
    EXPECT_EQ(label("ImageFlag7")->toolTip(), "Us Data");
    EXPECT_EQ(label("ImageFlag13")->toolTip(), "Fr/Us Data");
    EXPECT_EQ(label("ImageType12")->toolTip(), "Posters");
    EXPECT_EQ(label("ImageType13")->toolTip(), "Jackets");

    m_window.retranslate(0);
    EXPECT_EQ(label("LabelTout1")->text(), QString::fromUtf8("Tout décocher"));
    EXPECT_EQ(label("ImageFlag5")->toolTip(), "Base Us");
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

} // namespace
