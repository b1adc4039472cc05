#include "await_task.h"
#include "controls/over_label.h"
#include "core/search_history.h"
#include "site_test.h"
#include "core/options.h"
#include "update/update_check.h"
#include "windows/options_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class OptionsWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_test.store.EcritValeur("Hote-Editeur", m_server.url());
        LitOptions(m_test.store, m_test.program.state(), m_test.program.catalogue());
        m_test.program.history().load();
    }

    void publish(const QByteArray &version)
    {
        m_server.setReply("/pad_file.xml", pageReply("<Program_Version>" + version + "</Program_Version>"));
    }

    std::unique_ptr<OptionsWindow> open()
    {
        auto window = std::make_unique<OptionsWindow>(m_test.program, m_update);
        window->setPageOpener([this](const QUrl &page) { m_opened << page.toString(); });
        window->show();
        return window;
    }

    FixtureServer m_server;
    TestProgram m_test;
    UpdateCheck m_update{m_test.program};
    QStringList m_opened;
};

TEST_F(OptionsWindowTest, opensOnTheGeneralSectionWithTheStoredSettingsAndSwitchesLanguageAtOnce)
{
    auto window = open();
    EXPECT_TRUE(window->tab(0)->selected());
    EXPECT_TRUE(window->panel(0)->isVisible());
    EXPECT_EQ(window->tab(0)->caption(), "Main");
    EXPECT_EQ(window->historyBox()->text(), "75");
    EXPECT_EQ(window->historySpin()->value(), 75);
    EXPECT_EQ(window->languageList()->currentText(), "English");
    EXPECT_TRUE(window->connection(3)->isChecked());
    EXPECT_TRUE(window->singleBase()->isChecked());
    EXPECT_TRUE(window->pdfFormat(3)->isChecked());
    EXPECT_TRUE(window->pdfBackground(1)->isChecked());

    window->historySpin()->setValue(140);
    EXPECT_EQ(window->historyBox()->text(), "10");

    int mainWindowCalls = 0;
    QObject::connect(window.get(), &OptionsWindow::languageChanged, [&] { ++mainWindowCalls; });
    emit window->languageList()->activated(1);
    EXPECT_EQ(mainWindowCalls, 1);
    EXPECT_EQ(window->cancelButton()->text(), "Annuler");
    EXPECT_EQ(window->tab(0)->caption(), QString::fromUtf8("Général"));
    EXPECT_EQ(window->answerList()->itemText(0), QString::fromUtf8("OUI, immédiatement"));
    // Stored only by Ok.
    EXPECT_EQ(m_test.store.LitValeur("Langue"), "English");
}

TEST_F(OptionsWindowTest, tabsShowOneSectionAndTheJacketSectionHasTheReaderIcon)
{
    auto window = open();
    EXPECT_FALSE(window->pdfReaderIcon()->isVisible());
    QTest::mouseClick(window->tab(5), Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_TRUE(window->panel(5)->isVisible());
    EXPECT_FALSE(window->panel(0)->isVisible());
    EXPECT_TRUE(window->pdfReaderIcon()->isVisible());
    EXPECT_TRUE(window->tab(5)->selected());
    EXPECT_FALSE(window->tab(0)->selected());

    QTest::mouseClick(window->pdfReaderIcon(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(m_opened, QStringList{"https://www.adobe.com/products/acrobat/readstep2.html"});
    EXPECT_EQ(window->pdfReaderIcon()->pos(), QPoint(396, 176));

    window->showSection(2);
    EXPECT_FALSE(window->pdfReaderIcon()->isVisible());
    EXPECT_FALSE(window->proxyAddress()->isVisible());
    window->proxyBox()->click();
    EXPECT_TRUE(window->proxyAddress()->isVisible() && window->proxyPort()->isVisible());
}

TEST_F(OptionsWindowTest, okStoresWhatTheControlsShowAndCancelStoresNothing)
{
    const auto setProxyAndFont = [](OptionsWindow &window) {
        window.showSection(2);
        window.proxyBox()->click();
        QTest::keyClicks(window.proxyAddress(), " proxy.local ");
        QTest::keyClicks(window.proxyPort(), "3128");
        window.showSection(5);
        window.pdfFont(2)->click();
    };
    {
        auto window = open();
        setProxyAndFont(*window);
        window->cancelButton()->click();
    }
    EXPECT_EQ(m_test.store.LitValeur("Proxy-Adresse"), "");
    EXPECT_EQ(m_test.store.LitValeur("PDF-Police"), "0");

    auto window = open();
    setProxyAndFont(*window);
    window->showSection(4);
    window->severalBases()->click();
    window->okButton()->click();
    EXPECT_EQ(m_test.store.LitValeur("Proxy-Adresse"), "proxy.local");
    EXPECT_EQ(m_test.store.LitValeur("Proxy-Port"), "3128");
    EXPECT_EQ(m_test.store.LitValeur("PDF-Police"), "2");
    EXPECT_EQ(m_test.store.readBool("BdD"), false);
}

TEST_F(OptionsWindowTest, anAnnouncedUpdateOpensItsPanelWithDownloadNowSelected)
{
    publish("2006.m");
    ASSERT_EQ(awaitTask(m_update.RNouvelleVersion()), true);
    auto window = open();
    EXPECT_TRUE(window->tab(3)->selected());
    EXPECT_TRUE(window->announcementPanel()->isVisible());
    EXPECT_FALSE(window->panel(3)->isVisible());
    EXPECT_EQ(window->announcedVersionLabel()->text(), "Pellicam 2006.m");
    EXPECT_EQ(window->answerList()->currentText(), "YES, immediately");

    window->okButton()->click();
    EXPECT_EQ(m_opened, QStringList{m_server.url("/telecharger.htm")});
    EXPECT_TRUE(m_update.NouvelleVersion().isEmpty());
}

TEST_F(OptionsWindowTest, manualCheckShowsTheLatestVersionTextOrTheAnnouncement)
{
    publish("2006.l");
    auto window = open();
    window->showSection(3);
    // The check answers later; the button waits for it.
    window->checkButton()->click();
    EXPECT_FALSE(window->checkButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->checkButton()->isEnabled(); }, 5000));
    EXPECT_TRUE(window->latestVersionLabel()->isVisible());
    EXPECT_EQ(window->latestVersionLabel()->text(), "You use the latest version of Pellicam");

    publish("2006.n");
    window->checkButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->checkButton()->isEnabled(); }, 5000));
    EXPECT_FALSE(window->latestVersionLabel()->isVisible());
    EXPECT_TRUE(window->announcementPanel()->isVisible());
    EXPECT_EQ(window->announcedVersionLabel()->text(), "Pellicam 2006.n");

    window->answerList()->setCurrentIndex(2);
    emit window->answerList()->activated(2);
    window->okButton()->click();
    EXPECT_FALSE(m_test.store.LitValeur("LiveUpdate").isEmpty());
    EXPECT_TRUE(m_opened.isEmpty());
}

} // namespace
