#include "await_task.h"
#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "fixture_server.h"
#include "core/options.h"
#include "update/options_form.h"
#include "test_program.h"
#include "update/update_check.h"

#include <gtest/gtest.h>

namespace {

class OptionsFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        store().EcritValeur("Hote-Editeur", m_server.url());
        m_update.setClock([] { return QDateTime(QDate(2007, 1, 31), QTime(10, 30)); });
        LitOptions(store(), m_test.program.state(), m_test.program.catalogue());
    }

    SettingsStore &store() { return m_test.store; }
    SearchHistory &history() { return m_test.program.history(); }

    void storeHistory(int count)
    {
        store().EcritValeur("Historique-Max", QString::number(count));
        for (int i = 1; i <= count; ++i)
            store().EcritValeur(QStringLiteral("Historique-%1").arg(i), QStringLiteral("Title %1").arg(i));
        history().load();
    }

    void announceUpdate()
    {
        FixtureServer::Reply pad;
        pad.body = "<Program_Version>2006.m</Program_Version>";
        m_server.setReply("/pad_file.xml", pad);
        awaitTask(m_update.RNouvelleVersion());
        ASSERT_FALSE(m_update.NouvelleVersion().isEmpty());
    }

    OptionsForm openForm()
    {
        OptionsForm form(m_test.program, m_update);
        form.read();
        return form;
    }

    FixtureServer m_server;
    TestProgram m_test;
    UpdateCheck m_update{m_test.program};
};

TEST_F(OptionsFormTest, opensOnTheStoredSettings)
{
    store().EcritValeur("Connexion", "4");
    store().EcritValeur("Proxy-Adresse", "proxy.local");
    store().EcritValeur("Proxy-Port", "3128");
    store().EcritValeur("PDF-Format", "7");
    store().EcritValeur("PDF-Fond", "0");
    store().EcritValeur("PDF-Police", "2");
    store().EcritValeur("Form-Position", "0");

    const OptionsForm form = openForm();
    EXPECT_FALSE(form.formPosition);
    EXPECT_EQ(form.historyText, "75");
    EXPECT_EQ(form.spinPosition(), 75);
    EXPECT_EQ(form.language, 0); // the first run's "English"
    EXPECT_EQ(form.connexion, 4);
    EXPECT_TRUE(form.proxyUsed);
    EXPECT_EQ(form.proxyAddress, "proxy.local");
    EXPECT_EQ(form.proxyPort, "3128");
    EXPECT_TRUE(form.singleBase);
    EXPECT_EQ(form.pdfFormat, 7);
    EXPECT_EQ(form.pdfFond, 0);
    EXPECT_EQ(form.pdfPolice, 2);
    EXPECT_EQ(form.openingSection(), OptionsForm::kGeneral);
}

TEST_F(OptionsFormTest, unreadableSettingsLeaveTheirChoiceEmptyAndOkKeepsThem)
{
    store().EcritValeur("Connexion", "fast");
    store().EcritValeur("PDF-Format", "");
    store().EcritValeur("Langue", "Deutsch");
    store().EffaceValeur("Proxy-Port");

    OptionsForm form = openForm();
    EXPECT_EQ(form.connexion, OptionsForm::kNoChoice);
    EXPECT_EQ(form.pdfFormat, OptionsForm::kNoChoice);
    EXPECT_EQ(form.language, OptionsForm::kNoChoice);
    EXPECT_FALSE(form.proxyUsed);

    form.write();
    EXPECT_EQ(store().LitValeur("Connexion"), "fast");
    EXPECT_EQ(store().LitValeur("PDF-Format"), "");
}

TEST_F(OptionsFormTest, okWritesEveryChoice)
{
    OptionsForm form = openForm();
    form.formPosition = false;
    form.chooseLanguage(1);
    form.connexion = 2;
    form.proxyUsed = true;
    form.proxyAddress = "  proxy.local ";
    form.proxyPort = " 8080  ";
    form.singleBase = false;
    form.pdfFormat = 9;
    form.pdfFond = 0;
    form.pdfPolice = 1;
    EXPECT_TRUE(form.write().isEmpty());

    EXPECT_EQ(store().LitValeur("Form-Position"), "0");
    EXPECT_EQ(store().LitValeur("Langue"), "Français");
    EXPECT_EQ(store().LitValeur("Connexion"), "2");
    EXPECT_EQ(store().LitValeur("Proxy-Adresse"), "proxy.local");
    EXPECT_EQ(store().LitValeur("Proxy-Port"), "8080");
    EXPECT_EQ(store().readBool("BdD"), false);
    EXPECT_EQ(store().LitValeur("PDF-Format"), "9");
    EXPECT_EQ(store().LitValeur("PDF-Fond"), "0");
    EXPECT_EQ(store().LitValeur("PDF-Police"), "1");

    LitOptions(store(), m_test.program.state(), m_test.program.catalogue());
    EXPECT_EQ(m_test.program.state().ProxyHost, "proxy.local");
    EXPECT_EQ(m_test.program.state().ProxyPort, 8080);
    EXPECT_FALSE(m_test.program.state().BaseUnique);
}

TEST_F(OptionsFormTest, untickedProxyDeletesBothValuesAndTheNextReadSetsNoProxy)
{
    store().EcritValeur("Proxy-Adresse", "proxy.local");
    store().EcritValeur("Proxy-Port", "3128");
    LitOptions(store(), m_test.program.state(), m_test.program.catalogue());
    ASSERT_EQ(m_test.program.state().ProxyHost, "proxy.local");

    OptionsForm form = openForm();
    form.proxyUsed = false;
    form.write();
    EXPECT_EQ(store().LitValeur("Proxy-Adresse"), "");
    EXPECT_EQ(store().LitValeur("Proxy-Port"), "");

    LitOptions(store(), m_test.program.state(), m_test.program.catalogue());
    EXPECT_EQ(m_test.program.state().ProxyHost, "");
    EXPECT_EQ(m_test.program.state().ProxyPort, 80);
}

