#include "core/options.h"
#include "core/search_history.h"
#include "test_program.h"
#include "update/options_form.h"
#include "update/update_check.h"

#include <gtest/gtest.h>

namespace {

// A program whose settings were read once: a first run.
class OptionsTest : public ::testing::Test
{
protected:
    void SetUp() override { readOptions(); }

    SettingsStore &store() { return m_test.store; }
    ProgramState &state() { return m_test.program.state(); }
    SiteCatalogue &catalogue() { return m_test.program.catalogue(); }
    SearchHistory &history() { return m_test.program.history(); }
    void readOptions(std::optional<QSize> screen = std::nullopt) { LitOptions(store(), state(), catalogue(), screen); }

    OptionsForm openForm()
    {
        OptionsForm form(m_test.program, m_update);
        form.read();
        return form;
    }

    TestProgram m_test;
    UpdateCheck m_update{m_test.program};
};

// Only a missing history length makes a first run: the defaults come back.
TEST_F(OptionsTest, aFirstRunWritesTheDefaultsAndCentresTheWindowOnAScreen)
{
    for (const bool screen : {false, true}) {
        SCOPED_TRACE(screen);
        state().LangOffset = 0;
        store().writeValues({{"PDF-Format", "7"}, {"Connexion", "0"}, {"BdD", "False"}, {"Langue", "Deutsch"}});
        store().EffaceValeur("Historique-Max");
        readOptions(screen ? std::optional(QSize(1920 * 15, 1080 * 15)) : std::nullopt);
        QStringList stored;
        for (const char *name : {"PDF-Format", "Form-Top", "Form-Left", "Historique-Max", "Langue"})
            stored << store().LitValeur(name);
        EXPECT_EQ(stored, (QStringList{"3", screen ? "4417" : "", screen ? "8400" : "", "75", "English"}));
        EXPECT_EQ((std::tuple(state().LangOffset, state().ModeConnexion, state().BaseUnique)), (std::tuple(1000, 512, true)));
        // The summary is worked out before the language is read: a first run starts in French.
        EXPECT_EQ(catalogue().summary(), QString::fromUtf8("Aucune base sélectionnée"));
    }

    store().EcritValeur("PDF-Format", "7");
    readOptions();
    EXPECT_EQ(store().LitValeur("PDF-Format"), "7") << "not a first run";
}

TEST_F(OptionsTest, languageIsEnglishOrFrenchAndAnythingElseIsRepairedToFrench)
{
    const QString french = QString::fromUtf8("Français");
    const std::tuple<QString, int, QString> cases[] = {
        {"English", 1000, "English"}, {french, 0, french}, {"english", 0, french}, {"Deutsch", 0, french}, {"", 0, french},
    };
    for (const auto &[stored, offset, after] : cases) {
        SCOPED_TRACE(stored.toStdString());
        store().EcritValeur("Langue", stored);
        state().LangOffset = 1000 - offset; // so a missed assignment shows
        readOptions();
        EXPECT_EQ(state().LangOffset, offset);
        EXPECT_EQ(store().LitValeur("Langue"), after);
    }
}

// An unreadable connection setting or proxy port keeps the previous one.
TEST_F(OptionsTest, connectionAndProxySettingsAreReadOrKeepThePreviousValue)
{
    const std::pair<const char *, int> cases[] = {
        {"0", 1}, {"1", 8}, {"2", 16}, {"3", 512}, {"4", 524288}, {"7", 524288}, {"-1", 524288}, {"abc", 524288}, {"2", 16},
    };
    for (const auto &[setting, mode] : cases) {
        store().EcritValeur("Connexion", setting);
        readOptions();
        EXPECT_EQ(state().ModeConnexion, mode) << setting;
    }

    // address, port, what is read
    const std::tuple<const char *, const char *, QString, int> proxies[] = {
        {"proxy.example.org", "3128", "proxy.example.org", 3128},
        {"proxy.example.org", "not a port", "proxy.example.org", 3128},
        {"", "3128", "", 80},
    };
    for (const auto &[address, port, host, portRead] : proxies) {
        store().writeValues({{"Proxy-Adresse", address}, {"Proxy-Port", port}});
        readOptions();
        EXPECT_EQ((std::pair(state().ProxyHost, state().ProxyPort)), (std::pair(host, portRead))) << port;
    }
}

TEST_F(OptionsTest, singleBaseModeUnticksSeveralBasesOnlyWhenItIsSwitchedOn)
{
    store().writeValues({{"Langue", "English"}, {"BdD", "False"}});
    readOptions();
    catalogue().applyGroup(3);
    const std::tuple<const char *, int, bool, const char *> steps[] = {
        {"False", -1, false, "4 databases selected"}, {"neither", -1, false, "4 databases selected"},
        {"True", -1, true, "No database selected"}, {"True", 11, true, "MovieCovers (PDF)"},
    };
    for (const auto &[stored, clicked, on, summary] : steps) {
        SCOPED_TRACE(stored);
        store().EcritValeur("BdD", stored);
        if (clicked >= 0)
            catalogue().nameClicked(clicked);
        readOptions();
        EXPECT_EQ(state().BaseUnique, on);
        EXPECT_EQ(catalogue().summary(), summary);
    }
}

TEST_F(OptionsTest, theFormOpensOnTheStoredSettingsAndOkWritesEveryChoiceItCouldRead)
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
    QStringList written;
    for (const char *name : {"Form-Position", "Langue", "Connexion", "Proxy-Adresse", "Proxy-Port", "BdD", "PDF-Format",
                             "PDF-Fond", "PDF-Police"})
        written << store().LitValeur(name);
    EXPECT_EQ(written, (QStringList{"1", QString::fromUtf8("Français"), "2", "proxy2.local", "8080", "False", "9", "1", "1"}));

    // An unticked proxy deletes both values.
    form.proxyUsed = false;
    form.write();
    EXPECT_EQ(store().LitValeur("Proxy-Adresse") + store().LitValeur("Proxy-Port"), "");

    // Unreadable settings leave their choice empty, and Ok keeps them.
    store().writeValues({{"Connexion", "fast"}, {"PDF-Format", ""}, {"Langue", "Deutsch"}});
    OptionsForm unread = openForm();
    EXPECT_EQ((std::tuple(unread.connexion, unread.pdfFormat, unread.language, unread.proxyUsed)), (std::tuple(-1, -1, -1, false)));
    unread.write();
    EXPECT_EQ(store().LitValeur("Connexion") + store().LitValeur("PDF-Format"), "fast");
}

// How titles move on a resize is the history's own; the form sets its length.
TEST_F(OptionsTest, historyLengthIsTheNumberTypedOrSpunAndAnUnusableOneKeepsIt)
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

} // namespace
