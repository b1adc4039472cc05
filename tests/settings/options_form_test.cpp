#include "await_task.h"
#include "core/options.h"
#include "core/search_history.h"
#include "site_test.h"
#include "update/options_form.h"
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
        readOptions();
    }

    SettingsStore &store() { return m_test.store; }
    ProgramState &state() { return m_test.program.state(); }
    SearchHistory &history() { return m_test.program.history(); }
    void readOptions() { LitOptions(store(), state(), m_test.program.catalogue()); }

    // The maker publishes `version`; returns what a check announces.
    QString publish(const QByteArray &version)
    {
        m_server.setReply("/pad_file.xml", pageReply("<Program_Version>" + version + "</Program_Version>"));
        awaitTask(m_update.RNouvelleVersion());
        return m_update.NouvelleVersion();
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

TEST_F(OptionsFormTest, opensOnTheStoredSettingsAndOkWritesEveryChoice)
{
    store().writeValues({{"Connexion", "4"}, {"Proxy-Adresse", "proxy.local"}, {"Proxy-Port", "3128"},
                         {"PDF-Format", "7"}, {"PDF-Fond", "0"}, {"PDF-Police", "2"}, {"Form-Position", "0"}});
    OptionsForm form = openForm();
    EXPECT_EQ((std::tuple(form.formPosition, form.historyText, form.spinPosition(), form.language, form.connexion)),
              (std::tuple(false, QString("75"), 75, 0, 4)));
    EXPECT_EQ((std::tuple(form.proxyUsed, form.proxyAddress, form.proxyPort, form.singleBase)),
              (std::tuple(true, QString("proxy.local"), QString("3128"), true)));
    EXPECT_EQ((std::tuple(form.pdfFormat, form.pdfFond, form.pdfPolice, form.openingSection())), (std::tuple(7, 0, 2, 0)));

    form.formPosition = true;
    form.chooseLanguage(1);
    form.connexion = 2;
    form.proxyAddress = "  proxy2.local ";
    form.proxyPort = " 8080  ";
    form.singleBase = false;
    form.pdfFormat = 9;
    form.pdfFond = 1;
    form.pdfPolice = 1;
    EXPECT_EQ(form.write(), "");
    const std::pair<const char *, QString> written[] = {
        {"Form-Position", "1"}, {"Langue", QString::fromUtf8("Français")}, {"Connexion", "2"},
        {"Proxy-Adresse", "proxy2.local"}, {"Proxy-Port", "8080"}, {"BdD", "False"},
        {"PDF-Format", "9"}, {"PDF-Fond", "1"}, {"PDF-Police", "1"},
    };
    for (const auto &[name, value] : written)
        EXPECT_EQ(store().LitValeur(name), value) << name;
    readOptions();
    EXPECT_EQ((std::tuple(state().ProxyHost, state().ProxyPort, state().BaseUnique)),
              (std::tuple(QString("proxy2.local"), 8080, false)));

    // An unticked proxy deletes both values: the next read sets none.
    form.proxyUsed = false;
    form.write();
    EXPECT_EQ(store().LitValeur("Proxy-Adresse") + store().LitValeur("Proxy-Port"), "");
    readOptions();
    EXPECT_EQ((std::tuple(state().ProxyHost, state().ProxyPort)), (std::tuple(QString(), 80)));
}

TEST_F(OptionsFormTest, unreadableSettingsLeaveTheirChoiceEmptyAndOkKeepsThem)
{
    store().writeValues({{"Connexion", "fast"}, {"PDF-Format", ""}, {"Langue", "Deutsch"}});
    store().EffaceValeur("Proxy-Port");
    OptionsForm form = openForm();
    EXPECT_EQ((std::tuple(form.connexion, form.pdfFormat, form.language, form.proxyUsed)), (std::tuple(-1, -1, -1, false)));
    form.write();
    EXPECT_EQ(store().LitValeur("Connexion"), "fast");
    EXPECT_EQ(store().LitValeur("PDF-Format"), "");
}

// How titles move on a resize is the history's own; the form sets its length.
TEST_F(OptionsFormTest, historyLengthIsTheNumberTypedOrSpunAndAnUnusableOneKeepsIt)
{
    store().writeValues({{"Historique-1", "Title 1"}, {"Historique-12", "Title 12"}});
    history().load();
    const std::tuple<const char *, int, int, const char *> cases[] = {
        {"10 titles", -1, 10, "10 titles"}, {"99999999999", -1, 10, "10 titles"}, {"", 50, 100, "100"},
    };
    for (const auto &[typed, spun, length, stored] : cases) {
        SCOPED_TRACE(typed);
        OptionsForm form = openForm();
        form.historyText = typed;
        if (spun >= 0)
            form.setSpinPosition(spun);
        form.write();
        EXPECT_EQ(history().HistoMax(), length);
        EXPECT_EQ(store().LitValeur("Historique-Max"), stored);
        EXPECT_EQ(store().LitValeur("Historique-12"), "");
        EXPECT_EQ(history().entries(), QStringList{"Title 1"});
    }
}

TEST(OptionsFormNumbers, historyCountIsTheNumberTheTextStartsWith)
{
    const std::pair<const char *, std::optional<int>> cases[] = {
        {"75", 75}, {" 12 titles", 12}, {"abc", 0}, {"", 0}, {"8.5", 8}, {"+20", 20}, {"32767", 32767},
        {"32768", std::nullopt}, {"99999999999", std::nullopt}, {"-5", std::nullopt},
    };
    for (const auto &[text, count] : cases)
        EXPECT_EQ(OptionsForm::leadingNumber(QString::fromUtf8(text)), count) << text;
}

TEST_F(OptionsFormTest, anAnnouncedUpdateOpensItsSectionAndOkAppliesTheAnswerCancelDropsIt)
{
    store().EcritValeur("LiveUpdate", "2008-01-01T00:00:00");
    openForm().write(); // no update: the answer is ignored
    EXPECT_EQ(store().LitValeur("LiveUpdate"), "2008-01-01T00:00:00");

    ASSERT_EQ(publish("2006.m"), "Pellicam 2006.m");
    openForm().close();
    EXPECT_EQ(m_update.NouvelleVersion(), "") << "cancel drops the announcement";
    EXPECT_EQ(store().LitValeur("LiveUpdate"), "2008-01-01T00:00:00");

    ASSERT_EQ(publish("2006.m"), "Pellicam 2006.m");
    OptionsForm form = openForm();
    EXPECT_EQ(form.openingSection(), 3);
    EXPECT_EQ(form.announcedVersion(), "Pellicam 2006.m");
    form.updateAnswer = UpdateCheck::RemindIn1Month;
    EXPECT_EQ(form.write(), "");
    EXPECT_EQ(store().LitValeur("LiveUpdate"), "2007-02-28T10:30:00");
}

} // namespace