TEST_F(OptionsFormTest, historyCountShrinksTheStoredTitlesAndGrowingKeepsThem)
{
    storeHistory(75);
    {
        OptionsForm form = openForm();
        form.historyText = "10 titles";
        form.write();
    }
    EXPECT_EQ(history().HistoMax(), 10);
    EXPECT_EQ(store().LitValeur("Historique-Max"), "10 titles");
    EXPECT_EQ(store().LitValeur("Historique-10"), "Title 10");
    for (int i : {11, 40, 75})
        EXPECT_EQ(store().LitValeur(QStringLiteral("Historique-%1").arg(i)), "") << i;
    EXPECT_EQ(history().entries().size(), 10);

    // A length that is no number the history can have keeps length and titles.
    {
        OptionsForm form = openForm();
        form.historyText = "99999999999";
        form.write();
    }
    EXPECT_EQ(history().HistoMax(), 10);
    EXPECT_EQ(store().LitValeur("Historique-Max"), "10 titles");
    EXPECT_EQ(history().entries().size(), 10);

    OptionsForm form = openForm();
    form.setSpinPosition(50);
    EXPECT_EQ(form.historyText, "100");
    form.write();
    EXPECT_EQ(history().HistoMax(), 100);
    EXPECT_EQ(history().entries().size(), 10);
    EXPECT_EQ(store().LitValeur("Historique-1"), "Title 1");
}

TEST(OptionsFormNumbers, historyCountIsTheNumberTheTextStartsWith)
{
    const struct
    {
        const char *text;
        std::optional<int> count;
    } cases[] = {{"75", 75},           {" 12 titles", 12},  {"abc", 0},           {"", 0},
                 {"8.5", 8},           {"+20", 20},         {"32767", 32767},     {"32768", std::nullopt},
                 {"99999999999", std::nullopt}, {"-5", std::nullopt}};
    for (const auto &c : cases)
        EXPECT_EQ(OptionsForm::leadingNumber(QString::fromUtf8(c.text)), c.count) << c.text;
}

TEST_F(OptionsFormTest, languageSwitchIsAPreviewThatTheNextReadUndoes)
{
    store().EcritValeur("Langue", "Français");
    LitOptions(store(), m_test.program.state(), m_test.program.catalogue());
    OptionsForm form = openForm();
    EXPECT_EQ(form.language, 1);

    form.chooseLanguage(0);
    EXPECT_EQ(m_test.program.state().LangOffset, 1000);
    EXPECT_EQ(m_test.program.text(5), "Search");

    // Cancel: nothing is written, and the read after closing restores French.
    form.close();
    EXPECT_EQ(store().LitValeur("Langue"), "Français");
    LitOptions(store(), m_test.program.state(), m_test.program.catalogue());
    EXPECT_EQ(m_test.program.state().LangOffset, 0);
}

TEST_F(OptionsFormTest, announcedUpdateOpensItsSectionAndOkAppliesTheAnswer)
{
    announceUpdate();
    store().EcritValeur("LiveUpdate", "2006-01-01T00:00:00");
    {
        OptionsForm form = openForm();
        EXPECT_EQ(form.openingSection(), OptionsForm::kUpdate);
        EXPECT_EQ(form.announcedVersion(), "Pellicam 2006.m");
        EXPECT_EQ(form.updateAnswer, 0);
        EXPECT_EQ(form.write(), m_server.url("/telecharger.htm"));
        form.close();
    }
    EXPECT_EQ(store().LitValeur("LiveUpdate"), "");
    EXPECT_TRUE(m_update.NouvelleVersion().isEmpty());

    announceUpdate();
    OptionsForm form = openForm();
    form.updateAnswer = UpdateCheck::RemindIn1Month;
    EXPECT_TRUE(form.write().isEmpty());
    EXPECT_EQ(store().LitValeur("LiveUpdate"), "2007-02-28T10:30:00");
}

TEST_F(OptionsFormTest, answerIsIgnoredWithoutAnUpdateAndCancelDropsTheAnnouncement)
{
    store().EcritValeur("LiveUpdate", "2008-01-01T00:00:00");
    {
        OptionsForm form = openForm();
        form.updateAnswer = UpdateCheck::RemindTomorrow;
        form.write();
    }
    EXPECT_EQ(store().LitValeur("LiveUpdate"), "2008-01-01T00:00:00");

    announceUpdate();
    OptionsForm form = openForm();
    form.close();
    EXPECT_TRUE(m_update.NouvelleVersion().isEmpty());
    EXPECT_EQ(store().LitValeur("LiveUpdate"), "2008-01-01T00:00:00");
}

TEST_F(OptionsFormTest, manualCheckAnnouncesOnlyANewerVersion)
{
    OptionsForm form = openForm();
    FixtureServer::Reply pad;
    pad.body = "<Program_Version>2006.l</Program_Version>";
    m_server.setReply("/pad_file.xml", pad);
    EXPECT_EQ(awaitTask(form.checkNow()), false);
    EXPECT_EQ(form.announcedVersion(), "");

    pad.body = "<Program_Version>2007.a</Program_Version>";
    m_server.setReply("/pad_file.xml", pad);
    form.updateAnswer = UpdateCheck::RemindNever;
    EXPECT_EQ(awaitTask(form.checkNow()), true);
    EXPECT_EQ(form.announcedVersion(), "Pellicam 2007.a");
    EXPECT_EQ(form.updateAnswer, UpdateCheck::DownloadNow);
}

} // namespace
